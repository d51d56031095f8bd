#pragma once
// The paths and query keys that the plug-in requests.

#include <string_view>

namespace nimbrel::services {

inline constexpr std::string_view kStateIndexPath = "/";
inline constexpr std::string_view kCountryIndexPath = "/international.html";

inline constexpr std::string_view kStateListScript = "/cgi-bin/cc_sel_state.pl";
inline constexpr std::string_view kStateKey = "state";
inline constexpr std::string_view kCountryListScript = "/cgi-bin/cc_sel_cntry.pl";
inline constexpr std::string_view kCountryKey = "country";

// "/weather/current/" + code + ".html"
inline constexpr std::string_view kStationPagePrefix = "/weather/current/";
inline constexpr std::string_view kStationPageSuffix = ".html";

inline constexpr std::string_view kTranslationPath = "/tr";
inline constexpr std::string_view kTextKey = "trtext";
inline constexpr std::string_view kPairKey = "lp";

}  // namespace nimbrel::services
