#include "services/server/http_server.h"

#include <boost/asio/post.hpp>
#include <boost/asio/write.hpp>

#include <algorithm>

namespace nimbrel::services {
namespace {

using boost::asio::ip::tcp;
using boost::system::error_code;

// An accept that failed (out of descriptors, say) is tried again after a
// pause: at once, it would fail again in a busy loop.
constexpr auto kAcceptPause = std::chrono::milliseconds(50);
// How often a stop looks whether the requests in hand are answered.
constexpr auto kDrainPoll = std::chrono::milliseconds(5);

constexpr char kBusyAnswer[] = "HTTP/1.1 503 Service Unavailable\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";

// A connection beyond the bound gets the 503 if its socket takes it at
// once, and is closed; nothing of it is read.
void Refuse(tcp::socket socket) {
    error_code ignored;
    socket.non_blocking(true, ignored);
    boost::asio::write(socket, boost::asio::buffer(kBusyAnswer, sizeof kBusyAnswer - 1), ignored);
    socket.shutdown(tcp::socket::shutdown_both, ignored);
    socket.close(ignored);
}

// A handler that throws (out of memory, say) loses its connection, not the
// thread, and never reaches std::terminate.
void Serve(boost::asio::io_context& io) {
    while (true) {
        try {
            io.run();
            return;
        } catch (...) {
        }
    }
}

}  // namespace

HttpServer::HttpServer(RequestHandler handler, Log log, const ServerLimits& limits, ThreadFactory threads)
    : threads_(std::move(threads)),
      pool_(limits.workers, limits.queuedRequests, threads_),
      shared_(std::make_shared<ServerShared>(limits, std::move(handler), std::move(log), pool_)) {}

HttpServer::~HttpServer() { Stop(); }

bool HttpServer::Listen(int port, const std::string& address) {
    const std::string where = address + ":" + std::to_string(port);
    error_code error;
    acceptor_.emplace(*serving_.front());
    acceptPause_.emplace(*serving_.front());
    tcp::resolver resolver(*serving_.front());
    const auto found = resolver.resolve(address, std::to_string(port),
                                        tcp::resolver::passive | tcp::resolver::numeric_service, error);
    if (error || found.empty()) {
        error_ = "cannot listen on " + where + ": not an address of this machine";
        return false;
    }
    const tcp::endpoint endpoint = *found.begin();
    acceptor_->open(endpoint.protocol(), error);
#if !defined(_WIN32)
    // A restart binds while the last run's connections linger. (On Windows
    // the option would let a second server share a port already taken.)
    if (!error) acceptor_->set_option(tcp::acceptor::reuse_address(true), error);
#endif
    if (!error) acceptor_->bind(endpoint, error);
    if (!error) acceptor_->listen(tcp::acceptor::max_listen_connections, error);
    if (!error) port_ = acceptor_->local_endpoint(error).port();
    if (error) {
        error_ = error == boost::asio::error::address_in_use
                     ? "port " + std::to_string(port) + " on " + address + " is already in use"
                     : "cannot listen on " + where + ": " + error.message();
        error_code ignored;
        acceptor_->close(ignored);
        port_ = 0;
        return false;
    }
    return true;
}

bool HttpServer::Start(int port, const std::string& address) {
    if (!shared_) return false;
    if (!StartIoThreads()) {
        error_ = "cannot start a thread to serve " + address + ":" + std::to_string(port);
        Stop();
        return false;
    }
    if (!Listen(port, address)) {
        Stop();
        return false;
    }
    Accept();
    return true;
}

// A thread for each io_context; one whose thread did not start is left
// out. False when none started.
bool HttpServer::StartIoThreads() {
    for (boost::asio::io_context& io : shared_->io) {
        work_.emplace_back(io.get_executor());
        std::thread thread = StartThread(threads_, [&io] { Serve(io); });
        if (!thread.joinable()) continue;
        ioThreads_.push_back(std::move(thread));
        serving_.push_back(&io);
    }
    return !serving_.empty();
}

bool HttpServer::Stop() {
    if (!shared_) return true;
    const auto deadline = std::chrono::steady_clock::now() + shared_->limits.drain;
    StopAccepting();
    // Requests read are answered, those on workers included; a connection
    // that waits for its next request is closed with the rest below.
    while (shared_->busy.load() > 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(kDrainPoll);
    }
    for (boost::asio::io_context& io : shared_->io) io.stop();
    for (std::thread& thread : ioThreads_) thread.join();
    ioThreads_.clear();
    serving_.clear();
    work_.clear();
    acceptPause_.reset();
    acceptor_.reset();
    const bool drained = pool_.Stop(std::chrono::duration_cast<std::chrono::milliseconds>(
        std::max(deadline - std::chrono::steady_clock::now(), std::chrono::steady_clock::duration::zero())));
    // The io_contexts, and every connection their handlers hold, go with
    // the last holder: here, or when the last route still running ends.
    shared_.reset();
    return drained;
}

void HttpServer::StopAccepting() {
    shared_->stopping = true;
    if (!acceptor_ || serving_.empty()) return;
    // The acceptor is its io thread's to touch; what it accepts meanwhile
    // is refused by Admit.
    boost::asio::post(*serving_.front(), [this] {
        error_code ignored;
        acceptor_->close(ignored);
    });
}

std::size_t HttpServer::openConnections() const { return shared_ ? shared_->open.load() : 0; }

void HttpServer::Accept() {
    boost::asio::io_context& next = *serving_[nextContext_++ % serving_.size()];
    acceptor_->async_accept(next, [this](const error_code& error, tcp::socket socket) {
        if (error == boost::asio::error::operation_aborted) return;
        if (!error) {
            Admit(std::move(socket));
            return Accept();
        }
        acceptPause_->expires_after(kAcceptPause);
        acceptPause_->async_wait([this](const error_code& waited) {
            if (!waited) Accept();
        });
    });
}

void HttpServer::Admit(tcp::socket socket) {
    if (shared_->stopping || shared_->open.load() >= shared_->limits.connections) return Refuse(std::move(socket));
    error_code ignored;
    // Each answer is written in one go; Nagle's algorithm would only hold
    // back the end of a long one.
    socket.set_option(tcp::no_delay(true), ignored);
    std::make_shared<HttpConnection>(std::move(socket), *shared_)->Start();
}

}  // namespace nimbrel::services
