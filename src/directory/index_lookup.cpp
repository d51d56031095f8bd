#include "index_lookup.h"

namespace nimbrel {

namespace {
// The code begins this many characters before the name.
constexpr std::size_t kCodeOffset = 5;
constexpr std::size_t kCodeLength = 2;
}  // namespace

IndexLookup LookUpStationName(const std::string& indexPage, const char* name) {
    if (indexPage.empty()) return {IndexLookup::Outcome::EndSilently, {}};
    std::size_t match = indexPage.find(name ? name : "");
    if (match == std::string::npos) return {IndexLookup::Outcome::ShowFallback, {}};
    if (match < kCodeOffset) return {IndexLookup::Outcome::EndSilently, {}};
    return {IndexLookup::Outcome::ReadStationList, indexPage.substr(match - kCodeOffset, kCodeLength)};
}

}  // namespace nimbrel
