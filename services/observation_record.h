#pragma once
// One station's decoded observation, as the weather service publishes it:
// a name line, a time line, then one "Label: value" line per observation.

#include <string>
#include <string_view>
#include <vector>

namespace services {

struct ObservationLine {
    std::string label;
    std::string value;  // without the trailing ":N" alert level
};

struct ObservationRecord {
    std::string station;   // "Nice, France (LFMN)"
    std::string position;  // what follows the code on the name line: "43-39N 007-12E 10M"
    std::string time;
    std::vector<ObservationLine> lines;  // in the record's order
};

// code is the station's code, which closes its name on the first line.
ObservationRecord ParseObservationRecord(std::string_view text, std::string_view code);

}  // namespace services
