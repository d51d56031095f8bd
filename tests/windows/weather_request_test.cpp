// The /xweather request through the HTTP stand-in: the page fetched, the
// report built, and with a pair every piece sent to the translation service.

#include "weather/weather_request.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "translation/translation_page.h"
#include "translation/translation_client.h"
#include "common/host_records.h"
#include "stations/station_list_run.h"
#include "http_standin.h"
#include "message_box_catcher.h"
#include "recording_sink.h"
#include "test_paths.h"
#include "weather/weather_report.h"

using namespace nimbrel;
using namespace nimbrel::host;

namespace {

const std::string kPagePath = "/weather/current/LFMN.html";

// The translation service as the stand-in plays it: "[pair]text" between
// the answer's markers.
Answer EchoingTranslation() {
    return Answer::Template(std::string(kTranslationStart) + "[{pair}]{text}" + std::string(kTranslationEnd));
}

// Decodes a query value the way the service reads it.
std::string QueryValue(const std::string& path, const std::string& key) {
    std::size_t start = path.find(key + "=");
    if (start == std::string::npos) return "<missing>";
    start += key.size() + 1;
    std::string value = path.substr(start, path.find('&', start) - start), decoded;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '%' && i + 2 < value.size()) {
            decoded += static_cast<char>(std::stoi(value.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            decoded += value[i];
        }
    }
    return decoded;
}

std::vector<ReceivedRequest> TranslationRequests(const HttpStandIn& standIn) {
    std::vector<ReceivedRequest> found;
    for (const ReceivedRequest& request : standIn.Requests())
        if (request.host.find("translate.example") == 0) found.push_back(request);
    return found;
}

class WeatherRequestTest : public ::testing::Test {
protected:
    HttpStandIn standIn;
    const std::string page = FixturePage();
    char speech[kSpeechTextSize] = {};

    void SetUp() override { ASSERT_FALSE(page.empty()) << "fixture page missing"; }
};

TEST_F(WeatherRequestTest, ReportOfAFetchedPage) {
    standIn.Serve(kPagePath, Answer::InPieces(page, 700, 0));
    const std::string report = RequestWeatherReport("LFMN", "", false);
    EXPECT_EQ(report, BuildWeatherReport(page, "", nullptr, speech));
    EXPECT_NE(report.find("(!FC04)(!FB)Wind: (!FR)"), std::string::npos) << report;
    ASSERT_EQ(standIn.Requests().size(), 1u);
    EXPECT_EQ(standIn.Requests()[0].path, kPagePath);
    EXPECT_EQ(standIn.Requests()[0].host.substr(0, 15), "weather.example");
}

TEST_F(WeatherRequestTest, ErrorTexts) {
    standIn.Serve("/weather/current/ZZZZ.html", Answer::Body("<HTML>No such station</HTML>", 404));
    standIn.Serve("/weather/current/EMPT.html", Answer::Body(""));
    standIn.Serve("/weather/current/MUTE.html", Answer::Silent());
    EXPECT_EQ(RequestWeatherReport("ZZZZ", "", false), "Error :s");
    EXPECT_EQ(RequestWeatherReport("EMPT", "", false), "Error :s");
    EXPECT_EQ(RequestWeatherReport("MUTE", "", false), "request error");   // after the 5 s timeout
    EXPECT_EQ(RequestWeatherReport("LFMN", "", false, kStationPages.At("gopher://weather.example")), "connexion error");
    EXPECT_EQ(standIn.Requests().size(), 3u);
}

TEST_F(WeatherRequestTest, TranslatedReportSendsEveryPieceIntact) {
    standIn.Serve(kPagePath, Answer::Body(page));
    standIn.Serve("/tr?", EchoingTranslation());
    std::vector<std::string> pieces;
    const std::string expected = BuildWeatherReport(page, "en_es", [&](const std::string& text, const std::string& pair) {
        pieces.push_back(text);
        return "[" + pair + "]" + text;
    }, speech);

    EXPECT_EQ(RequestWeatherReport("LFMN", "en_es", false), expected);
    const std::vector<ReceivedRequest> requests = TranslationRequests(standIn);
    ASSERT_EQ(requests.size(), pieces.size());
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        EXPECT_EQ(QueryValue(requests[i].path, "trtext"), pieces[i]);
        EXPECT_EQ(QueryValue(requests[i].path, "lp"), "en_es");
        EXPECT_EQ(requests[i].path.rfind("/tr?trtext=", 0), 0u);
    }
}

TEST_F(WeatherRequestTest, PairsThatAreNotFiveCharactersMeanNoTranslation) {
    standIn.Serve(kPagePath, Answer::Body(page));
    standIn.Serve("/tr?", EchoingTranslation());
    const std::string english = BuildWeatherReport(page, "", nullptr, speech);
    EXPECT_EQ(RequestWeatherReport("LFMN", "en", false), english);
    EXPECT_EQ(RequestWeatherReport("LFMN", "en_es_", false), english);
    EXPECT_TRUE(TranslationRequests(standIn).empty());
}

