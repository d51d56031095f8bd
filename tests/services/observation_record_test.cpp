#include "observation_archive.h"
#include "observation_record.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "service_test_data.h"

using services::ObservationArchive;
using services::ParseObservationRecord;

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
    const auto record = ParseObservationRecord("X (ABCD)\nnow\nWeather: rain: heavy\nNote: at 12:3x\n", "ABCD");
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
