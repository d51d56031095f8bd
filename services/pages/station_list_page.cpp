#include "services/pages/station_list_page.h"

#include "services/pages/page_markers.h"

namespace nimbrel::services {

std::string StationListPage(const Region& region) {
    std::string page = "<HTML>\n<HEAD>\n<TITLE>Select a station: " + region.name +
                       "</TITLE>\n</HEAD>\n<BODY BGCOLOR=\"#FFFFFF\">\n<H2>" + region.name +
                       "</H2>\n<P>Choose a station; its report is at /weather/current/CODE.html.</P>\n"
                       "<FORM>\n<SELECT NAME=\"cccc\">\n";
    page += kSelectionMarker;
    page += '\n';
    for (const Station& station : region.stations) {
        page += kOptionMarker;
        page += station.code;
        page += kOptionValueEnd;
        page += station.place;
        page += '\n';
    }
    page += kListEnd;
    page += "\n</FORM>\n</BODY>\n</HTML>\n";
    return page;
}

std::string UnknownRegionPage() {
    return "<HTML>\n<HEAD>\n<TITLE>Not found</TITLE>\n</HEAD>\n<BODY>\n"
           "<P>There is no station list for this code.</P>\n</BODY>\n</HTML>\n";
}

}  // namespace nimbrel::services
