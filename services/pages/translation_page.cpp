#include "services/pages/translation_page.h"

#include "services/pages/page_markers.h"

namespace nimbrel::services {
namespace {

std::string Page(const std::string& body) {
    return "<HTML>\n<HEAD>\n<TITLE>Translation</TITLE>\n</HEAD>\n<BODY>\n" + body +
           "\n</BODY>\n</HTML>\n";
}

}  // namespace

// The reader copies the result unchanged into the report, so it stands as
// it is but for control bytes (a server's answer may hold any): each
// becomes "?", as a character the code page lacks does. Tabs and line
// ends stay.
std::string TranslationPage(const std::string& result) {
    std::string table = "<TABLE><TR>";
    table += kTranslationStart;
    for (const char c : result) {
        const auto byte = static_cast<unsigned char>(c);
        const bool control = (byte < 0x20 && c != '\t' && c != '\r' && c != '\n') || byte == 0x7F;
        table += control ? '?' : c;
    }
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

}  // namespace nimbrel::services
