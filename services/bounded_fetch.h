#pragma once
// One request to an upstream server, bounded as a whole: an answer must be
// complete within a time and a number of bytes, or the fetch has failed.
// cpp-httplib bounds each connect and each read, but not their sum: a
// source that trickles a byte a second would hold the caller for ever.

#include <chrono>
#include <cstddef>
#include <string>

#include "upstream_url.h"

namespace services {

struct FetchLimits {
    std::chrono::milliseconds time;  // from the start to the last byte
    std::size_t bytes;               // of the body, after any decompression
};

// A GET unless a body is given, which then goes as a POST.
struct FetchRequest {
    std::string body;
    std::string contentType;
};

struct FetchResult {
    bool ok = false;
    int status = 0;     // the answer's status; 0 when none came
    std::string body;   // when ok
    std::string error;  // why not, for the log: "HTTP status 404", ...
};

// Only a 200 answer is ok; redirections are not followed. Returns by the
// deadline (and a little) whatever the source or the name resolver does.
FetchResult BoundedFetch(const UpstreamUrl& url, const FetchLimits& limits, const FetchRequest& request = {});

}  // namespace services
