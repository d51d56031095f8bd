// A /xstates or /xcountry run's texts: the name looked up on an index page,
// and a station-selection page cut into its boxes, which must be the boxes
// of the literal, step-by-step paging.
//
// Input: the name (an escaped string, see FuzzedDataProvider) from the
// front, the page after it; whether the name is missing from the end.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "stations/station_lists.h"
#include "fuzz_check.h"
#include "literal_list_paging.h"

using namespace nimbrel;

namespace {

// Spelled here on their own, as the service writes them.
constexpr char kSelectionMarker[] = "<option selected>Select a location";
constexpr char kListEnd[] = "</select>";

void CheckLookUp(const std::string& page, const char* name) {
    const IndexLookup found = LookUpStationName(page, name);
    const char* const wanted = name ? name : "";
    const auto first = std::search(page.begin(), page.end(), wanted, wanted + std::strlen(wanted));
    if (page.empty()) {
        FUZZ_CHECK(found.outcome == IndexLookup::Outcome::EndSilently);
    } else if (first == page.end()) {
        FUZZ_CHECK(found.outcome == IndexLookup::Outcome::ShowFallback);
    } else if (first - page.begin() < 5) {
        FUZZ_CHECK(found.outcome == IndexLookup::Outcome::EndSilently);
    } else {
        // The code starts five characters before the name's first occurrence.
        FUZZ_CHECK(found.outcome == IndexLookup::Outcome::ReadStationList);
        FUZZ_CHECK(found.code == std::string(first - 5, first - 3));
    }
}

// What the run shows of a station-selection page, done literally.
std::vector<std::string> LiteralStationListBoxes(const std::string& page) {
    const std::size_t marker = page.find(kSelectionMarker);
    if (marker == std::string::npos) return {};
    const std::size_t start = marker + std::strlen(kSelectionMarker);
    const std::size_t end = page.find(kListEnd, start);
    return LiteralPageListText(page.substr(start, end == std::string::npos ? end : end - start));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const bool noName = input.ConsumeBool();
    const std::string name = input.ConsumeRandomLengthString(64);
    const std::string page = input.ConsumeRemainingBytesAsString();

    CheckLookUp(page, noName ? nullptr : name.c_str());
    FUZZ_CHECK(StationListBoxes(page) == LiteralStationListBoxes(page));
    // The paging alone, on text that need not be a list.
    FUZZ_CHECK(PageListText(page) == LiteralPageListText(page));
    return 0;
}
