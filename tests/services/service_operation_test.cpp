// The gateway as an operator runs it for many clients: each client held to
// its allowance, /healthz and /metrics, and stops that lose no request.

#include <signal.h>

#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <set>

#include "tests/services/fake_source.h"
#include "tests/services/gated_translator.h"
#include "tests/services/loopback_client.h"
#include "tests/services/observation_fixtures.h"
#include "services/observations/live_observations.h"
#include "services/service_health.h"
#include "services/service_routes.h"
#include "services/service_server.h"
#include "tests/services/service_test_data.h"
#include "child_process.h"
#include "tests/support/temp_folder.h"

using namespace std::chrono_literals;
using loopback::Body;
using loopback::Exchange;
using loopback::StatusLines;
using nimbrel::services::FairUse;
using nimbrel::services::ServiceServer;

namespace {

std::string Get(int port, const std::string& target) {
    return Exchange(port, "GET " + target + " HTTP/1.0\r\nHost: weather.example\r\n\r\n");
}

std::string Status(const std::string& answer) {
    const auto lines = StatusLines(answer);
    return lines.empty() ? "" : lines.front();
}

class ServiceOperationTest : public testing::Test {
protected:
    ServiceServer& Serve(const FairUse& fairUse, const nimbrel::services::ObservationSource& observations = TestServiceData().observations) {
        routes_ = std::make_unique<nimbrel::services::ServiceRoutes>(observations, lists_, translator_);
        server_ = std::make_unique<ServiceServer>(*routes_, nimbrel::services::Log(), nimbrel::services::ServerLimits(),
                                                  nimbrel::services::SystemThreads(), fairUse);
        return *server_;
    }
    int Start() {
        EXPECT_TRUE(server_->Start(0)) << server_->error();
        return server_->port();
    }

    GatedTranslator translator_{true};
    nimbrel::services::StationLists lists_{{TestServiceData().states, TestServiceData().countries}};
    std::unique_ptr<nimbrel::services::ServiceRoutes> routes_;
    std::unique_ptr<ServiceServer> server_;
};

// Tight allowances, so that a few requests meet them: a refill every 4 s.
FairUse Tight(bool exemptLoopback = false) { return {{0.25, 3}, {0.25, 2}, 10000, exemptLoopback}; }

}  // namespace

TEST_F(ServiceOperationTest, AClientPastItsAllowanceIsToldToWait) {
    Serve(Tight());
    const int port = Start();
    const struct {
        std::string target;
        std::string status;
    } steps[] = {
        {"/weather/current/LFMN.html", "HTTP/1.1 200 OK"},
        {"/nothing/here", "HTTP/1.1 404 Not Found"},  // an unknown path takes from the pages' bucket too
        {"http://weather.example/international.html", "HTTP/1.1 200 OK"},
        {"/weather/current/LFMN.html", "HTTP/1.1 429 Too Many Requests"},
        {"/tr?trtext=rain&lp=en_es", "HTTP/1.1 200 OK"},  // translations have their own bucket
        {"/%74r?trtext=rain&lp=en_es", "HTTP/1.1 200 OK"},  // encoded, still a translation
        {"/tr?trtext=rain&lp=en_es", "HTTP/1.1 429 Too Many Requests"},
        {"/healthz", "HTTP/1.1 200 OK"},  // a load balancer's checks are never held back
        {"/metrics", "HTTP/1.1 429 Too Many Requests"},
    };
    for (const auto& step : steps) {
        const std::string answer = Get(port, step.target);
        EXPECT_EQ(Status(answer), step.status) << step.target;
        if (step.status.find("429") != std::string::npos) {
            EXPECT_NE(answer.find("\r\nRetry-After: 4\r\n"), std::string::npos) << answer;
        }
    }

    // Without the exemption a loopback client is a client as any other;
    // with it, never held back.
    Serve(Tight(true));
    const int exempt = Start();
    for (int i = 0; i < 20; ++i) {
        ASSERT_EQ(Status(Get(exempt, "/weather/current/LFMN.html")), "HTTP/1.1 200 OK") << i;
        ASSERT_EQ(Status(Get(exempt, "/tr?trtext=rain&lp=en_es")), "HTTP/1.1 200 OK") << i;
    }
}

