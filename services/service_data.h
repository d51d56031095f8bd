#pragma once
// Everything the weather service serves, read once at start-up from the
// data folder: the observation archive and the station directory.

#include <string>

#include "services/observations/observation_archive.h"
#include "services/stations/regions.h"

namespace nimbrel::services {

// The day the archive's observations were made, which its file is named
// after.
inline constexpr char kArchiveDay[] = "2017-07-29";

struct ServiceData {
    ObservationArchive observations;
    Regions states;
    Regions countries;

    // Throws std::runtime_error when a file is missing or unreadable.
    static ServiceData Load(const std::string& folder);
};

}  // namespace nimbrel::services
