#include "json_text.h"

#include <cstdio>

#include "utf8.h"

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
    if (code < 0x20 || (code >= 0xD800 && code <= 0xDFFF)) {
        char escape[16];
        std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(code));
        out += escape;
        return;
    }
    AppendUtf8(out, code);
}

}  // namespace

std::string JsonString(std::string_view bytes) {
    std::string out = "\"";
    for (unsigned char byte : bytes) AppendEscaped(out, byte);
    return out + "\"";
}

std::string JsonString(std::u16string_view utf16) {
    std::string out = "\"";
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t unit = utf16[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < utf16.size() &&
            utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
            ++i;
        }
        AppendEscaped(out, unit);
    }
    return out + "\"";
}

std::string JsonStringOrNull(const std::optional<std::string>& bytes) {
    return bytes ? JsonString(*bytes) : "null";
}
