#include "gateway_address.h"

namespace nimbrel {

namespace {

constexpr std::size_t kLabelMaxLength = 63;
constexpr long kPortMax = 65535;
constexpr std::size_t kPortMaxDigits = 5;

// ASCII only, whatever the locale.
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLabelCharacter(char c) { return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-'; }

// Labels of letters, digits and hyphens, dot-separated, none empty.
bool IsHost(const std::string& host) {
    std::size_t label = 0;
    for (char c : host) {
        if (c == '.') {
            if (label == 0) return false;
            label = 0;
        } else if (!IsLabelCharacter(c) || ++label > kLabelMaxLength) {
            return false;
        }
    }
    return label != 0;
}

bool IsPort(const std::string& port) {
    if (port.empty() || port.size() > kPortMaxDigits) return false;
    long value = 0;
    for (char c : port) {
        if (!IsDigit(c)) return false;
        value = value * 10 + (c - '0');
    }
    return value >= 1 && value <= kPortMax;
}

// The text after the scheme's "//", or npos.
std::size_t AuthorityStart(const std::string& text) {
    for (const char* scheme : {"http://", "https://"}) {
        const std::string prefix(scheme);
        if (text.compare(0, prefix.size(), prefix) == 0) return prefix.size();
    }
    return std::string::npos;
}

}  // namespace

bool IsGatewayAddress(const std::string& text) {
    if (text.size() > kGatewayAddressMaxLength) return false;
    const std::size_t start = AuthorityStart(text);
    if (start == std::string::npos) return false;
    std::string authority = text.substr(start);
    if (!authority.empty() && authority.back() == '/') authority.pop_back();
    const std::size_t colon = authority.find(':');
    if (colon == std::string::npos) return IsHost(authority);
    return IsHost(authority.substr(0, colon)) && IsPort(authority.substr(colon + 1));
}

std::string GatewayBase(const std::string& address) {
    if (!address.empty() && address.back() == '/') return address.substr(0, address.size() - 1);
    return address;
}

std::string PrintableValue(const std::string& text, std::size_t maxLength) {
    const bool cut = text.size() > maxLength;
    std::string shown = text.substr(0, maxLength);
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return cut ? shown + "..." : shown;
}

}  // namespace nimbrel
