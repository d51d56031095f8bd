#pragma once
// cpp-httplib's server with every connection bounded in time. The library
// serves a connection on one worker from accept to close, and bounds only
// each single read: a client that sends its request head a byte a second,
// or says nothing at all, holds a worker as long as it likes, and its
// eight workers were all it took to stop the services.
//
// Chosen: an overall deadline on each request head (the wait for it
// included) and a worker for every connection that can be open at once,
// rather than a server that is not one thread per connection. The
// handlers block anyway (an upstream fetch for up to 4 s, a translation in
// a child process), so a thread per request in progress is needed either
// way; the library's request parsing stays the one the tests know; and a
// waiting worker costs a sleeping thread. The pool is sized well beyond
// what a messenger and a benchmark open (64 slow or idle connections delay
// a fresh request by nothing); past it, a connection waits at most one
// head deadline for a worker.

#include <httplib.h>

#include <chrono>
#include <cstddef>

namespace services {

struct ConnectionLimits {
    // From the moment a connection waits for a request to the end of its
    // head; a connection idle between requests is closed when it passes.
    std::chrono::milliseconds requestHead{5000};
    // For writing one answer.
    std::chrono::milliseconds answer{5000};
    std::size_t bytesPerHead = 64 * 1024;
    std::size_t workers = 256;
};

class BoundedConnectionServer : public httplib::Server {
public:
    explicit BoundedConnectionServer(const ConnectionLimits& limits);

    // Binds address:port (0: any free port) and returns the port, or -1.
    // The library listens with a backlog of 5: a burst of new connections
    // beyond it has its handshakes dropped, and each waits a second for its
    // retry; the backlog is widened to the system's maximum.
    int Bind(const std::string& address, int port);

private:
    bool process_and_close_socket(socket_t socket) override;

    ConnectionLimits limits_;
};

}  // namespace services
