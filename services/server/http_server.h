#pragma once
// The services' HTTP server, event-driven (Boost.Beast over Boost.Asio): a
// few io threads serve every connection without blocking, and the routes,
// which may block, run on a bounded pool of workers. An idle or slow client
// costs a socket and a timer, never a thread.
//
// Stop is graceful and bounded: it stops accepting, lets the requests
// already read be answered (those on workers included) for up to
// ServerLimits::drain in all, then ends the io threads, closing the
// connections that wait for their next request. A route that outlives it
// posts its answer into the io_context it shares with its connection, which
// stays until the last of them ends. Nothing here is POSIX: a console's
// Ctrl-C on Windows calls the same Stop as SIGTERM does.

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>

#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "services/server/http_connection.h"
#include "services/server/server_limits.h"
#include "services/support/thread_factory.h"
#include "services/server/worker_pool.h"

namespace nimbrel::services {

class HttpServer {
public:
    HttpServer(RequestHandler handler, Log log, const ServerLimits& limits, ThreadFactory threads);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Binds address:port (port 0: any free one) and serves. False when the
    // port cannot be had or no io thread starts; error() then says why.
    bool Start(int port, const std::string& address);
    // True when no route was left running. A stopped server stays stopped.
    bool Stop();

    int port() const { return port_; }
    std::size_t openConnections() const;
    const std::string& error() const { return error_; }

private:
    bool Listen(int port, const std::string& address);
    bool StartIoThreads();
    void StopAccepting();
    void Accept();
    void Admit(boost::asio::ip::tcp::socket socket);

    const ThreadFactory threads_;
    WorkerPool pool_;
    std::shared_ptr<ServerShared> shared_;
    // The io_contexts that have a thread, which new connections take in turn.
    std::vector<boost::asio::io_context*> serving_;
    std::size_t nextContext_ = 0;
    // On shared_'s io_contexts, so declared after it and reset before it.
    std::optional<boost::asio::ip::tcp::acceptor> acceptor_;
    std::optional<boost::asio::steady_timer> acceptPause_;
    std::vector<boost::asio::executor_work_guard<boost::asio::io_context::executor_type>> work_;
    std::vector<std::thread> ioThreads_;
    int port_ = 0;
    std::string error_;
};

}  // namespace nimbrel::services
