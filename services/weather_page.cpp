#include "weather_page.h"

#include <array>
#include <string_view>

#include "page_markers.h"

namespace services {
namespace {

// The reader starts the rows that follow these without a line break of its
// own, so their values end with the page's "<BR>".
constexpr std::array<std::string_view, 5> kValuesEndingInLineBreak = {
    "Sky conditions", "Weather", "Temperature", "Dew Point", "Relative Humidity"};

bool EndsInLineBreak(const std::string& label) {
    for (const std::string_view wanted : kValuesEndingInLineBreak) {
        if (label == wanted) return true;
    }
    return false;
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
    for (const ObservationLine& line : record.lines) {
        page += "<TR><TD ALIGN=RIGHT BGCOLOR=\"#CCCCFF\">";
        page += kRowMarker;
        page += line.label;
        page += kLabelEnd;
        page += "</FONT></TD>\n";
        page += kValueMarker;
        page += line.value;
        if (EndsInLineBreak(line.label)) page += kLineBreak;
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

}  // namespace services
