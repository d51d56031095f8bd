#pragma once
// The request path of one translation.

#include <string>
#include <string_view>

// A query value as it may stand in a URL: A-Z a-z 0-9 - . _ ~ unchanged,
// every other byte as %XX in upper-case hex. Raw, a "%", "&", "#" or "+"
// in a value would reach the service garbled or split into other keys.
std::string PercentEncodeQueryValue(std::string_view value);

// "/tr?trtext=" + text + "&lp=" + pair, both encoded.
std::string TranslationRequestPath(std::string_view text, std::string_view pair);
