#include "station_lists.h"

#include <cstring>

#include "list_paging.h"
#include "reference_texts.h"

namespace nimbrel {

namespace {
// The code begins this many characters before the name.
constexpr std::size_t kCodeOffset = 5;
constexpr std::size_t kCodeLength = 2;
constexpr char kSelectionMarker[] = "<option selected>Select a location";
constexpr char kListEndMarker[] = "</select>";
}  // namespace

const StationListSettings kStateStationList = {
    "jgh",
    "/",
    "/cgi-bin/cc_sel_state.pl?state=",
    StateListText,
    kStateListCaption,
};

const StationListSettings kCountryStationList = {
    "hghg",
    "/international.html",
    "/cgi-bin/cc_sel_cntry.pl?country=",
    CountryListText,
    kCountryListCaption,
};

const char kStationListBoxCaption[] = "";

const char* StationListName(const StationListSettings& settings, const char* parameter) {
    return parameter && *parameter ? parameter : settings.placeholderName;
}

std::string StationListPath(const StationListSettings& settings, const std::string& code) {
    return settings.listPathPrefix + code;
}

IndexLookup LookUpStationName(const std::string& indexPage, const char* name) {
    if (indexPage.empty()) return {IndexLookup::Outcome::EndSilently, {}};
    std::size_t match = indexPage.find(name ? name : "");
    if (match == std::string::npos) return {IndexLookup::Outcome::ShowFallback, {}};
    if (match < kCodeOffset) return {IndexLookup::Outcome::EndSilently, {}};
    return {IndexLookup::Outcome::ReadStationList, indexPage.substr(match - kCodeOffset, kCodeLength)};
}

std::optional<std::string> ExtractListText(const std::string& listPage) {
    std::size_t marker = listPage.find(kSelectionMarker);
    if (marker == std::string::npos) return std::nullopt;
    std::size_t start = marker + std::strlen(kSelectionMarker);
    std::size_t end = listPage.find(kListEndMarker, start);
    return listPage.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::vector<std::string> StationListBoxes(const std::string& listPage) {
    std::optional<std::string> listText = ExtractListText(listPage);
    if (!listText) return {};
    return PageListText(*listText);
}

}  // namespace nimbrel
