#pragma once
// Cuts the translation out of the translation service's answer page.

#include <string>
#include <string_view>

namespace nimbrel {

inline constexpr std::string_view kTranslationStart =
    "<td bgcolor=white class=s><div style=padding:10px;>";
inline constexpr std::string_view kTranslationEnd = "</div></td>";

// The text after the first start marker up to the first end marker after
// it, or to the end of the body without one; returned as it stands, tags
// and line breaks included. "response pb" for an empty body or one without
// the start marker.
std::string ExtractTranslation(std::string_view body);

}  // namespace nimbrel
