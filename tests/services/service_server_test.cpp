#include "services/service_server.h"

#include <httplib.h>

#include <gtest/gtest.h>

#include <chrono>

#include "tests/services/loopback_client.h"
#include "services/service_routes.h"
#include "tests/services/service_test_data.h"

using loopback::Body;
using loopback::Exchange;
using nimbrel::services::ServiceServer;
using nimbrel::services::Translation;

namespace {

const std::string kHeaderMarker = "Current Weather Conditions:<BR>";
const std::string kTranslationStart = "<td bgcolor=white class=s><div style=padding:10px;>";

// Knows one pair and shows what reached it.
class BracketTranslator : public nimbrel::services::Translator {
public:
    Translation Translate(const std::string& text, const std::string& pair) const override {
        if (pair != "en_es") return {Translation::Outcome::UnsupportedPair, {}};
        return {Translation::Outcome::Translated, "[" + text + "]"};
    }
};

class ServiceServerTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server_.Start(0)) << server_.error(); }

    std::string Get(const std::string& target) {
        return Exchange(server_.port(), "GET " + target + " HTTP/1.0\r\nHost: weather.example\r\n\r\n");
    }

    BracketTranslator translator_;
    nimbrel::services::StationLists lists_{{TestServiceData().states, TestServiceData().countries}};
    nimbrel::services::ServiceRoutes routes_{TestServiceData().observations, lists_, translator_};
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
    const nimbrel::UniqueFd socket =
        loopback::SendRequest(server_.port(), "GET /weather/current/LFMN.html HTTP/1.1\r\nHost: weather.example\r\n\r\n");
    ASSERT_TRUE(socket);
    char buffer[64];
    ASSERT_GT(recv(socket.get(), buffer, sizeof buffer, 0), 0);

    const auto start = std::chrono::steady_clock::now();
    server_.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}


// Pages from memory are answered on the server's io thread; a translation
// waits on its translator, so it goes to a worker.
TEST_F(ServiceServerTest, OnlyPagesThatNeedNoWaitAreAnsweredAtOnce) {
    for (const char* target : {"/weather/current/LFMN.html", "/weather/current/ZZZZ.html",
                               "http://weather.example:80/international.html", "/nothing"}) {
        const std::optional<nimbrel::services::Page> atOnce = routes_.AnswerAtOnce(target);
        ASSERT_TRUE(atOnce) << target;
        const nimbrel::services::Page page = routes_.Answer(target);
        EXPECT_EQ(atOnce->status, page.status) << target;
        EXPECT_EQ(atOnce->body, page.body) << target;
    }
    EXPECT_FALSE(routes_.AnswerAtOnce("/tr?trtext=hi&lp=en_es"));
}
