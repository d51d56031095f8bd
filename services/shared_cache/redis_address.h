#pragma once
// Where the fleet's Redis is: redis://HOST[:PORT][/DB]. Plain text, no
// hiredis, so that the command line is read alike in every build.

#include <optional>
#include <string>

namespace nimbrel::services {

struct RedisAddress {
    std::string host;  // a name, an IPv4 address or an IPv6 one (without brackets)
    int port = 6379;
    int db = 0;

    std::string Text() const;
};

// None unless text is redis://, a host, an optional port from 1 to 65535
// and an optional database number from 0 to 65535.
std::optional<RedisAddress> ParseRedisAddress(const std::string& text);

}  // namespace nimbrel::services
