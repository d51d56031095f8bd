#include "services/observations/observation_archive.h"
#include "services/observations/observation_record.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/services/observation_fixtures.h"
#include "tests/services/service_test_data.h"

using nimbrel::services::ObservationArchive;
using nimbrel::services::ParseObservationRecord;

TEST(ObservationRecord, SplitsLabelsFromValuesAndDropsAlertLevels) {
    const auto record = ParseObservationRecord(
        "Julianehaab, Greenland (BGJH) 60-43N 046-03W 34M\n"
        "Mar 03, 2017 - 06:50 PM EST / 2017.03.03 2350 UTC\n"
        "Wind: Calm:0\n"
        "Temperature: 35 F (2 C)\n"
        "Windchill: 21 F (-6 C):12\n"
        "Pressure tendency: 0.01 inches (0.2 hPa) higher than three hours ago\n"
        "ob: BGJH 032350Z AUTO 00000KT 02/M08 Q0990\n"
        "cycle: 0\n",
        "BGJH");
    EXPECT_EQ(record.station, "Julianehaab, Greenland (BGJH)");
    EXPECT_EQ(record.position, "60-43N 046-03W 34M");
    EXPECT_EQ(record.time, "Mar 03, 2017 - 06:50 PM EST / 2017.03.03 2350 UTC");

    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Wind", "Calm"},
        {"Temperature", "35 F (2 C)"},
        {"Windchill", "21 F (-6 C)"},
        {"Pressure tendency", "0.01 inches (0.2 hPa) higher than three hours ago"},
        {"ob", "BGJH 032350Z AUTO 00000KT 02/M08 Q0990"},
        {"cycle", "0"},
    };
    ASSERT_EQ(record.lines.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(record.lines[i].label, expected[i].first) << i;
        EXPECT_EQ(record.lines[i].value, expected[i].second) << i;
    }
}

TEST(ObservationRecord, ColonsInsideAValueStay) {
    const auto record = ParseObservationRecord("X (ABCD)\nnow\nWeather: rain: heavy\nVisibility: at 12:3x\n", "ABCD");
    ASSERT_EQ(record.lines.size(), 2u);
    EXPECT_EQ(record.lines[0].value, "rain: heavy");
    EXPECT_EQ(record.lines[1].value, "at 12:3x");
}

TEST(ObservationArchive, HoldsEveryStationOfTheDay) {
    const ObservationArchive& archive = TestServiceData().observations;
    EXPECT_EQ(archive.size(), 4981u);
    const auto nice = archive.Find("LFMN");
    ASSERT_TRUE(nice.has_value());
    EXPECT_EQ(nice->rfind("Nice, France (LFMN) 43-39N 007-12E 10M\n", 0), 0u);
    EXPECT_EQ(nice->substr(nice->size() - 9), "cycle: 7\n");
    EXPECT_FALSE(archive.Find("ZZZZ").has_value());
}

TEST(ObservationArchive, AMissingFileIsAnError) {
    EXPECT_THROW(ObservationArchive::Load("/nonexistent/observations.tar.gz"), std::runtime_error);
}

