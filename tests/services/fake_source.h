#pragma once
// Loopback stand-ins for the live sources: a folder of decoded files that
// can be told to misbehave, one that never answers, one that answers with
// raw bytes, and an address where nothing listens.

#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "unique_fd.h"

// Serves /CODE.TXT (and any other path) from files(); counts requests.
class FakeSource {
public:
    enum class Mode { Serve, Garbage, Empty, Missing, Oversized, Trickle, Slow };

    FakeSource() {
        server_.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
            Answer(request.path, response);
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~FakeSource() {
        stopping_ = true;
        server_.stop();
        thread_.join();
    }

    std::string Url(const std::string& path = "/", const std::string& scheme = "http") const {
        return scheme + "://127.0.0.1:" + std::to_string(port_) + path;
    }
    int Port() const { return port_; }
    void Put(const std::string& path, std::string body) {
        std::lock_guard<std::mutex> lock(mutex_);
        files_[path] = std::move(body);
    }
    void SetMode(Mode mode) { mode_ = mode; }
    int Requests() const { return requests_; }

private:
    void Answer(const std::string& path, httplib::Response& response) {
        ++requests_;
        std::string body;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            const auto found = files_.find(path);
            if (found != files_.end()) body = found->second;
        }
        switch (mode_.load()) {
            case Mode::Serve: break;
            case Mode::Garbage:
                body = "<html><body><h1>Service Unavailable</h1></body></html>\n";
                break;
            case Mode::Empty: body.clear(); break;
            case Mode::Missing: body.clear(); break;
            case Mode::Oversized:
                // Still an observation, only too long for one.
                while (body.size() <= 64 * 1024) body += "Weather: light rain\n";
                break;
            case Mode::Slow:
                std::this_thread::sleep_for(std::chrono::milliseconds(150));
                break;
            case Mode::Trickle:
                response.set_chunked_content_provider("text/plain", [this, body](std::size_t offset, httplib::DataSink& sink) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));
                    if (stopping_ || offset >= body.size()) return false;
                    return sink.write(body.data() + offset, 1);
                });
                return;
        }
        if (body.empty() && mode_ != Mode::Empty) {
            response.status = 404;
            return;
        }
        response.set_content(body, "text/plain");
    }

    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
    std::mutex mutex_;
    std::map<std::string, std::string> files_;
    std::atomic<Mode> mode_{Mode::Serve};
    std::atomic<int> requests_{0};
    std::atomic<bool> stopping_{false};
};

// Accepts connections (the kernel does, into its backlog) and never says a
// word.
class SilentSource {
public:
    SilentSource() : socket_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(socket_.get(), reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(socket_.get(), 16);
        socklen_t length = sizeof address;
        getsockname(socket_.get(), reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    std::string Url(const std::string& scheme = "http") const {
        return scheme + "://127.0.0.1:" + std::to_string(port_) + "/";
    }

private:
    nimbrel::UniqueFd socket_;
    int port_ = 0;
};

// Answers every connection with the same bytes, as a server that breaks the
// rules would: an answer (or part of one), then the end, silence until the
// client goes, or one piece sent again and again until the client goes.
class RawSource {
public:
    enum class Then { Close, Hold, Repeat };

    explicit RawSource(std::string answer, Then then = Then::Close, std::string piece = {})
        : answer_(std::move(answer)), then_(then), piece_(std::move(piece)), listener_(ListeningSocket(port_)) {
        acceptor_ = std::thread([this] { Accept(); });
    }
    ~RawSource() {
        stopping_ = true;
        acceptor_.join();
        for (std::thread& connection : connections_) connection.join();
    }
    std::string Url(const std::string& scheme = "http") const {
        return scheme + "://127.0.0.1:" + std::to_string(port_) + "/";
    }

private:
    static nimbrel::UniqueFd ListeningSocket(int& port) {
        nimbrel::UniqueFd socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(socket.get(), reinterpret_cast<sockaddr*>(&address), sizeof address);
        listen(socket.get(), 16);
        socklen_t length = sizeof address;
        getsockname(socket.get(), reinterpret_cast<sockaddr*>(&address), &length);
        port = ntohs(address.sin_port);
        return socket;
    }
    // Waits a little for the socket to be readable; true when it is.
    static bool Readable(int socket) {
        pollfd wanted{socket, POLLIN, 0};
        return poll(&wanted, 1, 20) > 0;
    }
    void Accept() {
        while (!stopping_) {
            if (!Readable(listener_.get())) continue;
            const int connection = accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC);
            if (connection >= 0) connections_.emplace_back([this, connection] { Serve(nimbrel::UniqueFd(connection)); });
        }
    }
    void Serve(nimbrel::UniqueFd connection) {
        const timeval wait{0, 20000};  // so that a send to a client that stopped reading ends
        setsockopt(connection.get(), SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
        // The request read first: closing a socket with bytes unread resets
        // the connection, and the client may never see the answer.
        std::string request;
        char buffer[4096];
        while (!stopping_ && request.find("\r\n\r\n") == std::string::npos) {
            if (!Readable(connection.get())) continue;
            const ssize_t n = recv(connection.get(), buffer, sizeof buffer, 0);
            if (n <= 0) return;
            request.append(buffer, static_cast<std::size_t>(n));
        }
        SendAll(connection.get(), answer_);
        while (!stopping_ && then_ != Then::Close) {
            if (then_ == Then::Repeat && !SendAll(connection.get(), piece_)) break;
            if (then_ == Then::Hold && Readable(connection.get()) && recv(connection.get(), buffer, sizeof buffer, 0) <= 0) break;
        }
    }
    bool SendAll(int socket, const std::string& text) {
        for (std::size_t sent = 0; sent < text.size() && !stopping_;) {
            const ssize_t n = send(socket, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
            if (n < 0 && errno != EAGAIN) return false;
            if (n > 0) sent += static_cast<std::size_t>(n);
        }
        return true;
    }

    const std::string answer_;
    const Then then_;
    const std::string piece_;
    int port_ = 0;
    nimbrel::UniqueFd listener_;
    std::atomic<bool> stopping_{false};
    std::thread acceptor_;
    std::vector<std::thread> connections_;  // only the acceptor adds, until it has ended
};

// A loopback address where nothing listens: connecting is refused.
inline std::string RefusingUrl() {
    nimbrel::UniqueFd socket(::socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(socket.get(), reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(socket.get(), reinterpret_cast<sockaddr*>(&address), &length);
    return "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/";
}
