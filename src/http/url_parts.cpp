#include "url_parts.h"

#include <climits>
#include <cstdlib>

namespace nimbrel {

namespace {

// The port as a 32-bit long reads it: blanks and a sign allowed, reading
// stops at the first non-digit, no digits give 0, overflow saturates.
int ReadPort(const std::string& text) {
    long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

}  // namespace

bool SplitUrl(const std::string& address, UrlParts& parts) {
    const std::size_t n = address.size();
    const std::size_t npos = std::string::npos;
    parts = UrlParts{};

    std::size_t authority = 0;
    std::size_t colon = address.find(':');
    if (colon != npos && colon + 1 < n && address[colon + 1] == '/') {
        parts.scheme = address.substr(0, colon);
        authority = colon + 3 > n ? n : colon + 3;   // ":" and the next two, whatever they are
    } else {
        parts.scheme = "http";
    }

    // User information belongs to the authority only: an "@" after the
    // first "/" is part of the path, not a user name.
    std::size_t hostStart = authority;
    std::size_t authorityEnd = address.find('/', authority);
    std::size_t at = address.find('@', authority);
    if (at != npos && (authorityEnd == npos || at < authorityEnd)) {
        std::size_t separator = address.find(':', authority);
        if (separator != npos && separator < at) {
            parts.userName = address.substr(authority, separator - authority);
            parts.password = address.substr(separator + 1, at - separator - 1);
        }
        hostStart = at + 1;
    }

    std::size_t pathStart = address.find('/', hostStart);
    if (pathStart == npos) pathStart = n;

    std::size_t portSeparator = address.find(':', hostStart);
    if (portSeparator != npos && portSeparator < pathStart) {
        parts.host = address.substr(hostStart, portSeparator - hostStart);
        parts.port = ReadPort(address.substr(portSeparator + 1, pathStart - portSeparator - 1));
    } else {
        parts.host = address.substr(hostStart, pathStart - hostStart);
        parts.port = parts.scheme == "https" ? 443 : parts.scheme == "ftp" ? 21 : 80;
    }

    parts.path = pathStart < n ? address.substr(pathStart) : "/";

    for (const std::string* part : {&parts.scheme, &parts.userName, &parts.password, &parts.host, &parts.path})
        if (part->size() > kUrlPartLimit) return false;
    return true;
}

UrlScheme SchemeFromText(const std::string& schemeText) {
    if (StartsWith(schemeText, "https")) return UrlScheme::Https;
    if (StartsWith(schemeText, "http")) return UrlScheme::Http;
    if (StartsWith(schemeText, "ftp")) return UrlScheme::Ftp;
    return UrlScheme::Unknown;
}

}  // namespace nimbrel
