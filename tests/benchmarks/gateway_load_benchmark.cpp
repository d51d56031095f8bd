// nimbrel-services under the loads a security review used against the
// server it had before: how long a fresh request takes while thousands of
// idle and slow clients hold connections (and reconnect when closed), and
// while keep-alive clients hold theirs; and what 30 requests with a Range
// of 2,700 parts, whose answers are never read, cost the services in
// memory. Prints figures; asserts nothing.
//
//   gateway_load_benchmark PORT PID [TARGET]
//
// PORT is where the services listen on 127.0.0.1, PID their process (its
// resident memory is read from /proc). Every connection is to loopback,
// and every phase ends by itself.

#include <boost/asio/connect.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/read.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/write.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/services/loopback_client.h"

namespace {

using boost::asio::ip::tcp;
using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

constexpr char kCountryList[] = "/cgi-bin/cc_sel_cntry.pl?country=CN";

struct Counts {
    std::atomic<int> open{0};
    std::atomic<int> reconnects{0};
    std::atomic<int> answers{0};
};

// One client of a kind, reconnecting whenever the server closes it, until
// the io_context stops. kind: idle (connects and says nothing), slow (sends
// its head a byte a second), keep-alive (a request every 4 s on one
// connection, each answer read whole).
class LoadClient : public std::enable_shared_from_this<LoadClient> {
public:
    enum class Kind { Idle, Slow, KeepAlive };

    LoadClient(boost::asio::io_context& io, tcp::endpoint server, Kind kind, std::string target, Counts& counts)
        : io_(io), server_(server), kind_(kind), target_(std::move(target)), counts_(counts), socket_(io), timer_(io) {}

    void Start() {
        socket_ = tcp::socket(io_);
        socket_.async_connect(server_, [self = shared_from_this()](const boost::system::error_code& error) {
            if (error) return self->Again();
            ++self->counts_.open;
            self->connected_ = true;
            self->OnConnected();
        });
    }

private:
    void OnConnected() {
        received_.clear();
        if (kind_ == Kind::KeepAlive) return Ask();
        if (kind_ == Kind::Slow) {
            Write("GET " + target_ + " HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: ");
            Drip();
        }
        Read();
    }

    void Drip() {
        timer_.expires_after(std::chrono::seconds(1));
        timer_.async_wait([self = shared_from_this()](const boost::system::error_code& error) {
            if (error || !self->connected_) return;
            self->Write("a");
            self->Drip();
        });
    }

    void Ask() {
        Write("GET " + target_ + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
        Read();
    }

    void Write(std::string bytes) {
        auto buffer = std::make_shared<std::string>(std::move(bytes));
        boost::asio::async_write(socket_, boost::asio::buffer(*buffer),
                                 [buffer](const boost::system::error_code&, std::size_t) {});
    }

    void Read() {
        socket_.async_read_some(boost::asio::buffer(chunk_), [self = shared_from_this()](
                                                                 const boost::system::error_code& error, std::size_t size) {
            if (error) return self->Closed();
            if (self->kind_ == Kind::KeepAlive) {
                self->received_.append(self->chunk_, size);
                if (self->AnswerComplete()) {
                    ++self->counts_.answers;
                    self->received_.clear();
                    self->timer_.expires_after(std::chrono::seconds(4));
                    self->timer_.async_wait([self](const boost::system::error_code& waited) {
                        if (!waited && self->connected_) self->Ask();
                    });
                    return;
                }
            }
            self->Read();
        });
    }

    bool AnswerComplete() const {
        const auto headEnd = received_.find("\r\n\r\n");
        const auto length = received_.find("Content-Length: ");
        if (headEnd == std::string::npos || length == std::string::npos) return false;
        return received_.size() >= headEnd + 4 + std::strtoul(received_.c_str() + length + 16, nullptr, 10);
    }

    void Closed() {
        if (!connected_) return;
        connected_ = false;
        --counts_.open;
        ++counts_.reconnects;
        timer_.cancel();
        boost::system::error_code ignored;
        socket_.close(ignored);
        Again();
    }

    void Again() {
        timer_.expires_after(std::chrono::milliseconds(100));
        timer_.async_wait([self = shared_from_this()](const boost::system::error_code& error) {
            if (!error) self->Start();
        });
    }

    boost::asio::io_context& io_;
    const tcp::endpoint server_;
    const Kind kind_;
    const std::string target_;
    Counts& counts_;
    tcp::socket socket_;
    boost::asio::steady_timer timer_;
    bool connected_ = false;
    char chunk_[16384];
    std::string received_;
};

// Clients of the given kinds on a thread of their own, for as long as the
// object lives.
class Load {
public:
    Load(int port, const std::string& target, int idle, int slow, int keepAlive) {
        const tcp::endpoint server(boost::asio::ip::make_address("127.0.0.1"), static_cast<unsigned short>(port));
        for (const auto& [kind, count] : {std::pair{LoadClient::Kind::Idle, idle}, std::pair{LoadClient::Kind::Slow, slow},
                                          std::pair{LoadClient::Kind::KeepAlive, keepAlive}}) {
            for (int i = 0; i < count; ++i) std::make_shared<LoadClient>(io_, server, kind, target, counts)->Start();
        }
        thread_ = std::thread([this] { io_.run(); });
    }
    ~Load() {
        io_.stop();
        thread_.join();
    }

