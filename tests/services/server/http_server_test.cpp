// The server's bounds, each against the way a client could otherwise make
// the services spend memory, threads or answers on it.

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <memory>
#include <system_error>

#include "tests/services/gated_translator.h"
#include "tests/services/loopback_client.h"
#include "services/service_routes.h"
#include "services/service_server.h"
#include "tests/services/service_test_data.h"

using loopback::Body;
using loopback::Exchange;
using loopback::StatusLines;
using nimbrel::services::ServerLimits;
using nimbrel::services::ServiceServer;
using nimbrel::services::Translation;

namespace {

const std::string kCountryList = "/cgi-bin/cc_sel_cntry.pl?country=CN";
const std::string kStation = "/weather/current/LFMN.html";

std::string Request(const std::string& target, const std::string& version = "HTTP/1.1",
                    const std::string& headers = "") {
    return "GET " + target + " " + version + "\r\nHost: weather.example\r\n" + headers + "\r\n";
}

// Starts the first `allowed` threads, then fails, as std::thread does
// (throwing) or with a thread that is not joinable; counts those running.
struct TestThreads {
    explicit TestThreads(int allowed, bool throws = false) : allowed(allowed), throws(throws) {}

    nimbrel::services::ThreadFactory Factory() {
        return [this](std::function<void()> body) {
            if (allowed-- <= 0) {
                if (throws) throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
                return std::thread();
            }
            ++running;
            return std::thread([this, body = std::move(body)] {
                body();
                --running;
            });
        };
    }
    bool AllEnded() {
        for (int i = 0; i < 1000 && running > 0; ++i) usleep(10000);
        return running == 0;
    }

    std::atomic<int> allowed;
    const bool throws;
    std::atomic<int> running{0};
};

// These bounds are the server's, met long before a client's fair use.
nimbrel::services::FairUse Unlimited() {
    nimbrel::services::FairUse fairUse;
    fairUse.exemptLoopback = true;
    return fairUse;
}

class HttpServerTest : public testing::Test {
protected:
    ServiceServer& Serve(const ServerLimits& limits = ServerLimits(),
                         nimbrel::services::ThreadFactory threads = nimbrel::services::SystemThreads()) {
        server_ = std::make_unique<ServiceServer>(routes_, nimbrel::services::Log(), limits, std::move(threads), Unlimited());
        EXPECT_TRUE(server_->Start(0)) << server_->error();
        return *server_;
    }
    int Port() const { return server_->port(); }

    GatedTranslator translator_;
    nimbrel::services::StationLists lists_{{TestServiceData().states, TestServiceData().countries}};
    nimbrel::services::ServiceRoutes routes_{TestServiceData().observations, lists_, translator_};
    std::unique_ptr<ServiceServer> server_;
};

std::string Hex(std::size_t number) {
    char text[32];
    std::snprintf(text, sizeof text, "%zx", number);
    return text;
}

std::size_t ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::size_t size = 0, resident = 0;
    statm >> size >> resident;
    return resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

}  // namespace

