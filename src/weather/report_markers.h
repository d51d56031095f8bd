#pragma once
// The fixed texts that frame the observations on a station's page, and the
// heading the report starts with.

#include <string_view>

namespace nimbrel {

// A page without it is no station's page (the service's answer for an
// unknown code).
inline constexpr std::string_view kHeaderMarker = "Current Weather Conditions:<BR>";
inline constexpr std::string_view kHeaderEnd = "</B>";
inline constexpr std::string_view kRowMarker =
    "<FONT COLOR=\"#0000A0\"><FONT FACE=\"Arial,Helvetica\"> ";
inline constexpr std::string_view kLabelEnd = " </FONT>";
inline constexpr std::string_view kValueMarker = "<TD><FONT FACE=\"Arial,Helvetica\">";
inline constexpr std::string_view kValueEnd = "</FONT>";

inline constexpr std::string_view kReportHeading = "Current Weather Conditions: ";

}  // namespace nimbrel