    Counts counts;

private:
    boost::asio::io_context io_;
    std::thread thread_;
};

std::string Figures(std::vector<double> times, int failed) {
    if (times.empty()) return "no answer (" + std::to_string(failed) + " failed)";
    std::sort(times.begin(), times.end());
    char text[200];
    std::snprintf(text, sizeof text, "median %.2f ms, p99 %.2f ms, max %.2f ms (%zu requests, %d failed)",
                  times[times.size() / 2], times[std::min(times.size() - 1, times.size() * 99 / 100)], times.back(),
                  times.size(), failed);
    return text;
}

// Fresh requests (a new connection each, HTTP/1.0 as the plug-in asks), one
// every 100 ms for the given time.
std::string FreshRequests(int port, const std::string& target, std::chrono::seconds during) {
    std::vector<double> times;
    int failed = 0;
    const auto end = Clock::now() + during;
    while (Clock::now() < end) {
        const auto start = Clock::now();
        const std::string answer = loopback::Exchange(port, "GET " + target + " HTTP/1.0\r\n\r\n");
        if (answer.rfind("HTTP/1.1 200 ", 0) == 0) {
            times.push_back(Milliseconds(Clock::now() - start).count());
        } else {
            ++failed;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return Figures(times, failed);
}

// The resident memory of a process, and its peak, in MB, from /proc.
std::string Memory(int pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line, now = "?", peak = "?";
    while (std::getline(status, line)) {
        const auto kilobytes = [&] { return std::to_string(std::strtol(line.c_str() + 6, nullptr, 10) / 1024) + " MB"; };
        if (line.rfind("VmRSS:", 0) == 0) now = kilobytes();
        if (line.rfind("VmHWM:", 0) == 0) peak = kilobytes();
    }
    return now + " (peak so far " + peak + ")";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: gateway_load_benchmark PORT PID [TARGET]\n");
        return 2;
    }
    const int port = std::atoi(argv[1]);
    const int pid = std::atoi(argv[2]);
    const std::string target = argc > 3 ? argv[3] : "/weather/current/KLXV.html";
    using std::chrono::seconds;

    std::printf("a fresh request alone: %s\n", FreshRequests(port, target, seconds(2)).c_str());
    {
        Load load(port, target, 2000, 1000, 0);
        std::this_thread::sleep_for(seconds(2));
        const int open = load.counts.open;
        const std::string figures = FreshRequests(port, target, seconds(15));
        std::printf("beside 2000 idle and 1000 slow clients that reconnect (%d open after 2 s, %d reconnects in all): %s\n",
                    open, load.counts.reconnects.load(), figures.c_str());
    }
    {
        Load load(port, target, 0, 0, 256);
        std::this_thread::sleep_for(seconds(2));
        const int open = load.counts.open;
        const std::string figures = FreshRequests(port, target, seconds(10));
        std::printf("beside 256 keep-alive clients asking every 4 s (%d open, %d answers): %s\n", open,
                    load.counts.answers.load(), figures.c_str());
    }

    std::string range = "Range: bytes=0-";
    for (int i = 1; i < 2700; ++i) range += ",0-";
    std::printf("services' resident memory before 30 Range requests: %s\n", Memory(pid).c_str());
    std::vector<nimbrel::UniqueFd> unread;
    for (int i = 0; i < 30; ++i) {
        unread.push_back(loopback::SendRequest(port, std::string("GET ") + kCountryList + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" +
                                                         range + "\r\n\r\n"));
    }
    int answered = 0;
    for (const auto& socket : unread) answered += socket && loopback::Readable(socket.get(), 5000);
    std::this_thread::sleep_for(seconds(1));
    std::printf("after 30 Range requests of 2,700 parts (%zu-byte heads), %d answered, none read: %s\n", range.size(),
                answered, Memory(pid).c_str());
    return 0;
}
