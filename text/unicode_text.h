#pragma once
// Text between its encodings as code points. Malformed input never stops a
// conversion: what cannot be read becomes U+FFFD, the replacement character.

#include <cstddef>
#include <string>
#include <string_view>

namespace nimbrel::text {

constexpr char32_t kReplacementCharacter = 0xFFFD;

constexpr bool IsSurrogate(char32_t code) { return code >= 0xD800 && code <= 0xDFFF; }

// Appends one code point as UTF-8; the caller keeps surrogates and values
// past U+10FFFF out (EncodeUtf8 does).
void AppendUtf8(std::string& out, char32_t code);

// The code point that starts at `at`, a surrogate pair joined, a lone
// surrogate as it stands; moves `at` past it. `at` must be inside the text.
char32_t NextUtf16(std::u16string_view utf16, std::size_t& at);

// Each byte of a malformed, overlong or surrogate sequence is one U+FFFD.
std::u32string DecodeUtf8(std::string_view utf8);
// Surrogate pairs joined; a lone surrogate is U+FFFD.
std::u32string DecodeUtf16(std::u16string_view utf16);

// Surrogates and values past U+10FFFF become U+FFFD.
std::string EncodeUtf8(std::u32string_view codePoints);
std::u16string EncodeUtf16(std::u32string_view codePoints);

}  // namespace nimbrel::text
