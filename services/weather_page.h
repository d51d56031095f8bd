#pragma once
// A station's current-conditions page: the station's name in the bold
// header after the header marker, then one table row per observation line
// in the record's order, label cell and value cell.

#include <string>

#include "observation_record.h"

namespace services {

std::string WeatherPage(const ObservationRecord& record);

// The answer for a code that the service does not know: no header marker.
std::string UnknownStationPage();

}  // namespace services