// Each unknown code would cost a request to the upstream source; the
// bucket is taken before the route runs, so a flood of them costs no more
// than the allowance.
TEST_F(ServiceOperationTest, DistinctUnknownCodesCostNoMoreUpstreamRequestsThanTheAllowance) {
    FakeSource source;
    const nimbrel::services::LiveObservations live(
        nimbrel::services::LiveSettings{*nimbrel::services::ParseUpstreamUrl(source.Url("/decoded/")), 1h, {2s, 64 * 1024}},
        nullptr, TestServiceData().observations, [](const std::string&) {});
    FairUse fairUse = Tight();
    fairUse.pages = {0.001, 5};
    Serve(fairUse, live);
    const int port = Start();
    int refused = 0;
    for (int i = 0; i < 20; ++i) {
        const std::string code = "Q" + std::string(1, static_cast<char>('A' + i)) + "ZZ";
        const std::string status = Status(Get(port, "/weather/current/" + code + ".html"));
        refused += status == "HTTP/1.1 429 Too Many Requests";
        EXPECT_TRUE(status == "HTTP/1.1 404 Not Found" || status == "HTTP/1.1 429 Too Many Requests") << status;
    }
    EXPECT_EQ(source.Requests(), 5);
    EXPECT_EQ(refused, 15);
}

TEST_F(ServiceOperationTest, MetricsCountRequestsUnderAFewFixedRoutes) {
    FairUse fairUse = Tight();
    fairUse.pages = {0.001, 100};
    Serve(fairUse);
    const int port = Start();
    Get(port, "/weather/current/LFMN.html");
    Get(port, "/weather/current/LFMN.html");
    Get(port, "/weather/current/ZZZZ.html");
    for (int i = 0; i < 50; ++i) Get(port, "/hostile/" + std::to_string(i));  // distinct paths, one route
    for (int i = 0; i < 3; ++i) Get(port, "/tr?trtext=rain&lp=en_es");  // the third past the allowance

    const std::string answer = Get(port, "/metrics");
    EXPECT_NE(answer.find("\r\nContent-Type: text/plain; version=0.0.4; charset=utf-8\r\n"), std::string::npos);
    const std::string text = Body(answer);
    for (const char* line : {
             "nimbrel_http_requests_total{route=\"station\",status=\"200\"} 2\n",
             "nimbrel_http_requests_total{route=\"station\",status=\"404\"} 1\n",
             "nimbrel_http_requests_total{route=\"translation\",status=\"200\"} 2\n",
             "nimbrel_http_requests_total{route=\"translation\",status=\"429\"} 1\n",
             "nimbrel_http_requests_total{route=\"other\",status=\"404\"} 50\n",
             "nimbrel_http_request_duration_seconds_count{route=\"station\"} 3\n",
             "nimbrel_http_request_duration_seconds_bucket{route=\"other\",le=\"+Inf\"} 50\n",
             "nimbrel_rate_limited_requests_total{allowance=\"pages\"} 0\n",
             "nimbrel_rate_limited_requests_total{allowance=\"translations\"} 1\n",
         }) {
        EXPECT_NE(text.find(line), std::string::npos) << line << text;
    }
    EXPECT_EQ(text.find("route=\"state_list\""), std::string::npos) << "series never met are left out";
    EXPECT_EQ(text.find("hostile"), std::string::npos);
    std::set<std::string> routes;
    const std::regex route("route=\"([a-z_]+)\"");
    for (auto at = std::sregex_iterator(text.begin(), text.end(), route); at != std::sregex_iterator(); ++at) {
        routes.insert((*at)[1]);
    }
    EXPECT_EQ(routes, (std::set<std::string>{"station", "translation", "other"}));
    // The connection that asks is open while its answer is made.
    const std::string open = "\nnimbrel_http_open_connections ";
    ASSERT_NE(text.find(open), std::string::npos) << text;
    EXPECT_GE(std::stoi(text.substr(text.find(open) + open.size())), 1);
}

