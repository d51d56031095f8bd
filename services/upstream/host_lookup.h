#pragma once
// The addresses of an upstream host, found by a deadline. An address
// literal needs no lookup. A name goes to the C library's asynchronous
// resolver (getaddrinfo_a: a few threads of its own, shared by the
// process), and the caller stops waiting at the deadline; a lookup left
// unanswered is kept until the resolver is done with it, and past a few
// such lookups no new one starts.

#include <sys/socket.h>

#include <chrono>
#include <string>
#include <vector>

#include "services/support/result.h"

namespace nimbrel::services {

struct HostAddress {
    sockaddr_storage address;
    socklen_t length;
};

// Why no address came: the deadline passed, or the lookup failed (why).
struct LookupFailure {
    bool timedOut = false;
    std::string why;  // when not timedOut
};

using HostLookup = Result<std::vector<HostAddress>, LookupFailure>;

// host: a name, an IPv4 address or an IPv6 one (without brackets). Found
// means at least one address.
HostLookup LookUpHost(const std::string& host, const std::string& port,
                      std::chrono::steady_clock::time_point deadline);

}  // namespace nimbrel::services