TEST_F(WeatherRequestTest, ServiceThatStopsAnsweringLeavesItsErrorInPlace) {
    standIn.Serve(kPagePath, Answer::Body(page));
    standIn.Serve("/tr?", EchoingTranslation(), 3);
    standIn.Serve("/tr?", Answer::Silent());
    int call = 0;
    const std::string expected = BuildWeatherReport(page, "en_es", [&](const std::string& text, const std::string& pair) {
        return ++call <= 3 ? "[" + pair + "]" + text : std::string(kTranslationRequestError);
    }, speech);
    ASSERT_GT(call, 4);

    EXPECT_EQ(RequestWeatherReport("LFMN", "en_es", false), expected);
    // Once a request went unanswered (timed out), the rest of the report asks no more.
    EXPECT_EQ(TranslationRequests(standIn).size(), 4u);
}

TEST_F(WeatherRequestTest, TranslationClientErrorTexts) {
    standIn.Serve("/tr?trtext=split", Answer::InPieces(std::string(kTranslationStart) + "partie" +
                                                       std::string(kTranslationEnd) + "tail", 7, 0));
    standIn.Serve("/tr?trtext=plain", Answer::Body("<html>no markers</html>"));
    standIn.Serve("/tr?trtext=mute", Answer::Silent());
    EXPECT_EQ(TranslateText("split", "en_fr"), "partie");
    EXPECT_EQ(TranslateText("plain", "en_fr"), "response pb");
    EXPECT_EQ(TranslateText("mute", "en_fr"), "request pb");
    EXPECT_EQ(TranslateText("x", "en_fr", kTranslations.At("gopher://translate.example")), "translation problem");
    EXPECT_EQ(TranslationRequests(standIn).size(), 3u);
}

// A page that stops short, breaks off or runs past its bounds is a failed
// request: never a report built from part of it, never "Error :s" for a
// station that exists.
TEST_F(WeatherRequestTest, PagesThatDoNotArriveWholeAndInBoundsAreRequestErrors) {
    standIn.Serve("/weather/current/CUTS.html", Answer::CutAfter(page, page.size() / 2));
    standIn.Serve("/weather/current/RSET.html", Answer::ResetAfter(page, page.size() / 2));
    standIn.Serve("/weather/current/SLOW.html", Answer::InPieces(page.substr(0, 60), 1, 250));
    standIn.Serve("/weather/current/HUGE.html", Answer::Endless(page));
    PageSource bounded = kStationPages;
    bounded.deadlineMs = 2000;
    for (const char* code : {"CUTS", "RSET", "SLOW", "HUGE"}) {
        const DWORD start = GetTickCount();
        const std::string report = RequestWeatherReport(code, "", false, bounded);
        const DWORD elapsed = GetTickCount() - start;
        std::printf("%s: %zu bytes of answer after %lu ms\n", code, report.size(), elapsed);
        EXPECT_EQ(report, kWeatherRequestError) << code;
        EXPECT_LT(elapsed, bounded.deadlineMs + kReceiveTimeoutMs) << code;
    }
}

// A translation past its bounds fails like a refused one, and the pieces
// after it ask no more; a station list past its bounds ends the run silently.
TEST_F(WeatherRequestTest, TranslationsAndStationListsThatOverrunTheirBoundsFail) {
    standIn.Serve(kPagePath, Answer::Body(page));
    standIn.Serve("/tr?", EchoingTranslation(), 2);
    standIn.Serve("/tr?", Answer::InPieces(std::string(40, 'x'), 1, 250), 1);
    standIn.Serve("/tr?", EchoingTranslation());
    PageSource translations = kTranslations;
    translations.deadlineMs = 1500;
    int call = 0;
    const std::string expected = BuildWeatherReport(page, "en_es", [&](const std::string& text, const std::string& pair) {
        return ++call <= 2 ? "[" + pair + "]" + text : std::string(kTranslationRequestError);
    }, speech);
    DWORD start = GetTickCount();
    EXPECT_EQ(RequestWeatherReport("LFMN", "en_es", false, kStationPages, translations), expected);
    std::printf("translated report with a slow third piece: %lu ms, %zu translation requests\n",
                GetTickCount() - start, TranslationRequests(standIn).size());
    EXPECT_EQ(TranslationRequests(standIn).size(), 3u);

    RecordingSink events;
    MessageBoxCatcher boxes{events, true};
    const std::string index = "<OPTION VALUE=\"FR\"> France\n";
    const std::string list = "<select><option selected>Select a location\n<OPTION VALUE=\"LFMN\">Nice\n</select>";
    standIn.Serve("/international.html", Answer::Body(index), 2);
    standIn.Serve("/cgi-bin/cc_sel_cntry.pl?country=FR", Answer::Body(list), 1);
    standIn.Serve("/cgi-bin/cc_sel_cntry.pl?country=FR", Answer::CutAfter(list, list.size() - 5));
    standIn.Serve("/international.html", Answer::Endless(index));
    PageSource lists = kStationListPages;
    lists.maxBytes = 64 * 1024;
    ShowStationList(kCountryStationList, "France", lists);
    ASSERT_EQ(events.boxes.size(), 1u) << "the whole list";
    for (const char* run : {"list cut short", "endless index page"}) {
        events.boxes.clear();
        start = GetTickCount();
        ShowStationList(kCountryStationList, "France", lists);
        std::printf("%s: %zu boxes after %lu ms\n", run, events.boxes.size(), GetTickCount() - start);
        EXPECT_TRUE(events.boxes.empty()) << run;
    }
}

}  // namespace
