#include "services/stations/station_lists.h"

namespace nimbrel::services {

StationRegions RegionsOf(const std::vector<Station>& directory) {
    return {UsStateRegions(directory), CountryRegions(directory)};
}

}  // namespace nimbrel::services