// Real files (and one made after them) with every quirk the source's
// format is known to have: each reads as an observation of its station,
// alert levels go, names are tidy, and the time line stays as written.
TEST(ObservationRecord, ReadsEveryKnownQuirkOfTheSourceFiles) {
    struct Expected {
        const char* code;
        const char* station;
        const char* position;
        const char* time;
        std::vector<std::string> labels;
    };
    const Expected files[] = {
        {"BIKF", "Keflavikurflugvollur, Iceland (BIKF)", "63-58N 022-36W 54M",
         "Jul 29, 2017 - 03:30 AM EDT / 2017.07.29 0730 UTC",
         {"Wind", "Visibility", "Temperature", "Dew Point", "Relative Humidity", "Pressure (altimeter)", "ob", "cycle"}},
        {"BGJH", "Julianehaab, Greenland (BGJH)", "60-43N 046-03W 34M",
         "Mar 03, 2017 - 06:50 PM EST / 2017.03.03 2350 UTC",
         {"Wind", "Temperature", "Windchill", "Dew Point", "Relative Humidity", "Pressure (altimeter)", "ob", "cycle"}},
        {"AGGM", "Munda, Solomon Islands (AGGM)", "08-20S 157-16E 6M",
         "Jan 01, 2017 - 10:00 PM EST / 2017.01.02 0300 UTC",
         {"Wind", "Sky conditions", "Weather", "Temperature", "Heat index", "Dew Point", "Relative Humidity",
          "Pressure (altimeter)", "ob", "cycle"}},
        {"KLXV", "LEADVILLE LAKE CO, CO, United States (KLXV)", "39-14N 106-19W 3028M",
         "Jul 29, 2017 - 03:53 AM EDT / 2017.07.29 0753 UTC",
         {"Wind", "Visibility", "Sky conditions", "Weather", "Precipitation last hour", "Temperature", "Dew Point",
          "Relative Humidity", "Pressure (altimeter)", "Pressure tendency", "ob", "cycle"}},
        {"CWAE", "Whistler, Canada (CWAE)", "50-08N 122-57W", "Jul 28, 2017 - 09:00 PM EDT / 2017.07.29 0100 UTC",
         {"Wind", "Visibility", "Sky conditions", "Temperature", "Dew Point", "Relative Humidity",
          "Pressure (altimeter)", "ob", "cycle"}},
        {"CWQO", "Ile Bicquette, Que., Canada (CWQO)", "48-24-56N 068-53-36W",
         "Jul 29, 2017 - 03:00 AM EDT / 2017.07.29 0700 UTC",
         {"Wind", "Temperature", "Dew Point", "Relative Humidity", "ob", "cycle"}},
        {"KZZQ", "Station name not available (KZZQ)", "", "Dec 30, 2023 - 07:30 AM EST / 2023.12.30 1230 UTC",
         {"Wind", "Visibility", "Sky conditions", "Weather", "Precipitation last hour", "Temperature", "Windchill",
          "Dew Point", "Relative Humidity", "Pressure (altimeter)", "Pressure tendency", "ob", "cycle"}},
    };
    for (const Expected& file : files) {
        SCOPED_TRACE(file.code);
        const std::string text = FixtureObservation(file.code);
        ASSERT_FALSE(text.empty());
        EXPECT_TRUE(nimbrel::services::IsDecodedObservation(text, file.code));
        const auto record = ParseObservationRecord(text, file.code);
        EXPECT_EQ(record.station, file.station);
        EXPECT_EQ(record.position, file.position);
        EXPECT_EQ(record.time, file.time);
        std::vector<std::string> labels;
        for (const auto& line : record.lines) {
            labels.push_back(line.label);
            EXPECT_EQ(line.value.find(':'), std::string::npos) << line.label << ": " << line.value;
            EXPECT_TRUE(line.value.empty() || line.value.back() != ' ') << line.label;
        }
        EXPECT_EQ(labels, file.labels);
    }
    EXPECT_EQ(ParseObservationRecord(FixtureObservation("BGJH"), "BGJH").lines[2].value, "21 F (-6 C)");
    EXPECT_EQ(ParseObservationRecord(FixtureObservation("BGTL"), "BGTL").lines.at(7).value,
              "BGTL 290758Z AUTO 16023KT 9999 OVC050 07/03 A2986 RMK AO2 PK WND 17036/08 SLP094 T00670026");
}

// Lines the source is not known to write are left out; the rest stands.
TEST(ObservationRecord, UnknownAndMalformedLinesAreLeftOut) {
    const auto record = ParseObservationRecord(
        "Nice, France (LFMN) 43-39N 007-12E 10M\n"
        "Jul 29, 2017 - 05:30 AM EDT / 2017.07.29 0930 UTC\n"
        "Wind: Calm:0\n"
        "Runway state: wet\n"
        "no colon at all\n"
        ": no label\n"
        "Temperature: 80 F (27 C)\n",
        "LFMN");
    ASSERT_EQ(record.lines.size(), 2u);
    EXPECT_EQ(record.lines[0].label, "Wind");
    EXPECT_EQ(record.lines[1].label, "Temperature");
}

TEST(ObservationRecord, OnlyAnObservationOfTheAskedStationIsOne) {
    const std::string klxv = FixtureObservation("KLXV");
    EXPECT_TRUE(nimbrel::services::IsDecodedObservation(klxv, "KLXV"));
    EXPECT_FALSE(nimbrel::services::IsDecodedObservation(klxv, "BIKF")) << "another station's";
    EXPECT_FALSE(nimbrel::services::IsDecodedObservation("", "KLXV"));
    EXPECT_FALSE(nimbrel::services::IsDecodedObservation("<html><body>Not Found</body></html>\n", "KLXV"));
    EXPECT_FALSE(nimbrel::services::IsDecodedObservation(std::string(300, '\xff'), "KLXV"));
    std::string escape = klxv;
    escape.insert(escape.find("Weather: ") + 9, "\x1b[2J");
    EXPECT_FALSE(nimbrel::services::IsDecodedObservation(escape, "KLXV")) << "control bytes";
    std::string noTime = klxv;
    noTime.replace(noTime.find(" UTC"), 4, " GMT");
    EXPECT_FALSE(nimbrel::services::IsDecodedObservation(noTime, "KLXV"));
    std::string noReport = klxv;
    noReport.replace(noReport.find("ob: KLXV"), 8, "ob: KXXX");
    EXPECT_FALSE(nimbrel::services::IsDecodedObservation(noReport, "KLXV"));
    // CRLF line ends change nothing.
    std::string crlf;
    for (const char c : klxv) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_TRUE(nimbrel::services::IsDecodedObservation(crlf, "KLXV"));
}
