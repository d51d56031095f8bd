#include "services/pages/weather_page.h"

#include <array>
#include <string_view>

#include "services/pages/page_markers.h"

namespace nimbrel::services {
namespace {

struct PageRow {
    std::string_view label;
    // The reader starts the row that follows without a line break of its
    // own, so the value ends with the page's "<BR>".
    bool endsInLineBreak;
};

// The rows the plug-in reads, in the order it reads them. It stops at the
// first label it does not know, so the source's other lines (Windchill,
// Heat index, Pressure tendency, Precipitation last hour, ob, cycle) would
// hide every row after them: they are left out.
constexpr std::array<PageRow, 8> kPageRows = {{
    {"Wind", false},
    {"Visibility", false},
    {"Sky conditions", true},
    {"Weather", true},
    {"Temperature", true},
    {"Dew Point", true},
    {"Relative Humidity", true},
    {"Pressure (altimeter)", false},
}};

const ObservationLine* LineOf(const ObservationRecord& record, std::string_view label) {
    for (const ObservationLine& line : record.lines) {
        if (line.label == label) return &line;
    }
    return nullptr;
}

}  // namespace

// Texts go into the page as they stand: the reader copies the bytes between
// the markers into the conversation, where an entity would show as such.
std::string WeatherPage(const ObservationRecord& record) {
    std::string page = "<HTML>\n<HEAD>\n<TITLE>Current weather: " + record.station +
                       "</TITLE>\n</HEAD>\n<BODY BGCOLOR=\"#FFFFFF\">\n"
                       "<FONT FACE=\"Arial,Helvetica\" SIZE=+1><B>";
    page += kHeaderMarker;
    page += record.station;
    page += kHeaderEnd;
    page += "</FONT><BR>\n<FONT FACE=\"Arial,Helvetica\" SIZE=-1>" + record.position + "<BR>\n" +
            record.time + "</FONT>\n<TABLE BORDER=0 CELLPADDING=2>\n";
    for (const PageRow& row : kPageRows) {
        const ObservationLine* line = LineOf(record, row.label);
        if (line == nullptr) continue;
        page += "<TR><TD ALIGN=RIGHT BGCOLOR=\"#CCCCFF\">";
        page += kRowMarker;
        page += row.label;
        page += kLabelEnd;
        page += "</FONT></TD>\n";
        page += kValueMarker;
        page += line->value;
        if (row.endsInLineBreak) page += kLineBreak;
        page += kValueEnd;
        page += "</TD></TR>\n";
    }
    page += "</TABLE>\n</BODY>\n</HTML>\n";
    return page;
}

std::string UnknownStationPage() {
    return "<HTML>\n<HEAD>\n<TITLE>Not found</TITLE>\n</HEAD>\n<BODY>\n"
           "<P>No current weather is known for this station.</P>\n</BODY>\n</HTML>\n";
}

}  // namespace nimbrel::services
