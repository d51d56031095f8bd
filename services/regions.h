#pragma once
// The states and countries of the index pages, each with the two-character
// code that its station-selection page takes and the stations it holds.

#include <string>
#include <vector>

#include "station_directory.h"

namespace services {

struct Region {
    std::string code;
    std::string name;
    std::vector<Station> stations;  // sorted by place name
};

class Regions {
public:
    explicit Regions(std::vector<Region> regions);

    const std::vector<Region>& all() const { return regions_; }
    // Codes are matched ignoring case; nullptr for none.
    const Region* Find(const std::string& code) const;

private:
    std::vector<Region> regions_;  // sorted by name
};

// Every US state and territory, including those without a station.
Regions UsStateRegions(const std::vector<Station>& directory);

// Every country with a station outside the US. Spellings that differ only
// in case or blanks ("Bahamas,The", "JAPAN") join the commonest one. The
// codes are made from the names' letters: the first letter and the first
// later letter that gives an unused code.
Regions CountryRegions(const std::vector<Station>& directory);

}  // namespace services
