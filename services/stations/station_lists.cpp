#include "stations/station_lists.h"

namespace services {

StationRegions RegionsOf(const std::vector<Station>& directory) {
    return {UsStateRegions(directory), CountryRegions(directory)};
}

}  // namespace services
