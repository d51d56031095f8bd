#pragma once
// The fixed texts of the services' pages that the plug-in finds by exact
// byte comparison. The stand-in spells them itself rather than borrowing
// the plug-in's constants: it plays the outside service, so a wrong marker
// on either side shows up as a failure instead of being shared.

#include <string_view>

namespace nimbrel::services {

// Station page.
inline constexpr std::string_view kHeaderMarker = "Current Weather Conditions:<BR>";
inline constexpr std::string_view kHeaderEnd = "</B>";
inline constexpr std::string_view kRowMarker =
    "<FONT COLOR=\"#0000A0\"><FONT FACE=\"Arial,Helvetica\"> ";
inline constexpr std::string_view kLabelEnd = " </FONT>";
inline constexpr std::string_view kValueMarker = "<TD><FONT FACE=\"Arial,Helvetica\">";
inline constexpr std::string_view kValueEnd = "</FONT>";
// Turned into a line break by the reader.
inline constexpr std::string_view kLineBreak = "<BR>";

// Station-selection page.
inline constexpr std::string_view kSelectionMarker = "<option selected>Select a location";
inline constexpr std::string_view kOptionMarker = "<OPTION VALUE=\"";
inline constexpr std::string_view kOptionValueEnd = "\">";
inline constexpr std::string_view kListEnd = "</select>";

// Translation answer.
inline constexpr std::string_view kTranslationStart =
    "<td bgcolor=white class=s><div style=padding:10px;>";
inline constexpr std::string_view kTranslationEnd = "</div></td>";

}  // namespace nimbrel::services
