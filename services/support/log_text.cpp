#include "services/support/log_text.h"

namespace nimbrel::services {

std::string EscapedForLog(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F) {
            escaped += "\\x";
            escaped += kHex[byte >> 4];
            escaped += kHex[byte & 0xF];
        } else if (c == '\\') {
            escaped += "\\\\";
        } else {
            escaped += c;
        }
    }
    return escaped;
}

std::string LogLine(std::string_view line) { return "nimbrel-services: " + EscapedForLog(line) + "\n"; }

void WriteLogLine(std::FILE* to, std::string_view line) {
    const std::string text = LogLine(line);
    std::fwrite(text.data(), 1, text.size(), to);
    std::fflush(to);
}

}  // namespace nimbrel::services