// A Range header of many parts once made one copy of the page per part.
TEST_F(HttpServerTest, RangeIsIgnoredAndThePageAnsweredWhole) {
    Serve();
    const std::string whole = Body(Exchange(Port(), Request(kCountryList, "HTTP/1.0")));
    ASSERT_GT(whole.size(), 1000u);
    std::string manyParts = "bytes=0-";
    for (int i = 1; i < 2700; ++i) manyParts += ",0-";
    for (const std::string& range : {std::string("bytes=0-10"), std::string("bytes=-5"), manyParts}) {
        const std::string answer = Exchange(Port(), Request(kCountryList, "HTTP/1.0", "Range: " + range + "\r\n"));
        EXPECT_EQ(answer.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << range.substr(0, 20);
        EXPECT_EQ(Body(answer), whole) << range.substr(0, 20);
    }

    // Thirty such requests whose answers are never read.
    const std::size_t before = ResidentBytes();
    std::vector<nimbrel::UniqueFd> unread;
    for (int i = 0; i < 30; ++i) {
        unread.push_back(loopback::SendRequest(Port(), Request(kCountryList, "HTTP/1.1", "Range: " + manyParts + "\r\n")));
        ASSERT_TRUE(unread.back());
    }
    for (const auto& socket : unread) ASSERT_TRUE(loopback::Readable(socket.get(), loopback::kPatienceMs));
    EXPECT_LT(ResidentBytes() - std::min(before, ResidentBytes()), 32u << 20);
}

// Whatever follows a request that cannot be read is not read as requests:
// the connection closes after the one answer.
TEST_F(HttpServerTest, AnUnreadableRequestIsAnsweredOnceAndTheConnectionCloses) {
    Serve();
    const std::string next = Request(kStation);
    const struct {
        std::string request;
        std::string status;
    } cases[] = {
        {"NOT A REQUEST\r\n\r\n" + std::string(64 * 1024, '\n'), "HTTP/1.1 400 Bad Request"},
        {std::string(64 * 1024 / 2, '\r') + std::string(64 * 1024 / 2, '\n'), "HTTP/1.1 400 Bad Request"},
        {"\r\nx\r\n" + std::string(64 * 1024, '\n'), "HTTP/1.1 400 Bad Request"},
        {"GET / HTTP/1.1\r\nno colon here\r\n\r\n", "HTTP/1.1 400 Bad Request"},
        {"GET / HTTP/1.1\r\nX-Long: " + std::string(70 * 1024, 'a') + "\r\n\r\n", "HTTP/1.1 431 Request Header Fields Too Large"},
        {"GET / HTTP/1.1\r\nContent-Length: 100000\r\n\r\n" + std::string(100000, 'x'), "HTTP/1.1 413 Payload Too Large"},
    };
    for (const auto& each : cases) {
        const auto statuses = StatusLines(Exchange(Port(), each.request + next + next));
        EXPECT_EQ(statuses, std::vector<std::string>{each.status}) << each.request.substr(0, 40);
    }
}

// A GET's body (here itself a request) is read past, not answered.
TEST_F(HttpServerTest, AGetsBodyIsNotTakenForTheNextRequest) {
    Serve();
    const std::string hidden = Request("/weather/current/ZZZZ.html");
    const std::string last = Request(kStation, "HTTP/1.1", "Connection: close\r\n");
    for (const std::string& framing :
         {"Content-Length: " + std::to_string(hidden.size()) + "\r\n\r\n" + hidden,
          "Transfer-Encoding: chunked\r\n\r\n" + Hex(hidden.size()) + "\r\n" + hidden + "\r\n0\r\n\r\n"}) {
        const std::string first = "GET " + kStation + " HTTP/1.1\r\nHost: weather.example\r\n" + framing;
        const auto statuses = StatusLines(Exchange(Port(), first + last));
        EXPECT_EQ(statuses, (std::vector<std::string>{"HTTP/1.1 200 OK", "HTTP/1.1 200 OK"})) << framing;
    }
}

// How many of four requests sent at once a connection answers before it
// closes: HTTP/1.0 clients are told it closes after one, whatever they ask,
// and no connection outlives its bound.
TEST_F(HttpServerTest, AConnectionAnswersUpToItsBoundThenCloses) {
    ServerLimits limits;
    limits.requestsPerConnection = 3;
    Serve(limits);
    const struct {
        std::string request;
        std::size_t answers;
    } cases[] = {
        {Request(kStation, "HTTP/1.0"), 1},
        {Request(kStation, "HTTP/1.0", "Connection: Keep-Alive\r\n"), 1},
        {Request(kStation, "HTTP/1.1", "Connection: close\r\n"), 1},
        {Request(kStation), 3},
    };
    for (const auto& each : cases) {
        const nimbrel::UniqueFd socket = loopback::SendRequest(Port(), each.request + each.request + each.request + each.request);
        const std::string answers = loopback::ReadAll(socket.get());
        EXPECT_EQ(StatusLines(answers).size(), each.answers) << each.request;
        // The last answer says so.
        const std::size_t lastAnswer = answers.rfind("HTTP/1.1 ");
        EXPECT_NE(answers.find("\r\nConnection: close\r\n", lastAnswer), std::string::npos) << each.request;
    }
}

// Open connections beyond the bound get a 503 and are closed; one that goes
// makes room for another.
TEST_F(HttpServerTest, ConnectionsBeyondTheBoundGetA503) {
    ServerLimits limits;
    limits.connections = 4;
    Serve(limits);
    std::vector<nimbrel::UniqueFd> open;
    for (int i = 0; i < 4; ++i) open.push_back(loopback::Connect(Port()));
    const nimbrel::UniqueFd beyond = loopback::Connect(Port());
    EXPECT_EQ(StatusLines(loopback::ReadAll(beyond.get())), std::vector<std::string>{"HTTP/1.1 503 Service Unavailable"});
    for (const auto& socket : open) EXPECT_FALSE(loopback::Readable(socket.get(), 0)) << "an admitted client was cut off";

    open.pop_back();
    std::vector<std::string> statuses;
    for (int i = 0; i < 100 && statuses != std::vector<std::string>{"HTTP/1.1 200 OK"}; ++i) {
        statuses = StatusLines(Exchange(Port(), Request(kStation, "HTTP/1.0")));
        if (statuses != std::vector<std::string>{"HTTP/1.1 200 OK"}) usleep(20000);
    }
    EXPECT_EQ(statuses, std::vector<std::string>{"HTTP/1.1 200 OK"});
}

// Idle clients, clients that send their head slowly and keep-alive clients
// between requests hold no thread: a fresh request is answered while they
// all still wait, and each of them is closed when its time is up.
TEST_F(HttpServerTest, IdleAndSlowClientsDelayNoOne) {
    ServerLimits limits;
    limits.idle = std::chrono::seconds(3);
    limits.request = std::chrono::seconds(4);
    Serve(limits);
    std::vector<nimbrel::UniqueFd> waiting;
    for (int i = 0; i < 300; ++i) waiting.push_back(loopback::Connect(Port()));
    for (int i = 0; i < 20; ++i) waiting.push_back(loopback::SendRequest(Port(), "GET " + kStation + " HTTP/1.1\r\nHo"));
    std::vector<nimbrel::UniqueFd> kept;
    for (int i = 0; i < 20; ++i) {
        kept.push_back(loopback::SendRequest(Port(), Request(kStation)));
        char buffer[65536];
        ASSERT_TRUE(loopback::Readable(kept.back().get(), loopback::kPatienceMs));
        ASSERT_GT(recv(kept.back().get(), buffer, sizeof buffer, 0), 0);
    }
    for (const auto& socket : waiting) ASSERT_TRUE(socket);

    const std::string fresh = Exchange(Port(), Request(kStation, "HTTP/1.0"));
    EXPECT_EQ(fresh.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << fresh;
    for (const auto& socket : waiting) {
        ASSERT_FALSE(loopback::Readable(socket.get(), 0)) << "a waiting client was cut off before the fresh request was answered";
    }
    for (const auto* group : {&waiting, &kept}) {
        for (const auto& socket : *group) EXPECT_TRUE(loopback::ClosedByServer(socket.get()));
    }
}

// A route that waits (a translation here) holds a worker, never the thread
// that serves the connections, even when there is only one.
TEST_F(HttpServerTest, AWaitingRouteDelaysNoOtherRequest) {
    ServerLimits limits;
    limits.ioThreads = 1;
    Serve(limits);
    const nimbrel::UniqueFd waiting = loopback::SendRequest(Port(), Request("/tr?trtext=rain&lp=en_es", "HTTP/1.0"));
    ASSERT_TRUE(translator_.WaitForCaller());
    for (const std::string& target : {kStation, kCountryList, std::string("/international.html")}) {
        EXPECT_EQ(StatusLines(Exchange(Port(), Request(target, "HTTP/1.0"))), std::vector<std::string>{"HTTP/1.1 200 OK"})
            << target;
    }
    EXPECT_FALSE(loopback::Readable(waiting.get(), 0));
    translator_.Open();
    EXPECT_EQ(StatusLines(loopback::ReadAll(waiting.get())), std::vector<std::string>{"HTTP/1.1 200 OK"});
}

// Stop returns while a route still runs, and that route, ending after the
// server has gone, touches nothing of it that was freed.
TEST_F(HttpServerTest, StopReturnsWithARequestInFlight) {
    ServerLimits limits;
    limits.drain = std::chrono::milliseconds(0);
    TestThreads threads(100);
    Serve(limits, threads.Factory());
    const nimbrel::UniqueFd client = loopback::SendRequest(Port(), Request("/tr?trtext=rain&lp=en_es"));
    ASSERT_TRUE(translator_.WaitForCaller());

    EXPECT_FALSE(server_->Stop());
    server_.reset();
    translator_.Open();
    EXPECT_TRUE(threads.AllEnded());
    EXPECT_EQ(loopback::ReadAll(client.get()), "");
}

// A thread that cannot be started degrades the server, never ends the
// process: without an io thread it does not start, without a worker each
// request that must wait (a translation) gets a 503, with one it is answered.
TEST_F(HttpServerTest, AThreadThatCannotStartIsNotFatal) {
    translator_.Open();
    ServerLimits limits;
    limits.ioThreads = 2;
    const struct {
        int allowed;
        bool throws;
        bool starts;
        std::string status;
    } cases[] = {
        {0, false, false, ""},
        {0, true, false, ""},
        {1, true, true, "HTTP/1.1 503 Service Unavailable"},
        {2, false, true, "HTTP/1.1 503 Service Unavailable"},
        {2, true, true, "HTTP/1.1 503 Service Unavailable"},
        {3, true, true, "HTTP/1.1 200 OK"},
    };
    for (const auto& each : cases) {
        TestThreads threads(each.allowed, each.throws);
        ServiceServer server(routes_, nimbrel::services::Log(), limits, threads.Factory(), Unlimited());
        ASSERT_EQ(server.Start(0), each.starts) << each.allowed;
        if (!each.starts) {
            EXPECT_EQ(server.error().rfind("cannot start a thread", 0), 0u) << server.error();
            continue;
        }
        const auto statuses = StatusLines(Exchange(server.port(), Request("/tr?trtext=rain&lp=en_es", "HTTP/1.0")));
        EXPECT_EQ(statuses, std::vector<std::string>{each.status}) << each.allowed << (each.throws ? " throwing" : "");
    }
}
