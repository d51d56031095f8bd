#pragma once
// The portable steps of a /xstates or /xcountry run, one procedure told
// apart by its settings. The run reads the index page
// (settings.indexPagePath), looks the name up with LookUpStationName,
// reads StationListPath(settings, code), and shows each text of
// StationListBoxes in turn, waiting for OK before the next.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace nimbrel {

struct StationListSettings {
    const char* placeholderName;  // looked up when the command has no parameter
    const char* indexPagePath;
    const char* listPathPrefix;   // followed directly by the two-character code
    const char* fallbackText;     // shown when the index page lacks the name
    const char* fallbackCaption;
};

extern const StationListSettings kStateStationList;
extern const StationListSettings kCountryStationList;

// The boxes of the list itself have an empty caption. Every box of a run,
// fallback included, has no owner window and one OK button (MB_OK is 0).
extern const char kStationListBoxCaption[];
constexpr unsigned int kStationListBoxStyle = 0;

// The name a run looks up: the parameter as typed, or the placeholder when
// there is none. No index page holds the placeholders, so they bring up the
// fallback list.
const char* StationListName(const StationListSettings& settings, const char* parameter);

// The station-selection page of a code: the prefix and the code, unescaped.
std::string StationListPath(const StationListSettings& settings, const std::string& code);

// Finding a typed name on the service's index page. The page holds each
// name five characters after the start of its two-character code.
struct IndexLookup {
    enum class Outcome {
        EndSilently,      // empty page, or the name too near its start
        ShowFallback,     // the page does not hold the name
        ReadStationList,  // code holds the two characters
    };
    Outcome outcome;
    std::string code;
};

// The first occurrence of the whole name, matched exactly, decides. One
// found fewer than five characters in has no code before it: the run ends
// with nothing shown, as on the other failures.
IndexLookup LookUpStationName(const std::string& indexPage, const char* name);

// The station list on a station-selection page: what follows the selection
// marker, up to "</select>" or, without one, to the end of the page.
// Nothing when the page lacks the selection marker: the run then ends with
// nothing shown.
std::optional<std::string> ExtractListText(const std::string& listPage);

// The box texts of a station-selection page; none when the page has no list.
std::vector<std::string> StationListBoxes(const std::string& listPage);

}  // namespace nimbrel
