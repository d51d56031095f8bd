#pragma once
// What TranslateText returns in place of a translation when it fails; the
// report shows it where the translated piece would stand.

namespace nimbrel {

inline constexpr char kTranslationConnectError[] = "translation problem";
inline constexpr char kTranslationRequestError[] = "request pb";
inline constexpr char kTranslationResponseError[] = "response pb";

}  // namespace nimbrel
