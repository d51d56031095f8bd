#pragma once
// What one client may cost the services' HTTP server. An open connection
// costs no thread, only its socket and buffers; these bound how long and
// how much each one holds, and how many there are.

#include <chrono>
#include <cstddef>

namespace nimbrel::services {

struct ServerLimits {
    // From accept, or from the end of the previous answer, to the first
    // byte of a request: an idle keep-alive connection is closed then.
    std::chrono::milliseconds idle{5000};
    // From accept, or from the end of the previous answer, to the end of
    // the request, head and body: a client that sends it a byte at a time
    // is closed then.
    std::chrono::milliseconds request{10000};
    // For writing one answer.
    std::chrono::milliseconds answer{5000};
    std::size_t headBytes = 64 * 1024;
    // A body is read past (a GET's body means nothing here) up to this.
    std::size_t bodyBytes = 64 * 1024;
    // The answer to the last one says the connection closes.
    std::size_t requestsPerConnection = 1000;
    // Beyond it a new connection gets a 503 and is closed.
    std::size_t connections = 4096;
    // Threads that serve the connections; they never block.
    std::size_t ioThreads = 2;
    // Threads that run the routes, which may block on an upstream source
    // or a translator, and the requests that may wait for one of them
    // (beyond it a request gets a 503).
    std::size_t workers = 32;
    std::size_t queuedRequests = 1024;
    // How long Stop waits for routes still running.
    std::chrono::milliseconds drain{5000};
};

}  // namespace nimbrel::services
