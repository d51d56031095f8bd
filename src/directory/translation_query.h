#pragma once
// The request path of one translation.

#include <string>
#include <string_view>

namespace nimbrel {

// "/tr?trtext=" + text + "&lp=" + pair, both encoded as query values.
std::string TranslationRequestPath(std::string_view text, std::string_view pair);

}  // namespace nimbrel
