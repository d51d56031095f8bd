#include "services/upstream/upstream_url.h"

#include <cctype>

#include "services/support/text_match.h"

namespace nimbrel::services {
namespace {

bool IsHostByte(char c, bool bracketed) {
    const auto b = static_cast<unsigned char>(c);
    return std::isalnum(b) || c == '.' || c == '-' || (bracketed && c == ':');
}

bool IsHost(std::string_view host) {
    const bool bracketed = host.size() > 2 && host.front() == '[' && host.back() == ']';
    if (bracketed) host = host.substr(1, host.size() - 2);
    if (host.empty()) return false;
    for (const char c : host) {
        if (!IsHostByte(c, bracketed)) return false;
    }
    return true;
}

bool IsPort(std::string_view port) {
    if (port.empty() || port.size() > 5) return false;
    long value = 0;
    for (const char c : port) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return value > 0 && value <= 65535;
}

bool IsPath(std::string_view path) {
    for (const char c : path) {
        const auto b = static_cast<unsigned char>(c);
        if (b <= 0x20 || b >= 0x7F || c == '?' || c == '#') return false;
    }
    return true;
}

}  // namespace

std::optional<UpstreamUrl> ParseUpstreamUrl(std::string_view url) {
    std::string_view scheme;
    for (const std::string_view known : {"https://", "http://"}) {
        if (StartsWithNoCase(url, known)) scheme = known;
    }
    if (scheme.empty()) return std::nullopt;
    const std::string_view rest = url.substr(scheme.size());
    const auto slash = rest.find('/');
    const std::string_view authority = rest.substr(0, slash);
    const std::string_view path = slash == std::string_view::npos ? "/" : rest.substr(slash);
    // The last colon after any bracketed address starts the port.
    const auto closing = authority.rfind(']');
    const auto colon = authority.find(':', closing == std::string_view::npos ? 0 : closing);
    const std::string_view host = authority.substr(0, colon);
    if (!IsHost(host) || !IsPath(path)) return std::nullopt;
    if (colon != std::string_view::npos && !IsPort(authority.substr(colon + 1))) return std::nullopt;
    UpstreamUrl parsed;
    parsed.origin = AsciiLowered(scheme.substr(0, scheme.size() - 3));
    parsed.origin += "://";
    parsed.origin += authority;
    parsed.path = std::string(path);
    return parsed;
}

UpstreamUrl AsFolder(UpstreamUrl url) {
    if (url.path.back() != '/') url.path += '/';
    return url;
}

UpstreamUrl InFolder(const UpstreamUrl& folder, std::string_view name) {
    UpstreamUrl file = AsFolder(folder);
    file.path += name;
    return file;
}

OriginParts SplitOrigin(const std::string& origin) {
    OriginParts split;
    const auto scheme = origin.find("://");
    split.tls = origin.compare(0, scheme, "https") == 0;
    split.authority = origin.substr(scheme + 3);
    const auto closing = split.authority.rfind(']');
    const auto colon = split.authority.find(':', closing == std::string::npos ? 0 : closing);
    split.host = split.authority.substr(0, colon);
    split.port = colon != std::string::npos ? split.authority.substr(colon + 1) : split.tls ? "443" : "80";
    if (split.host.size() > 2 && split.host.front() == '[') split.host = split.host.substr(1, split.host.size() - 2);
    return split;
}

}  // namespace nimbrel::services
