#include "station_list_run.h"

#include <windows.h>

#include <string>

#include "http/page_fetch.h"
#include "station_lists.h"

namespace nimbrel {

namespace {

static_assert(kStationListBoxStyle == MB_OK, "the boxes have one OK button");

void ShowBox(const char* text, const char* caption) { MessageBoxA(nullptr, text, caption, kStationListBoxStyle); }

// A page read to its end; false when the request failed or the page is empty.
bool ReadPage(HttpSession& session, const PageSource& source, const std::string& path, std::string& page) {
    return FetchPage(session, source, path, page) == FetchResult::Fetched && !page.empty();
}

}  // namespace

void ShowStationList(const StationListSettings& settings, const char* name, const PageSource& source) {
    HttpSession session;
    std::string indexPage;
    if (!ReadPage(session, source, settings.indexPagePath, indexPage)) return;

    IndexLookup lookup = LookUpStationName(indexPage, name);
    if (lookup.outcome == IndexLookup::Outcome::EndSilently) return;
    if (lookup.outcome == IndexLookup::Outcome::ShowFallback) {
        ShowBox(settings.fallbackText, settings.fallbackCaption);
        return;
    }

    std::string listPage;
    if (!ReadPage(session, source, StationListPath(settings, lookup.code), listPage)) return;
    for (const std::string& box : StationListBoxes(listPage)) ShowBox(box.c_str(), kStationListBoxCaption);
}

}  // namespace nimbrel
