#include "weather/weather_report.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "common/host_records.h"

using namespace nimbrel;

namespace {

// Markers spelled here on their own, so that a slip in the builder's copy shows.
const std::string kRowStart = "<FONT COLOR=\"#0000A0\"><FONT FACE=\"Arial,Helvetica\"> ";
const std::string kValueStart = "<TD><FONT FACE=\"Arial,Helvetica\">";
const std::string kHead = "Current Weather Conditions: Sample Field (ABCD)";

using Rows = std::vector<std::pair<std::string, std::string>>;

std::string Row(const std::string& label, const std::string& value) {
    return "<TR><TD><B>" + kRowStart + label + " </FONT></FONT></B></TD>\n" + kValueStart + value +
           "</FONT></TD></TR>\n";
}

std::string Page(const Rows& rows) {
    std::string page = "<HTML><B>Current Weather Conditions:<BR>Sample Field (ABCD)</B>\n<TABLE>\n";
    for (const auto& [label, value] : rows) page += Row(label, value);
    return page + "</TABLE></HTML>\n";
}

struct Built {
    std::string report, speech;
};

Built Build(const std::string& body, const std::string& pair = "", const Translator& translate = {}) {
    char speech[kSpeechTextSize];
    std::memset(speech, 'x', sizeof speech);
    std::string report = BuildWeatherReport(body, pair, translate, speech);
    return {report, speech};
}

// Records every request and answers with the piece in brackets.
struct RecordingTranslator {
    std::vector<std::string> texts, pairs;
    Translator Get() {
        return [this](const std::string& text, const std::string& pair) {
            texts.push_back(text);
            pairs.push_back(pair);
            return "[" + text + "]";
        };
    }
};

TEST(WeatherReport, WorkedExample) {
    RecordingTranslator translator;
    Built built = Build("some text " + Page({{"Wind", "from the W (270 degrees) at 9 MPH (8 KT)"},
                                             {"Visibility", "6 mile(s)"},
                                             {"Sky conditions", "clear<BR>"},
                                             {"Temperature", "59 F (15 C)<BR>"},
                                             {"Pressure (altimeter)", "30.12 in. Hg (1020 hPa)"},
                                             {"ob", "LFMN 121530Z 27008KT"}}),
                        "", translator.Get());
    EXPECT_EQ(built.report,
              kHead +
                  "\n#(!FC04)(!FB)Wind: (!FR)from the W (270 degrees) at 9 MPH (14.8256 Kilometers per hour)"
                  "\n(!FC20)(!FB)Visibility: (!FR)6 miles\n(!FC02)(!FB)Sky conditions: (!FR)(#)clear\r\n"
                  "(!FC09)(!FB)Temperature: (!FR)59\xB0 Fahrenheit (15\xB0 Celsius)\r\n"
                  "(!FC07)(!FB)Pressure (altimeter): (!FR)30.12 inches of mercury (1020 hPa)");
    EXPECT_EQ(built.speech,
              kHead +
                  ". Wind: from the W (270 degrees) at 9 MPH (14.8256 Kilometers per hour)"
                  ". Visibility: 6 miles. Sky conditions: clear\r\n"
                  ". Temperature: 59\xB0 Fahrenheit (15\xB0 Celsius)\r\n"
                  ". Pressure (altimeter): 30.12 inches of mercury (1020 hecto Pascal)");
    EXPECT_TRUE(translator.texts.empty());
}

TEST(WeatherReport, HeaderLine) {
    const std::string header = "Current Weather Conditions:<BR>";
    EXPECT_EQ(Build("a" + header + "First</B> b" + header + "Second</B>").speech,
              "Current Weather Conditions: First");
    // Without "</B>" the rest of the body joins the header; the rows are still read.
    const std::string rest = "Open " + kRowStart + "Visibility </FONT>" + kValueStart + "6 mile(s)</FONT>";
    EXPECT_EQ(Build(header + rest).report,
              "Current Weather Conditions: " + rest + "\n#(!FC20)(!FB)Visibility: (!FR)6 miles");
    // Not a station page: nothing after the heading.
    EXPECT_EQ(Build(Row("Wind", "calm")).report, "Current Weather Conditions: ");
}

TEST(WeatherReport, FirstUnrecognisedLabelEndsTheReport) {
    for (const std::string label : {"wind", "Wind ", " Wind", "WIND", "Pressure", "ob", ""}) {
        Built built = Build(Page({{"Visibility", "6 mile(s)"}, {label, "from the W"}, {"Wind", "calm"}}));
        EXPECT_EQ(built.report, kHead + "\n#(!FC20)(!FB)Visibility: (!FR)6 miles") << '"' << label << '"';
        EXPECT_EQ(built.speech, kHead + ". Visibility: 6 miles") << '"' << label << '"';
    }
}

TEST(WeatherReport, RecognisedLabelWithoutValueEndsTheRowsThere) {
    const std::string page = Page({{"Visibility", "6 mile(s)"}}) + kRowStart + "Wind </FONT></TD></TR>";
    Built built = Build(page);
    EXPECT_EQ(built.report, kHead + "\n#(!FC20)(!FB)Visibility: (!FR)6 miles");
    EXPECT_EQ(built.speech, kHead + ". Visibility: 6 miles");
    RecordingTranslator translator;  // nothing of the half row is asked for either
    Build(page, "en_fr", translator.Get());
    EXPECT_EQ(translator.texts, (std::vector<std::string>{kHead, "Visibility", "6 miles"}));
}

TEST(WeatherReport, ValueWording) {
    struct Case {
        std::string value, reported, spoken;
    };
    const std::string sameBoth =
        "a\r\nb<BR> 2 miles 3 mile(s) 59\xB0 Fahrenheit (15\xB0 Celsius) 60 F (16 C) 1 inches of mercury 2 in. Hg";
    const std::vector<Case> cases = {
        // Each substitution at its first occurrence only.
        {"a<BR>b<BR> 2 mile(s) 3 mile(s) 59 F (15 C) 60 F (16 C) 1 in. Hg 2 in. Hg", sameBoth, sameBoth},
        // Emoticons in table order, in any row, case-sensitive, never spoken.
        {"thunderstorm with rain", "(st)(li)thunderstorm with rain", "thunderstorm with rain"},
        {"thunder, rain, then clear", "(#)(st)(li)thunder, rain, then clear", "thunder, rain, then clear"},
        {"Clear, no Rain", "Clear, no Rain", "Clear, no Rain"},
        {"1020 hPa) or 1021 hPa)", "1020 hPa) or 1021 hPa)", "1020 hecto Pascal) or 1021 hPa)"},
        // Wind speed, in any row: only the first "MPH (", only with " KT)".
        {"calm", "calm", "calm"},
        {"at 9 MPH (8 knots)", "at 9 MPH (8 knots)", "at 9 MPH (8 knots)"},
        {"at 0 MPH (0 KT)", "at 0 MPH (   0 Kilometers per hour)", "at 0 MPH (   0 Kilometers per hour)"},
        {"15 MPH (13 KT) to 23 MPH (20 KT)", "15 MPH (24.0916 Kilometers per hour) to 23 MPH (20 KT)",
         "15 MPH (24.0916 Kilometers per hour) to 23 MPH (20 KT)"},
        {"13 KT) at 15 MPH (13 KT)", "24.0916 Kilometers per hour) at 15 MPH (13 KT)",
         "24.0916 Kilometers per hour) at 15 MPH (13 KT)"},
    };
    for (const Case& c : cases) {
        Built built = Build(Page({{"Dew Point", c.value}}));
        EXPECT_EQ(built.report, kHead + "\n#(!FC05)(!FB)Dew Point: (!FR)" + c.reported) << c.value;
        EXPECT_EQ(built.speech, kHead + ". Dew Point: " + c.spoken) << c.value;
    }
}

TEST(WeatherReport, WindSpeedIsConvertedInItsOwnLineOnly) {
    EXPECT_EQ(Build(Page({{"Weather", "squall 8 KT)"}, {"Wind", "at 9 MPH (8 KT)"}})).report,
              kHead + "\n#(!FC03)(!FB)Weather: (!FR)squall 8 KT)"
                      "\n#(!FC04)(!FB)Wind: (!FR)at 9 MPH (14.8256 Kilometers per hour)");
}

TEST(WeatherReport, LineOpenersWithAndWithoutPair) {
    const Rows rows = {{"Visibility", "v"},           {"Wind", "w"},        {"Weather", "x"},
                       {"Temperature", "t"},          {"Dew Point", "d"},   {"Relative Humidity", "h"},
                       {"Pressure (altimeter)", "p"}, {"Temperature", "t"}, {"Sky conditions", "s"}};
    const std::string start =
        kHead + "\n#(!FC20)(!FB)Visibility: (!FR)v\n#(!FC04)(!FB)Wind: (!FR)w(!FC03)(!FB)Weather: (!FR)x";
    const std::string end = "\n(!FC09)(!FB)Temperature: (!FR)t\n(!FC02)(!FB)Sky conditions: (!FR)s";
    EXPECT_EQ(Build(Page(rows)).report,
              start + "(!FC09)(!FB)Temperature: (!FR)t(!FC05)(!FB)Dew Point: (!FR)d" +
                  "(!FC06)(!FB)Relative Humidity: (!FR)h(!FC07)(!FB)Pressure (altimeter): (!FR)p" + end);
    const Translator same = [](const std::string& text, const std::string&) { return text; };
    EXPECT_EQ(Build(Page(rows), "en_fr", same).report,
              start + "\n(!FC09)(!FB)Temperature: (!FR)t\n(!FC05)(!FB)Dew Point: (!FR)d" +
                  "\n(!FC06)(!FB)Relative Humidity: (!FR)h\n(!FC07)(!FB)Pressure (altimeter): (!FR)p" + end);

    // Temperature follows directly at row index 3 and 4 only.
    const Rows temperatures = {
        {"Temperature", "t"}, {"Temperature", "u"}, {"Sky conditions", "s"}, {"Weather", "x"}, {"Temperature", "v"}};
    EXPECT_EQ(Build(Page(temperatures)).report,
              kHead + "\n#(!FC09)(!FB)Temperature: (!FR)t\n(!FC09)(!FB)Temperature: (!FR)u" +
                  "\n(!FC02)(!FB)Sky conditions: (!FR)s(!FC03)(!FB)Weather: (!FR)x(!FC09)(!FB)Temperature: (!FR)v");
}

TEST(WeatherReport, SpeechTextIsCutAt1023CharactersAndNeverWrittenPast) {
    const Rows rows(120, {"Visibility", "6 mile(s)"});
    std::string whole = kHead;
    for (std::size_t i = 0; i < rows.size(); ++i) whole += ". Visibility: 6 miles";

    char block[kSpeechTextSize + 64];  // the tail past the buffer must stay as it was
    std::memset(block, 'G', sizeof block);
    auto& speech = *reinterpret_cast<char(*)[kSpeechTextSize]>(block);
    const std::string report = BuildWeatherReport(Page(rows), "", {}, speech);
    EXPECT_EQ(std::string(block), whole.substr(0, 1023));
    EXPECT_EQ(std::string(block + kSpeechTextSize, 64), std::string(64, 'G'));
    const std::string line = "\n(!FC20)(!FB)Visibility: (!FR)6 miles";
    EXPECT_EQ(report.size(), kHead.size() + 1 + 120 * line.size());  // the report is not cut
}

TEST(WeatherReport, TranslationRequestsInOrderEachPieceIntact) {
    RecordingTranslator translator;
    const Rows rows = {{"Wind", "from the W (270 degrees) at 9 MPH (8 KT)"},
                       {"Relative Humidity", "77%<BR>"},
                       {"Visibility", "6 mile(s) & more #1+2"},
                       {"Dew Point", "gusts 20 MPH (17 KT)"},
                       {"ob", "x"}};
    Built built = Build(Page(rows), "en_fr", translator.Get());
    const std::vector<std::string> expected = {
        kHead,       "Wind",      "from the W (270 degrees) at 9 MPH (8 KT)", " Kilometers per hour)",
        "Relative Humidity", "77%\r\n", "Visibility", "6 miles & more #1+2",
        "Dew Point", "gusts 20 MPH (17 KT)", " Kilometers per hour)"};
    EXPECT_EQ(translator.texts, expected);
    EXPECT_EQ(translator.pairs, std::vector<std::string>(expected.size(), "en_fr"));
    EXPECT_EQ(built.report,
              "[" + kHead + "]" +
                  "\n#(!FC04)(!FB)[Wind]: (!FR)[from the W (270 degrees) at 9 MPH (14.8256[ Kilometers per hour)]]"
                  "\n(!FC06)(!FB)[Relative Humidity]: (!FR)[77%\r\n]"
                  "\n(!FC20)(!FB)[Visibility]: (!FR)[6 miles & more #1+2]"
                  "\n(!FC05)(!FB)[Dew Point]: (!FR)[gusts 20 MPH (31.5044[ Kilometers per hour)]]");
    // The speech text starts with the translated header; the rest stays in English.
    EXPECT_EQ(built.speech,
              "[" + kHead + "]" +
                  ". Wind: from the W (270 degrees) at 9 MPH (14.8256[ Kilometers per hour)]"
                  ". Relative Humidity: 77%\r\n. Visibility: 6 miles & more #1+2"
                  ". Dew Point: gusts 20 MPH (31.5044[ Kilometers per hour)]");
}

TEST(WeatherReport, FailedTranslationsStandInPlaceOfThePieces) {
    const Translator failing = [](const std::string&, const std::string&) { return "response pb"; };
    Built built = Build(Page({{"Wind", "at 9 MPH (8 KT)"}}), "en_fr", failing);
    EXPECT_EQ(built.report, "response pb\n#(!FC04)(!FB)response pb: (!FR)response pb");
    EXPECT_EQ(built.speech, "response pb. Wind: at 9 MPH (14.8256response pb");
}

TEST(WeatherReport, ConvertedSpeedIsCutAt99Characters) {
    const Translator translate = [](const std::string& text, const std::string&) {
        return text == " Kilometers per hour)" ? std::string(500, 'k') : text;
    };
    Built built = Build(Page({{"Wind", "at 9 MPH (8 KT)"}}), "en_fr", translate);
    const std::string converted = "14.8256" + std::string(92, 'k');
    EXPECT_EQ(built.report, kHead + "\n#(!FC04)(!FB)Wind: (!FR)at 9 MPH (" + converted);
    EXPECT_EQ(built.speech, kHead + ". Wind: at 9 MPH (" + converted);
}

// However long the page, a translated report stops once it can no longer
// fit the host's buffer: what the buffer shows is the same, and no page asks
// for more pieces than a report that just fills it.
TEST(WeatherReport, ATranslatedReportAsksNoMoreOnceItOverflowsTheHostsBuffer) {
    const std::string wind = "from the W (270 degrees) at 9 MPH (8 KT)";
    int calls = 0;
    const Translator counting = [&](const std::string& text, const std::string&) {
        ++calls;
        return text;
    };
    const Built fitting = Build(Page(Rows(40, {"Wind", wind})), "en_es", counting);
    ASSERT_LT(fitting.report.size(), kOutputCapacity);

    std::string page = Page({});
    while (page.size() < (1u << 20)) page += Row("Wind", wind);
    calls = 0;
    const Built overflowing = Build(page, "en_es", counting);
    std::printf("1 MB page of Wind rows: %d translation requests, a report of %zu bytes\n", calls,
                overflowing.report.size());
    EXPECT_GE(overflowing.report.size(), kOutputCapacity);
    EXPECT_EQ(overflowing.report.compare(0, fitting.report.size(), fitting.report), 0);
    // One row adds at least its opener, label, separator and reset: 20 bytes.
    EXPECT_LE(calls, 1 + 3 * static_cast<int>(kOutputCapacity / 20));
}

}  // namespace
