#include "services/service_data.h"

#include "services/stations/station_directory.h"

namespace nimbrel::services {

ServiceData ServiceData::Load(const std::string& folder) {
    const auto directory = LoadStationDirectory(folder + "/nsd_cccc.txt");
    return {ObservationArchive::Load(folder + "/observations-" + kArchiveDay + ".tar.gz"),
            UsStateRegions(directory), CountryRegions(directory)};
}

}  // namespace nimbrel::services
