#pragma once
// The states and countries of the index pages, each with the two-character
// code that its station-selection page takes and the stations it holds.

#include <string>
#include <vector>

#include "services/stations/station_directory.h"

namespace nimbrel::services {

struct Region {
    std::string code;
    std::string name;
    std::vector<Station> stations;  // sorted by place name
};

class Regions {
public:
    explicit Regions(std::vector<Region> regions);

    // In the index page's order: the shorter name first, names of one
    // length by name. A name can only hold shorter ones, so every name
    // comes before each name that holds it ("India" before "British Indian
    // Ocean Territory"), as the reader of the index page needs (see
    // index_page.h). Put in order once, as the regions are made, not for
    // each page.
    const std::vector<Region>& all() const { return regions_; }
    // Codes are matched ignoring case; nullptr for none.
    const Region* Find(const std::string& code) const;

private:
    std::vector<Region> regions_;
};

// Every US state and territory, including those without a station.
Regions UsStateRegions(const std::vector<Station>& directory);

// Every country with a station outside the US. Spellings that differ only
// in case or blanks ("Bahamas,The", "JAPAN") join the commonest one. The
// codes are made from the names' letters: the first letter and the first
// later letter that gives an unused code, else the first unused one. There
// are 676 codes: countries past them, in name order, are left out.
Regions CountryRegions(const std::vector<Station>& directory);

}  // namespace nimbrel::services