TEST_F(ServiceOperationTest, HealthSaysServingWithEachStatusLine) {
    ServiceServer& server = Serve(Tight());
    int asked = 0;
    server.AddStatusLine([&asked] { return "upstream: asked " + std::to_string(++asked); });
    server.AddStatusLine([] { return std::string("archive: old"); });
    const int port = Start();
    for (const char* expected : {"serving\nupstream: asked 1\narchive: old\n", "serving\nupstream: asked 2\narchive: old\n"}) {
        const std::string answer = Get(port, "/healthz");
        EXPECT_EQ(Status(answer), "HTTP/1.1 200 OK");
        EXPECT_NE(answer.find("\r\nContent-Type: text/plain; charset=utf-8\r\n"), std::string::npos);
        EXPECT_EQ(Body(answer), expected);
    }
}

TEST(ServiceHealth, StatusLinesSayTheUpstreamsStateAndTheArchivesAge) {
    using State = nimbrel::services::LiveObservations::SourceState;
    const auto now = std::chrono::steady_clock::now();
    // 2024-03-01 12:00:00 UTC
    const std::chrono::system_clock::time_point wallNow{std::chrono::seconds(1709294400)};
    const struct {
        State state;
        std::string line;
    } upstream[] = {
        {{State::Kind::Ok, {}}, "upstream: ok"},
        {{State::Kind::NeverReached, {}}, "upstream: never reached"},
        {{State::Kind::Resting, now + 61s}, "upstream: resting until 12:01:01 UTC"},
        {{State::Kind::Resting, now + 12h + 5s}, "upstream: resting until 00:00:05 UTC"},  // the next day
    };
    for (const auto& each : upstream) EXPECT_EQ(nimbrel::services::UpstreamStatusLine(each.state, now, wallNow), each.line);

    EXPECT_EQ(nimbrel::services::ArchiveStatusLine(4981, "2017-07-29", wallNow),
              "archive: 4981 stations of 2017-07-29, 2407 days old");
    EXPECT_EQ(nimbrel::services::ArchiveStatusLine(1, "2024-02-29", wallNow), "archive: 1 stations of 2024-02-29, 1 days old");
    EXPECT_EQ(nimbrel::services::ArchiveStatusLine(1, "1970-01-01", wallNow), "archive: 1 stations of 1970-01-01, 19783 days old");
    EXPECT_EQ(nimbrel::services::ArchiveStatusLine(1, "someday", wallNow), "archive: 1 stations of someday");
}

// SIGTERM while a station page waits on a source that trickles: no new
// connection is taken, and the page comes from the archive once the
// fetch's 3.5 s are up.
TEST(ServicesProgram, SigtermLetsTheRequestInFlightFinishThenExitsZero) {
    FakeSource source;
    source.Put("/decoded/KLXV.TXT", FixtureObservation("KLXV"));
    source.SetMode(FakeSource::Mode::Trickle);
    TempFolder cache("services_program_cache");
    auto program = nimbrel::process::ChildProcess::Start({NIMBREL_SERVICES_PROGRAM, "--port", "0", "--cache-dir", cache.path(),
                                                  "--observations-url", source.Url("/decoded/")});
    ASSERT_TRUE(program);
    std::string portLine;
    program->Exchange("", false, std::chrono::steady_clock::now() + 20s, 64,
                      [](std::string_view out) { return out.find('\n') != std::string_view::npos; }, portLine);
    const int port = std::atoi(portLine.c_str());
    ASSERT_GT(port, 0) << portLine;

    const nimbrel::UniqueFd inFlight =
        loopback::SendRequest(port, "GET /weather/current/KLXV.html HTTP/1.1\r\nHost: weather.example\r\n\r\n");
    for (int i = 0; i < 1000 && source.Requests() == 0; ++i) std::this_thread::sleep_for(5ms);
    ASSERT_EQ(source.Requests(), 1);
    ASSERT_EQ(kill(program->processGroup(), SIGTERM), 0);
    bool refused = false;
    for (int i = 0; i < 1000 && !(refused = !loopback::Connect(port)); ++i) std::this_thread::sleep_for(5ms);
    EXPECT_TRUE(refused);

    const std::string answer = loopback::ReadAll(inFlight.get());
    EXPECT_EQ(StatusLines(answer), std::vector<std::string>{"HTTP/1.1 200 OK"});
    EXPECT_NE(Body(answer).find("(KLXV)"), std::string::npos) << answer;
    EXPECT_NE(answer.find("\r\nConnection: close\r\n"), std::string::npos) << answer;
    EXPECT_EQ(program->WaitUntil(std::chrono::steady_clock::now() + 20s), 0);
}
