#pragma once
// The translation service's page: the request path of one translation,
// the translation cut out of the answer, and the texts TranslateText
// returns in place of a translation when it fails (the report shows them
// where the translated piece would stand).

#include <string>
#include <string_view>

namespace nimbrel {

inline constexpr char kTranslationConnectError[] = "translation problem";
inline constexpr char kTranslationRequestError[] = "request pb";
inline constexpr char kTranslationResponseError[] = "response pb";

// "/tr?trtext=" + text + "&lp=" + pair, both encoded as query values.
std::string TranslationRequestPath(std::string_view text, std::string_view pair);

inline constexpr std::string_view kTranslationStart =
    "<td bgcolor=white class=s><div style=padding:10px;>";
inline constexpr std::string_view kTranslationEnd = "</div></td>";

// The text after the first start marker up to the first end marker after
// it, or to the end of the body without one; returned as it stands, tags
// and line breaks included. "response pb" for an empty body or one without
// the start marker.
std::string ExtractTranslation(std::string_view body);

}  // namespace nimbrel
