#include "json_text.h"

#include <cstdio>

#include "unicode_text.h"

namespace nimbrel::host {
namespace {

void AppendEscaped(std::string& out, char32_t code) {
    switch (code) {
    case '"': out += "\\\""; return;
    case '\\': out += "\\\\"; return;
    case '\b': out += "\\b"; return;
    case '\f': out += "\\f"; return;
    case '\n': out += "\\n"; return;
    case '\r': out += "\\r"; return;
    case '\t': out += "\\t"; return;
    default: break;
    }
    // Control characters, and lone surrogates that UTF-8 cannot carry.
    if (code < 0x20 || text::IsSurrogate(code)) {
        char escape[16];
        std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(code));
        out += escape;
        return;
    }
    text::AppendUtf8(out, code);
}

}  // namespace

std::string JsonString(std::string_view bytes) {
    std::string out = "\"";
    for (unsigned char byte : bytes) AppendEscaped(out, byte);
    return out + "\"";
}

std::string JsonString(std::u16string_view utf16) {
    std::string out = "\"";
    for (std::size_t i = 0; i < utf16.size();) AppendEscaped(out, text::NextUtf16(utf16, i));
    return out + "\"";
}

std::string JsonStringOrNull(const std::optional<std::string>& bytes) {
    return bytes ? JsonString(*bytes) : "null";
}

}  // namespace nimbrel::host
