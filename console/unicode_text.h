#pragma once
// Text between its encodings as code points. Malformed input never stops a
// conversion: what cannot be read becomes U+FFFD, the replacement character.

#include <string>
#include <string_view>

namespace console {

constexpr char32_t kReplacementCharacter = 0xFFFD;

// Each byte of a malformed, overlong or surrogate sequence is one U+FFFD.
std::u32string DecodeUtf8(std::string_view utf8);
// Surrogate pairs joined; a lone surrogate is U+FFFD.
std::u32string DecodeUtf16(std::u16string_view utf16);

std::string EncodeUtf8(std::u32string_view codePoints);
std::u16string EncodeUtf16(std::u32string_view codePoints);

}  // namespace console
