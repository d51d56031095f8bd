#include "translation_page.h"

#include "page_markers.h"

namespace services {
namespace {

std::string Page(const std::string& body) {
    return "<HTML>\n<HEAD>\n<TITLE>Translation</TITLE>\n</HEAD>\n<BODY>\n" + body +
           "\n</BODY>\n</HTML>\n";
}

}  // namespace

// The result stands as it is: the reader copies it unchanged into the report.
std::string TranslationPage(const std::string& result) {
    std::string table = "<TABLE><TR>";
    table += kTranslationStart;
    table += result;
    table += kTranslationEnd;
    table += "</TR></TABLE>";
    return Page(table);
}

std::string UnsupportedPairPage() {
    return Page("<P>This language pair is not available.</P>");
}

std::string TranslationFailedPage() {
    return Page("<P>The translation failed.</P>");
}

}  // namespace services
