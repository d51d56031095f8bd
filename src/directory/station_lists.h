#pragma once
// The portable steps of a /xstates or /xcountry run. The run reads the
// index page (settings.indexPagePath), looks the name up with
// LookUpStationName, reads StationListPath(settings, code), and shows each
// text of StationListBoxes in turn, waiting for OK before the next.

#include <string>
#include <vector>

#include "index_lookup.h"
#include "station_list_settings.h"

namespace nimbrel {

// The box texts of a station-selection page; none when the page has no list.
std::vector<std::string> StationListBoxes(const std::string& listPage);

}  // namespace nimbrel
