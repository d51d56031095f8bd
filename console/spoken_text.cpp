#include "spoken_text.h"

#include "unicode_text.h"

namespace nimbrel::console {

std::string SpokenText(std::u16string_view utf16) {
    std::u32string codePoints = text::DecodeUtf16(utf16);
    for (char32_t& code : codePoints)
        if (code < 0x20 || (code >= 0x7F && code < 0xA0)) code = ' ';
    return text::EncodeUtf8(codePoints);
}

}  // namespace nimbrel::console
