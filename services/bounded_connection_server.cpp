#include "bounded_connection_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace services {
namespace {

using Clock = std::chrono::steady_clock;

// A waiting worker looks this often whether the server is stopping.
constexpr auto kStopCheck = std::chrono::milliseconds(100);
constexpr std::size_t kReadBuffer = 4096;
// Answers are gathered and sent whole: one send per answer, and no small
// second segment for Nagle's algorithm to hold back.
constexpr std::size_t kWriteBuffer = 64 * 1024;

// True when fd has something for events before deadline, false on the
// deadline, an error, or stop() becoming true.
template <typename Stopping>
bool WaitFor(int fd, short events, Clock::time_point deadline, const Stopping& stopping) {
    while (!stopping()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return false;
        pollfd entry{fd, events, 0};
        const int ready = poll(&entry, 1, static_cast<int>(std::min(left, kStopCheck).count()));
        if (ready > 0) return true;
        if (ready < 0 && errno != EINTR) return false;
    }
    return false;
}

void Address(int fd, bool peer, std::string& ip, int& port) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    const int got = peer ? getpeername(fd, reinterpret_cast<sockaddr*>(&address), &length)
                         : getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    char text[INET6_ADDRSTRLEN] = "";
    port = 0;
    if (got == 0 && address.ss_family == AF_INET) {
        const auto& v4 = reinterpret_cast<const sockaddr_in&>(address);
        inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
        port = ntohs(v4.sin_port);
    } else if (got == 0 && address.ss_family == AF_INET6) {
        const auto& v6 = reinterpret_cast<const sockaddr_in6&>(address);
        inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text);
        port = ntohs(v6.sin6_port);
    }
    ip = text;
}

// The connection as cpp-httplib's request processing reads and writes it,
// with reads bounded by the deadline of the request under way and answers
// sent whole.
class DeadlineStream : public httplib::Stream {
public:
    template <typename Stopping>
    DeadlineStream(int fd, const ConnectionLimits& limits, const Stopping& stopping)
        : fd_(fd), limits_(limits), stopping_(stopping) {}

    // Starts the clock for the next request's head.
    void NextRequest() {
        deadline_ = Clock::now() + limits_.requestHead;
        headBytes_ = 0;
    }
    bool WaitForRequest() const { return offset_ < filled_ || Wait(POLLIN, deadline_); }

    bool Flush() {
        const auto deadline = Clock::now() + limits_.answer;
        std::size_t sent = 0;
        while (sent < pending_.size()) {
            if (!Wait(POLLOUT, deadline)) return false;
            const ssize_t n = send(fd_, pending_.data() + sent, pending_.size() - sent, MSG_NOSIGNAL);
            if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
            if (n <= 0) return false;
            sent += static_cast<std::size_t>(n);
        }
        pending_.clear();
        return true;
    }

    bool is_readable() const override { return WaitForRequest(); }
    bool is_writable() const override { return true; }  // written at Flush

    ssize_t read(char* to, size_t size) override {
        if (offset_ == filled_) {
            if (headBytes_ >= limits_.bytesPerHead || !Wait(POLLIN, deadline_)) return -1;
            const ssize_t n = recv(fd_, buffer_, sizeof buffer_, 0);
            if (n <= 0) return n;
            offset_ = 0;
            filled_ = static_cast<std::size_t>(n);
            headBytes_ += filled_;
        }
        const std::size_t count = std::min(size, filled_ - offset_);
        std::memcpy(to, buffer_ + offset_, count);
        offset_ += count;
        return static_cast<ssize_t>(count);
    }

    ssize_t write(const char* from, size_t size) override {
        pending_.append(from, size);
        if (pending_.size() >= kWriteBuffer && !Flush()) return -1;
        return static_cast<ssize_t>(size);
    }

    void get_remote_ip_and_port(std::string& ip, int& port) const override { Address(fd_, true, ip, port); }
    void get_local_ip_and_port(std::string& ip, int& port) const override { Address(fd_, false, ip, port); }
    socket_t socket() const override { return fd_; }

private:
    bool Wait(short events, Clock::time_point deadline) const { return WaitFor(fd_, events, deadline, stopping_); }

    int fd_;
    const ConnectionLimits& limits_;
    std::function<bool()> stopping_;
    Clock::time_point deadline_;
    std::size_t headBytes_ = 0;
    char buffer_[kReadBuffer];
    std::size_t offset_ = 0;
    std::size_t filled_ = 0;
    std::string pending_;
};

}  // namespace

BoundedConnectionServer::BoundedConnectionServer(const ConnectionLimits& limits) : limits_(limits) {
    new_task_queue = [workers = limits_.workers] { return new httplib::ThreadPool(workers); };
    // An HTTP/1.0 request that does not ask to keep the connection has it
    // closed after the answer, as the library does, but the library still
    // announces keep-alive: a client that believes it (Wine's WinINet, for
    // the plug-in's requests) pools the dead connection and keeps a thread
    // to watch it. Say so.
    set_post_routing_handler([](const httplib::Request& request, httplib::Response& response) {
        if (request.version == "HTTP/1.0" && request.get_header_value("Connection") != "Keep-Alive") {
            response.set_header("Connection", "close");
        }
    });
}

int BoundedConnectionServer::Bind(const std::string& address, int port) {
    const int bound = port == 0 ? bind_to_any_port(address) : bind_to_port(address, port) ? port : -1;
    if (bound >= 0) ::listen(svr_sock_, SOMAXCONN);
    return bound;
}

bool BoundedConnectionServer::process_and_close_socket(socket_t socket) {
    DeadlineStream stream(socket, limits_, [this] { return svr_sock_ == INVALID_SOCKET; });
    bool served = false;
    while (true) {
        stream.NextRequest();
        if (!stream.WaitForRequest()) break;
        bool closed = false;
        served = process_request(stream, false, closed, nullptr);
        if (!stream.Flush() || !served || closed) break;
    }
    shutdown(socket, SHUT_RDWR);
    close(socket);
    return served;
}

}  // namespace services
