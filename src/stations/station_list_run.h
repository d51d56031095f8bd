#pragma once
// /xstates and /xcountry: the station codes of a state or a country, read
// from the weather service and shown in message boxes on the host's thread.

#include "common/service_addresses.h"
#include "http/page_fetch.h"
#include "station_lists.h"

namespace nimbrel {

// The index pages and station lists run to a few MB.
inline constexpr PageSource kStationListPages{kWeatherServiceAddress, kResponseDeadlineMs, 4 * 1024 * 1024};

// One run for the name (the placeholder already put in for an empty
// parameter). Failures end the run with nothing shown.
void ShowStationList(const StationListSettings& settings, const char* name,
                     const PageSource& source = kStationListPages);

}  // namespace nimbrel
