#include "index_lookup.h"

// The code begins this many characters before the name.
constexpr std::size_t kCodeOffset = 5;
constexpr std::size_t kCodeLength = 2;

IndexLookup LookUpStationName(const std::string& indexPage, const char* name) {
    if (indexPage.empty()) return {IndexLookup::EndSilently, {}};
    std::size_t match = indexPage.find(name ? name : "");
    if (match == std::string::npos) return {IndexLookup::ShowFallback, {}};
    if (match < kCodeOffset) return {IndexLookup::EndSilently, {}};
    return {IndexLookup::ReadStationList, indexPage.substr(match - kCodeOffset, kCodeLength)};
}
