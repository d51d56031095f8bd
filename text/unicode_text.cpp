#include "unicode_text.h"

namespace nimbrel::text {
namespace {

// The length of the sequence a lead byte starts and the bits it carries;
// 0 for a byte that cannot lead.
int SequenceLength(unsigned char lead, char32_t& code) {
    if (lead < 0x80) return code = lead, 1;
    if (lead >= 0xC2 && lead <= 0xDF) return code = lead & 0x1F, 2;
    if (lead >= 0xE0 && lead <= 0xEF) return code = lead & 0x0F, 3;
    if (lead >= 0xF0 && lead <= 0xF4) return code = lead & 0x07, 4;
    return 0;
}

char32_t Encodable(char32_t code) { return IsSurrogate(code) || code > 0x10FFFF ? kReplacementCharacter : code; }

}  // namespace

void AppendUtf8(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

char32_t NextUtf16(std::u16string_view utf16, std::size_t& at) {
    const char32_t unit = utf16[at++];
    if (unit >= 0xD800 && unit <= 0xDBFF && at < utf16.size() && utf16[at] >= 0xDC00 && utf16[at] <= 0xDFFF)
        return 0x10000 + ((unit - 0xD800) << 10) + (utf16[at++] - 0xDC00);
    return unit;
}

std::u32string DecodeUtf8(std::string_view utf8) {
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    std::u32string out;
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t code = 0;
        const int length = SequenceLength(static_cast<unsigned char>(utf8[i]), code);
        bool whole = length > 0 && i + length <= utf8.size();
        for (int k = 1; whole && k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            whole = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        if (whole && code >= kSmallest[length] && code <= 0x10FFFF && !IsSurrogate(code)) {
            out += code;
            i += length;
        } else {
            out += kReplacementCharacter;
            ++i;
        }
    }
    return out;
}

std::u32string DecodeUtf16(std::u16string_view utf16) {
    std::u32string out;
    for (std::size_t i = 0; i < utf16.size();) out += Encodable(NextUtf16(utf16, i));
    return out;
}

std::string EncodeUtf8(std::u32string_view codePoints) {
    std::string out;
    for (char32_t code : codePoints) AppendUtf8(out, Encodable(code));
    return out;
}

std::u16string EncodeUtf16(std::u32string_view codePoints) {
    std::u16string out;
    for (char32_t code : codePoints) {
        code = Encodable(code);
        if (code < 0x10000) {
            out += static_cast<char16_t>(code);
        } else {
            out += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        }
    }
    return out;
}

}  // namespace nimbrel::text
