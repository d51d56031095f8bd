#pragma once
// /xstates and /xcountry are one procedure; these settings are all that
// tells the two apart.

#include <cstddef>
#include <string>

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

}  // namespace nimbrel
