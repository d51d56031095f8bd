#include "terminal_text.h"

#include <cstdio>

#include "unicode_text.h"
#include "windows_1252.h"

namespace nimbrel::console {
namespace {

void AppendVisible(std::string& out, char32_t code) {
    if (code == '\n' || code == '\t') {
        out += static_cast<char>(code);
    } else if (code < 0x20 || code == 0x7F) {
        out += '^';
        out += static_cast<char>(code ^ 0x40);
    } else if (code >= 0x80 && code < 0xA0) {
        char shown[12];
        std::snprintf(shown, sizeof shown, "<U+%04X>", static_cast<unsigned>(code));
        out += shown;
    } else {
        text::AppendUtf8(out, code);
    }
}

std::string Visible(std::u32string_view codePoints) {
    std::string out;
    for (char32_t code : codePoints) AppendVisible(out, code);
    return out;
}

}  // namespace

std::string TerminalText(std::string_view bytes) {
    std::string out;
    for (unsigned char byte : bytes) AppendVisible(out, text::FromWindows1252(byte));
    return out;
}

std::string TerminalText(std::u16string_view utf16) { return Visible(text::DecodeUtf16(utf16)); }

std::string TerminalTextFromUtf8(std::string_view utf8) { return Visible(text::DecodeUtf8(utf8)); }

}  // namespace nimbrel::console
