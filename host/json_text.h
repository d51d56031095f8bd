#pragma once
// JSON strings that carry bytes exactly: each byte becomes the character of
// the same code point (0xB0 is U+00B0), written as UTF-8.

#include <optional>
#include <string>
#include <string_view>

namespace nimbrel::host {

std::string JsonString(std::string_view bytes);
std::string JsonString(std::u16string_view utf16);
std::string JsonStringOrNull(const std::optional<std::string>& bytes);

}  // namespace nimbrel::host
