#include "translation_query.h"

namespace {

constexpr char kTextKey[] = "/tr?trtext=";
constexpr char kPairKey[] = "&lp=";
constexpr char kHexDigits[] = "0123456789ABCDEF";

bool IsUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
           c == '-' || c == '.' || c == '_' || c == '~';
}

void AppendEncoded(std::string& out, std::string_view value) {
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsUnreserved(byte)) {
            out += c;
        } else {
            out += '%';
            out += kHexDigits[byte >> 4];
            out += kHexDigits[byte & 0x0F];
        }
    }
}

}  // namespace

std::string PercentEncodeQueryValue(std::string_view value) {
    std::string encoded;
    encoded.reserve(value.size());
    AppendEncoded(encoded, value);
    return encoded;
}

std::string TranslationRequestPath(std::string_view text, std::string_view pair) {
    std::string path(kTextKey);
    AppendEncoded(path, text);
    path += kPairKey;
    AppendEncoded(path, pair);
    return path;
}
