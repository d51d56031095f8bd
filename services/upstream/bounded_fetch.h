#pragma once
// One request to an upstream server, bounded as a whole: the name looked
// up, the connection made (and its TLS handshake), the request sent and the
// answer's head and body read, all by one deadline; the head and the body
// each within a number of bytes. It runs on the caller's thread, on
// non-blocking sockets, and starts no thread of its own.

#include <chrono>
#include <cstddef>
#include <string>

#include "services/support/result.h"
#include "services/upstream/upstream_url.h"

namespace nimbrel::services {

// A sound server's head is well under a kilobyte; a line that never ends
// must not grow without bound.
inline constexpr std::size_t kAnswerHeadBytes = 32 * 1024;

struct FetchLimits {
    std::chrono::milliseconds time;  // from the start to the last byte
    std::size_t bytes;               // of the body, after any decompression
    std::size_t headBytes = kAnswerHeadBytes;
};

// A GET unless a body is given, which then goes as a POST.
struct FetchRequest {
    std::string body;
    std::string contentType;
};

// Why a fetch gave no body.
struct FetchError {
    int status = 0;   // the answer's status; 0 when none came
    std::string why;  // for the log: "HTTP status 404", ...
};

// The body of the answer, or why there is none.
using FetchedBody = Result<std::string, FetchError>;

// Only a 200 answer gives its body; redirections are not followed. A gzip or
// deflate body is decompressed. Returns by the deadline (and a few
// milliseconds) whatever the source or the name resolver does.
FetchedBody BoundedFetch(const UpstreamUrl& url, const FetchLimits& limits, const FetchRequest& request = {});

}  // namespace nimbrel::services
