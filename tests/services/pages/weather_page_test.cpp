#include "services/pages/weather_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "services/observations/observation_record.h"
#include "tests/services/service_test_data.h"

using nimbrel::services::ObservationRecord;
using nimbrel::services::ParseObservationRecord;
using nimbrel::services::WeatherPage;

namespace {

// The labels the plug-in reads, in its order.
const std::vector<std::string> kReadLabels = {"Wind",      "Visibility", "Sky conditions",    "Weather",
                                              "Temperature", "Dew Point", "Relative Humidity", "Pressure (altimeter)"};

// What the plug-in's reader takes from a page: the header up to "</B>",
// then label and value of each row, each found by its marker from where
// the previous one ended, until a label it does not know.
struct ReadPage {
    std::string header;
    std::vector<std::pair<std::string, std::string>> rows;
};

ReadPage ReadLikeThePlugIn(const std::string& page) {
    const std::string headerMarker = "Current Weather Conditions:<BR>";
    const std::string rowMarker = "<FONT COLOR=\"#0000A0\"><FONT FACE=\"Arial,Helvetica\"> ";
    const std::string valueMarker = "<TD><FONT FACE=\"Arial,Helvetica\">";
    ReadPage read;
    auto at = page.find(headerMarker);
    if (at == std::string::npos) return read;
    at += headerMarker.size();
    read.header = page.substr(at, page.find("</B>", at) - at);
    while ((at = page.find(rowMarker, at)) != std::string::npos) {
        at += rowMarker.size();
        const std::string label = page.substr(at, page.find(" </FONT>", at) - at);
        if (std::find(kReadLabels.begin(), kReadLabels.end(), label) == kReadLabels.end()) break;
        at = page.find(valueMarker, at);
        if (at == std::string::npos) break;
        at += valueMarker.size();
        const auto end = page.find("</FONT>", at);
        read.rows.emplace_back(label, page.substr(at, end - at));
        at = end;
    }
    return read;
}

}  // namespace

TEST(WeatherPage, OneSmallRecordGivesThisPage) {
    const ObservationRecord record = ParseObservationRecord(
        "Sample Field, Nowhere (ABCD) 01-02N 003-04E 5M\n"
        "Jul 29, 2017 - 03:30 AM EDT / 2017.07.29 0730 UTC\n"
        "Wind: from the W (270 degrees) at 9 MPH (8 KT):0\n"
        "Sky conditions: clear\n"
        "ob: ABCD 290730Z 27008KT CAVOK\n",
        "ABCD");
    EXPECT_EQ(WeatherPage(record),
              "<HTML>\n<HEAD>\n<TITLE>Current weather: Sample Field, Nowhere (ABCD)</TITLE>\n</HEAD>\n"
              "<BODY BGCOLOR=\"#FFFFFF\">\n"
              "<FONT FACE=\"Arial,Helvetica\" SIZE=+1><B>Current Weather Conditions:<BR>"
              "Sample Field, Nowhere (ABCD)</B></FONT><BR>\n"
              "<FONT FACE=\"Arial,Helvetica\" SIZE=-1>01-02N 003-04E 5M<BR>\n"
              "Jul 29, 2017 - 03:30 AM EDT / 2017.07.29 0730 UTC</FONT>\n"
              "<TABLE BORDER=0 CELLPADDING=2>\n"
              "<TR><TD ALIGN=RIGHT BGCOLOR=\"#CCCCFF\"><FONT COLOR=\"#0000A0\"><FONT FACE=\"Arial,Helvetica\"> "
              "Wind </FONT></FONT></TD>\n"
              "<TD><FONT FACE=\"Arial,Helvetica\">from the W (270 degrees) at 9 MPH (8 KT)</FONT></TD></TR>\n"
              "<TR><TD ALIGN=RIGHT BGCOLOR=\"#CCCCFF\"><FONT COLOR=\"#0000A0\"><FONT FACE=\"Arial,Helvetica\"> "
              "Sky conditions </FONT></FONT></TD>\n"
              "<TD><FONT FACE=\"Arial,Helvetica\">clear<BR></FONT></TD></TR>\n"
              "</TABLE>\n</BODY>\n</HTML>\n");
}

// Every station's page reads back as its record: nothing in the data
// looks like a marker, and no row the plug-in reads is lost, whatever other
// lines stand between them in the record (541 records have one: a heat
// index after the temperature, the last hour's precipitation before it).
// The values that start a line of their own in the report end in the
// page's "<BR>".
TEST(WeatherPage, EveryArchivedRecordKeepsTheRowsThePlugInReadsInItsOrder) {
    const std::map<std::string, std::vector<std::string>> spotChecks = {
        {"AGGM", {"Wind", "Sky conditions", "Weather", "Temperature", "Dew Point", "Relative Humidity",
                  "Pressure (altimeter)"}},
        {"ETIK", {"Wind", "Visibility", "Sky conditions", "Weather", "Temperature", "Dew Point",
                  "Relative Humidity", "Pressure (altimeter)"}},
    };
    const auto& records = TestServiceData().observations.records();
    ASSERT_EQ(records.size(), 4981u);
    std::size_t rows = 0;
    std::size_t breaks = 0;
    for (const auto& [code, text] : records) {
        const ObservationRecord record = ParseObservationRecord(text, code);
        const ReadPage read = ReadLikeThePlugIn(WeatherPage(record));
        ASSERT_EQ(read.header, record.station) << code;
        ASSERT_EQ(read.header.substr(read.header.size() - 6), "(" + code + ")");
        std::vector<std::pair<std::string, std::string>> wanted;
        for (const std::string& label : kReadLabels) {
            for (const auto& line : record.lines) {
                if (line.label == label) wanted.emplace_back(line.label, line.value);
            }
        }
        std::vector<std::string> labels;
        for (auto [label, value] : read.rows) {
            if (value.size() >= 4 && value.compare(value.size() - 4, 4, "<BR>") == 0) {
                value.resize(value.size() - 4);
                ++breaks;
            }
            ASSERT_EQ(value.find(':'), value.npos) << code << " " << label << ": an alert level left";
            ASSERT_LT(labels.size(), wanted.size()) << code << ": a row too many";
            ASSERT_EQ(std::make_pair(label, value), wanted[labels.size()]) << code;
            labels.push_back(label);
        }
        ASSERT_EQ(labels.size(), wanted.size()) << code << ": rows lost";
        const auto spot = spotChecks.find(code);
        if (spot != spotChecks.end()) {
            EXPECT_EQ(labels, spot->second) << code;
        }
        rows += labels.size();
    }
    EXPECT_GT(rows, 4981u * 5);
    EXPECT_GT(breaks, 4981u * 2);
}

TEST(WeatherPage, AnUnknownStationHasNoHeaderMarker) {
    EXPECT_EQ(nimbrel::services::UnknownStationPage().find("Current Weather Conditions:<BR>"), std::string::npos);
}
