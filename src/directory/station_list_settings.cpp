#include "station_list_settings.h"

#include "reference_texts.h"

namespace nimbrel {

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

}  // namespace nimbrel
