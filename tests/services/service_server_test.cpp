#include "service_server.h"

#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <gtest/gtest.h>

#include <chrono>

#include "service_routes.h"
#include "service_test_data.h"
#include "unique_fd.h"

using services::ServiceServer;
using services::Translation;

namespace {

const std::string kHeaderMarker = "Current Weather Conditions:<BR>";
const std::string kTranslationStart = "<td bgcolor=white class=s><div style=padding:10px;>";

// Knows one pair and shows what reached it.
class BracketTranslator : public services::Translator {
public:
    Translation Translate(const std::string& text, const std::string& pair) const override {
        if (pair != "en_es") return {Translation::Outcome::UnsupportedPair, {}};
        return {Translation::Outcome::Translated, "[" + text + "]"};
    }
};

// A connection with one request sent as written; none when that failed.
services::UniqueFd SendRequest(int port, const std::string& request) {
    services::UniqueFd socket(::socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(socket.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        send(socket.get(), request.data(), request.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(request.size())) {
        return {};
    }
    return socket;
}

// Sends one request and returns all that comes back.
std::string Exchange(int port, const std::string& request) {
    const services::UniqueFd socket = SendRequest(port, request);
    if (!socket) return {};
    std::string answer;
    char buffer[4096];
    ssize_t n;
    while ((n = recv(socket.get(), buffer, sizeof buffer, 0)) > 0) answer.append(buffer, n);
    return answer;
}

std::string Body(const std::string& answer) {
    const auto end = answer.find("\r\n\r\n");
    return end == std::string::npos ? std::string() : answer.substr(end + 4);
}

class ServiceServerTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server_.Start(0)) << server_.error(); }

    std::string Get(const std::string& target) {
        return Exchange(server_.port(), "GET " + target + " HTTP/1.0\r\nHost: weather.example\r\n\r\n");
    }

    BracketTranslator translator_;
    services::StationLists lists_{{TestServiceData().states, TestServiceData().countries}};
    services::ServiceRoutes routes_{TestServiceData().observations, lists_, translator_};
    ServiceServer server_{routes_};
};

}  // namespace

// What WinINet sends to its proxy, and what a browser sends to the site.
TEST_F(ServiceServerTest, AnswersAbsoluteAndOriginFormAlike) {
    const std::string proxied = Get("http://weather.example:80/weather/current/LFMN.html");
    ASSERT_EQ(proxied.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << proxied;
    EXPECT_NE(proxied.find(kHeaderMarker + "Nice, France (LFMN)</B>"), std::string::npos);

    httplib::Client client("127.0.0.1", server_.port());
    const auto direct = client.Get("/weather/current/LFMN.html");
    ASSERT_TRUE(direct);
    EXPECT_EQ(direct->status, 200);
    EXPECT_EQ(direct->body, Body(proxied));
    EXPECT_EQ(direct->get_header_value("Content-Type"), "text/html; charset=windows-1252");

    // Any host, any case of the code.
    EXPECT_EQ(Body(Get("http://other.example/weather/current/lfmn.html")), direct->body);

    // HTTP/1.0 as WinINet asks: the connection closes after the answer, and
    // the answer says so, or the client would pool a dead connection.
    EXPECT_NE(proxied.find("\r\nConnection: close\r\n"), std::string::npos) << proxied;

    const std::string index = Body(Get("http://weather.example/international.html"));
    EXPECT_NE(index.find("\"> France\n"), std::string::npos);
    const std::string states = Body(Get("http://weather.example/cgi-bin/cc_sel_state.pl?state=TX"));
    EXPECT_NE(states.find("<option selected>Select a location\n<OPTION VALUE=\""), std::string::npos);
}

TEST_F(ServiceServerTest, UnknownThingsAreNotFound) {
    const std::string station = Get("http://weather.example/weather/current/ZZZZ.html");
    EXPECT_EQ(station.rfind("HTTP/1.1 404", 0), 0u);
    EXPECT_EQ(station.find(kHeaderMarker), std::string::npos);
    const std::string country = Get("http://weather.example/cgi-bin/cc_sel_cntry.pl?country=@@");
    EXPECT_EQ(country.rfind("HTTP/1.1 404", 0), 0u);
    EXPECT_EQ(country.find("Select a location"), std::string::npos);
    EXPECT_EQ(Get("/weather/current/.html").rfind("HTTP/1.1 404", 0), 0u);
    EXPECT_EQ(Get("http://weather.example").rfind("HTTP/1.1 200", 0), 0u);  // the state index
}

TEST_F(ServiceServerTest, TranslationGetsTheDecodedTextAndAnswersBetweenMarkers) {
    const std::string answer = Body(Get("http://translate.example/tr?trtext=15%B0%20C%0D%0A&lp=en_es"));
    EXPECT_NE(answer.find(kTranslationStart + "[15\xB0 C\r\n]</div></td>"), std::string::npos) << answer;

    const std::string unsupported = Get("http://translate.example/tr?trtext=rain&lp=en_xx");
    EXPECT_EQ(unsupported.rfind("HTTP/1.1 200", 0), 0u);
    EXPECT_EQ(unsupported.find(kTranslationStart), std::string::npos);
}

TEST_F(ServiceServerTest, APortAlreadyTakenIsRefused) {
    ServiceServer second(routes_);
    EXPECT_FALSE(second.Start(server_.port()));
    EXPECT_EQ(second.error(), "port " + std::to_string(server_.port()) + " on 127.0.0.1 is already in use");
}

// A client may keep its connection open after an answer; stopping must not
// wait for it.
TEST_F(ServiceServerTest, StopsPromptlyWithAConnectionLeftOpen) {
    const services::UniqueFd socket =
        SendRequest(server_.port(), "GET /weather/current/LFMN.html HTTP/1.1\r\nHost: weather.example\r\n\r\n");
    ASSERT_TRUE(socket);
    char buffer[64];
    ASSERT_GT(recv(socket.get(), buffer, sizeof buffer, 0), 0);

    const auto start = std::chrono::steady_clock::now();
    server_.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

// Clients that send part of a request head, or nothing, hold a worker only
// until the head's deadline, and there is a worker for each of them: a
// fresh request is answered while they all still wait.
TEST(ServiceServerLimits, SlowAndIdleClientsDelayNoOne) {
    BracketTranslator translator;
    services::StationLists lists{{TestServiceData().states, TestServiceData().countries}};
    const services::ServiceRoutes routes{TestServiceData().observations, lists, translator};
    services::ConnectionLimits limits;
    limits.requestHead = std::chrono::seconds(2);
    ServiceServer server(routes, {}, limits);
    ASSERT_TRUE(server.Start(0)) << server.error();

    std::vector<services::UniqueFd> waiting;
    for (int i = 0; i < 64; ++i) {
        waiting.push_back(SendRequest(server.port(), ""));
        waiting.push_back(SendRequest(server.port(), "GET /weather/current/LFMN.html HTTP/1.1\r\nHo"));
        ASSERT_TRUE(waiting.back()) << i;
    }
    const std::string fresh = Exchange(server.port(), "GET /weather/current/LFMN.html HTTP/1.0\r\n\r\n");
    EXPECT_EQ(fresh.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << fresh;
    for (const auto& socket : waiting) {
        pollfd entry{socket.get(), POLLIN, 0};
        ASSERT_EQ(poll(&entry, 1, 0), 0) << "a slow client was cut off before the fresh request was answered";
    }
    // And none of them is kept past the deadline.
    for (const auto& socket : waiting) {
        pollfd entry{socket.get(), POLLIN, 0};
        ASSERT_EQ(poll(&entry, 1, 10000), 1);
    }
}
