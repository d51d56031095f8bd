#include "services/stations/regions.h"

#include <algorithm>
#include <map>
#include <set>

#include "services/stations/us_states.h"
#include "services/support/text_match.h"

namespace nimbrel::services {
namespace {

std::string SpellingKey(const std::string& name) {
    std::string key;
    for (const char c : name) {
        if (c != ' ') key += AsciiLower(c);
    }
    return key;
}

void SortByPlace(std::vector<Station>& stations) {
    std::stable_sort(stations.begin(), stations.end(), [](const Station& a, const Station& b) {
        const std::string left = AsciiUppered(a.place);
        const std::string right = AsciiUppered(b.place);
        return left != right ? left < right : a.code < b.code;
    });
}

constexpr std::size_t kCountryCodes = 26 * 26;

// taken must hold fewer than kCountryCodes codes.
std::string NewCountryCode(const std::string& name, std::set<std::string>& taken) {
    std::string letters;
    for (const char c : AsciiUppered(name)) {
        if (c >= 'A' && c <= 'Z') letters += c;
    }
    for (std::size_t i = 1; i < letters.size(); ++i) {
        const std::string code{letters[0], letters[i]};
        if (taken.insert(code).second) return code;
    }
    for (char first = 'A'; first <= 'Z'; ++first) {
        for (char second = 'A'; second <= 'Z'; ++second) {
            const std::string code{first, second};
            if (taken.insert(code).second) return code;
        }
    }
    return {};
}

}  // namespace

Regions::Regions(std::vector<Region> regions) : regions_(std::move(regions)) {
    std::sort(regions_.begin(), regions_.end(), [](const Region& a, const Region& b) {
        return a.name.size() != b.name.size() ? a.name.size() < b.name.size() : a.name < b.name;
    });
    for (Region& region : regions_) SortByPlace(region.stations);
}

const Region* Regions::Find(const std::string& code) const {
    const std::string wanted = AsciiUppered(code);
    for (const Region& region : regions_) {
        if (region.code == wanted) return &region;
    }
    return nullptr;
}

Regions UsStateRegions(const std::vector<Station>& directory) {
    std::vector<Region> regions;
    for (const UsState& state : kUsStates) {
        Region region{state.code, state.name, {}};
        for (const Station& station : directory) {
            if (station.usState == state.code) region.stations.push_back(station);
        }
        regions.push_back(std::move(region));
    }
    return Regions(std::move(regions));
}

Regions CountryRegions(const std::vector<Station>& directory) {
    // Spelling key -> spellings and how often each is used.
    std::map<std::string, std::map<std::string, int>> spellings;
    for (const Station& station : directory) {
        if (!station.country.empty()) ++spellings[SpellingKey(station.country)][station.country];
    }
    std::map<std::string, Region> byKey;
    for (const auto& [key, counts] : spellings) {
        const auto commonest = std::max_element(
            counts.begin(), counts.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
        byKey[key].name = commonest->first;
    }
    for (const Station& station : directory) {
        if (!station.country.empty()) byKey[SpellingKey(station.country)].stations.push_back(station);
    }

    std::vector<Region> regions;
    for (auto& entry : byKey) regions.push_back(std::move(entry.second));
    std::sort(regions.begin(), regions.end(),
              [](const Region& a, const Region& b) { return a.name < b.name; });
    if (regions.size() > kCountryCodes) regions.resize(kCountryCodes);
    std::set<std::string> taken;
    for (Region& region : regions) region.code = NewCountryCode(region.name, taken);
    return Regions(std::move(regions));
}

}  // namespace nimbrel::services
