#include "percent_encoding.h"

#include <cstring>

namespace nimbrel {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr char kUnreservedMarks[] = "-._~";
constexpr char kTargetMarks[] = "-._~!$&'()*+,;=:@/?%";

bool IsAlphanumeric(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

}  // namespace

void AppendPercentEncoded(std::string& out, std::string_view text, const char* alsoKept) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsAlphanumeric(byte) || (byte != 0 && std::strchr(alsoKept, c) != nullptr)) {
            out += c;
        } else {
            out += '%';
            out += kHexDigits[byte >> 4];
            out += kHexDigits[byte & 0x0F];
        }
    }
}

std::string PercentEncodeQueryValue(std::string_view value) {
    std::string encoded;
    encoded.reserve(value.size());
    AppendPercentEncoded(encoded, value, kUnreservedMarks);
    return encoded;
}

std::string EncodeRequestTarget(const std::string& path) {
    std::string target;
    target.reserve(path.size());
    AppendPercentEncoded(target, path, kTargetMarks);
    return target;
}

}  // namespace nimbrel
