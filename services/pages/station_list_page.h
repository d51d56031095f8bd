#pragma once
// The station-selection page of one state or country: after the selection
// marker, one option per line, value the station code and label its place,
// then the list end.

#include <string>

#include "services/stations/regions.h"

namespace nimbrel::services {

std::string StationListPage(const Region& region);

// The answer for a code that names no state or country: no selection marker.
std::string UnknownRegionPage();

}  // namespace nimbrel::services
