#include "services/shared_cache/redis_address.h"

#include <string_view>

#include "services/support/text_match.h"

namespace nimbrel::services {
namespace {

constexpr std::string_view kScheme = "redis://";

bool ParseNumber(std::string_view text, int low, int high, int& value) {
    if (text.empty() || text.size() > 5) return false;
    value = 0;
    for (const char digit : text) {
        if (digit < '0' || digit > '9') return false;
        value = value * 10 + (digit - '0');
    }
    return value >= low && value <= high;
}

bool IsHostName(std::string_view host) {
    if (host.empty() || host.size() > 253) return false;
    for (const char c : host) {
        const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-';
        if (!allowed) return false;
    }
    return true;
}

bool IsIpv6(std::string_view host) {
    if (host.empty() || host.size() > 45) return false;
    for (const char c : host) {
        const bool allowed = (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || (c >= '0' && c <= '9') || c == ':' || c == '.';
        if (!allowed) return false;
    }
    return host.find(':') != std::string_view::npos;
}

}  // namespace

std::string RedisAddress::Text() const {
    const std::string shown = host.find(':') != std::string::npos ? "[" + host + "]" : host;
    return std::string(kScheme) + shown + ":" + std::to_string(port) + "/" + std::to_string(db);
}

std::optional<RedisAddress> ParseRedisAddress(const std::string& text) {
    std::string_view rest = text;
    if (!StartsWith(rest, kScheme)) return std::nullopt;
    rest.remove_prefix(kScheme.size());
    RedisAddress address;
    const std::size_t slash = rest.find('/');
    if (slash != std::string_view::npos) {
        if (!ParseNumber(rest.substr(slash + 1), 0, 65535, address.db)) return std::nullopt;
        rest = rest.substr(0, slash);
    }
    std::string_view host = rest;
    std::string_view port;
    if (!rest.empty() && rest.front() == '[') {
        const std::size_t close = rest.find(']');
        if (close == std::string_view::npos) return std::nullopt;
        host = rest.substr(1, close - 1);
        if (!IsIpv6(host)) return std::nullopt;
        rest.remove_prefix(close + 1);
        if (!rest.empty() && rest.front() != ':') return std::nullopt;
        if (!rest.empty()) port = rest.substr(1);
        if (!rest.empty() && port.empty()) return std::nullopt;
    } else {
        const std::size_t colon = rest.find(':');
        if (colon != std::string_view::npos) {
            host = rest.substr(0, colon);
            port = rest.substr(colon + 1);
            if (port.empty()) return std::nullopt;
        }
        if (!IsHostName(host)) return std::nullopt;
    }
    if (!port.empty() && !ParseNumber(port, 1, 65535, address.port)) return std::nullopt;
    address.host = std::string(host);
    return address;
}

}  // namespace nimbrel::services
