#pragma once
// One client connection of the HTTP server, from accept to close, as a
// chain of asynchronous steps on one io thread: read a request (bounded
// in time and bytes), hand its target to a worker, write the answer the
// worker posts back, and read the next one or close. Nothing here blocks,
// so a connection that waits costs no thread.

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/string_body.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "services/support/log_text.h"
#include "services/server/page.h"
#include "services/server/server_limits.h"
#include "services/server/worker_pool.h"

namespace nimbrel::services {

// What answers a request target. An answer that may block runs on a
// worker; one built from memory at once runs where the request was read,
// which spares two trips between threads. Each request is first given its
// route, one of a few fixed ones (never its raw path: a client could then
// grow what is counted without end), which the other members are told.
struct RequestHandler {
    using Clock = std::chrono::steady_clock;

    std::function<Page(const std::string& target, std::size_t route)> answer;
    // The page when it can be had without waiting; none sends the request
    // to a worker, which asks answer.
    std::function<std::optional<Page>(const std::string& target, std::size_t route)> answerAtOnce;
    // Each may be empty.
    std::function<std::size_t(std::string_view target)> route;  // 0 without one
    // Asked where the request was read, before its route runs: 0 lets it
    // run, else the client is answered 429 and told to wait that many seconds.
    std::function<int(std::size_t route, const boost::asio::ip::address& client, Clock::time_point now)> admit;
    // Told of each answer (route 0 for a request that could not be read),
    // with the time from the request read to its answer ready.
    std::function<void(std::size_t route, int status, Clock::duration took)> answered;
};

// What a server's connections share. A job on a worker holds it, so that a
// route still running when the server has gone posts its answer into an
// io_context that is still there (and never run again).
struct ServerShared : std::enable_shared_from_this<ServerShared> {
    ServerShared(const ServerLimits& limits, RequestHandler handler, Log log, WorkerPool& pool)
        : limits(limits), handler(std::move(handler)), log(std::move(log)), pool(pool) {
        for (std::size_t i = 0; i < std::max<std::size_t>(limits.ioThreads, 1); ++i) io.emplace_back(1);
    }

    const ServerLimits limits;
    const RequestHandler handler;
    const Log log;
    // The server's; only io threads post to it, and they end before it does.
    WorkerPool& pool;
    std::atomic<std::size_t> open{0};
    // Requests read and not yet answered whole, which a stop lets finish.
    std::atomic<std::size_t> busy{0};
    // Set when the server stops: connections then close after their answer.
    std::atomic<bool> stopping{false};
    // One for each io thread, each connection on one of them, so that
    // threads never hand a connection's steps to one another. Last, so
    // destroyed first: with them go the handlers they still hold, and with
    // those the connections, which count themselves out above.
    std::deque<boost::asio::io_context> io;
};

// A request body, read and thrown away: a GET's body means nothing here,
// but unread it would be taken for the next request. The parser bounds it.
struct DiscardedBody {
    struct value_type {};
    struct reader {
        template <bool isRequest, class Fields>
        reader(boost::beast::http::header<isRequest, Fields>&, value_type&) {}
        void init(const boost::optional<std::uint64_t>&, boost::beast::error_code& error) { error = {}; }
        template <class Buffers>
        std::size_t put(const Buffers& buffers, boost::beast::error_code& error) {
            error = {};
            return boost::asio::buffer_size(buffers);
        }
        void finish(boost::beast::error_code& error) { error = {}; }
    };
};

// The connection closes after the answer to a request it could not read,
// and such a request is not answered by a worker.
class HttpConnection : public std::enable_shared_from_this<HttpConnection> {
public:
    HttpConnection(boost::asio::ip::tcp::socket socket, ServerShared& shared);
    ~HttpConnection();
    HttpConnection(const HttpConnection&) = delete;
    HttpConnection& operator=(const HttpConnection&) = delete;

    void Start();

private:
    struct Job;

    void ReadRequest();
    void ReadRest();
    void OnRequest(boost::beast::error_code error);
    void Dispatch();
    // retryAfter, when not 0, is sent as Retry-After (seconds).
    void Answer(Page page, int retryAfter = 0);
    void SetBusy(bool busy);
    void OnAnswered(boost::beast::error_code error);
    void Linger();
    void DropInput();
    std::string RequestText() const;

    ServerShared& shared_;
    const boost::asio::ip::address client_;
    boost::beast::tcp_stream stream_;
    boost::beast::flat_buffer buffer_;
    std::optional<boost::beast::http::request_parser<DiscardedBody>> parser_;
    boost::beast::http::response<boost::beast::http::string_body> answer_;
    std::chrono::steady_clock::time_point deadline_;
    std::chrono::steady_clock::time_point read_;  // when the request in hand was read
    std::size_t route_ = 0;
    bool busy_ = false;  // counted in ServerShared::busy
    std::size_t requests_ = 0;
    std::size_t lingerBytes_ = 0;
    bool head_ = false;
    bool keepAlive_ = false;
};

}  // namespace nimbrel::services
