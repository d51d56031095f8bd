#include "services/pages/index_page.h"

#include "services/pages/page_markers.h"
#include "services/pages/service_paths.h"

namespace nimbrel::services {
namespace {

struct IndexPageText {
    std::string_view title;
    std::string_view script;
    std::string_view field;
    std::string_view otherPage;
    std::string_view otherPageLink;
};

std::string IndexPage(const Regions& regions, const IndexPageText& text) {
    std::string page;
    page += "<HTML>\n<HEAD>\n<TITLE>";
    page += text.title;
    page += "</TITLE>\n</HEAD>\n<BODY BGCOLOR=\"#FFFFFF\">\n<H2>";
    page += text.title;
    page += "</H2>\n<FORM METHOD=\"GET\" ACTION=\"";
    page += text.script;
    page += "\">\n<SELECT NAME=\"";
    page += text.field;
    page += "\">\n";
    // <OPTION VALUE="FR"> France: the code, '"', '>' and a blank, then the name.
    for (const Region& region : regions.all()) {
        page += kOptionMarker;
        page += region.code;
        page += kOptionValueEnd;
        page += ' ';
        page += region.name;
        page += '\n';
    }
    page += "</SELECT>\n<INPUT TYPE=\"submit\" VALUE=\"Show stations\">\n</FORM>\n<P><A HREF=\"";
    page += text.otherPage;
    page += "\">";
    page += text.otherPageLink;
    page += "</A></P>\n</BODY>\n</HTML>\n";
    return page;
}

}  // namespace

std::string StateIndexPage(const Regions& states) {
    return IndexPage(states, {"Current weather conditions by state", kStateListScript, kStateKey,
                              kCountryIndexPath, "Other countries"});
}

std::string CountryIndexPage(const Regions& countries) {
    return IndexPage(countries, {"Current weather conditions by country", kCountryListScript,
                                 kCountryKey, kStateIndexPath, "US states and territories"});
}

}  // namespace nimbrel::services
