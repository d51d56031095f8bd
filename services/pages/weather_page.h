#pragma once
// A station's current-conditions page: the station's name in the bold
// header after the header marker, then a table row (label cell and value
// cell) for each line of the record that the plug-in reads, in the
// plug-in's order; the record's other lines are left out.

#include <string>

#include "services/observations/observation_record.h"

namespace nimbrel::services {

std::string WeatherPage(const ObservationRecord& record);

// The answer for a code that the service does not know: no header marker.
std::string UnknownStationPage();

}  // namespace nimbrel::services
