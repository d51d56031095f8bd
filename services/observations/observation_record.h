#pragma once
// One station's decoded observation, as the weather service publishes it:
// a name line, a time line, then one "Label: value" line per observation.
// The format has no written definition; what is read here is what real
// files hold.

#include <string>
#include <string_view>
#include <vector>

namespace nimbrel::services {

struct ObservationLine {
    std::string label;
    std::string value;  // without the trailing ":N" alert level
};

struct ObservationRecord {
    std::string station;   // "Nice, France (LFMN)"
    std::string position;  // what follows the code on the name line: "43-39N 007-12E 10M"
    std::string time;      // as the source gave it
    std::vector<ObservationLine> lines;  // the known ones, in the record's order
};

// code is the station's code, which closes its name on the first line. A
// line whose label is not one the source is known to write is left out.
ObservationRecord ParseObservationRecord(std::string_view text, std::string_view code);

// Four upper-case letters or digits, as the source's station codes are:
// only such a code goes into an upstream address or a file name.
bool IsStationCode(std::string_view code);

// Whether text is a decoded observation of that station, as an answer of
// the source or a file kept from one must be before it is served: no
// control bytes but line ends and tabs, the station's name line (or the
// source's "Station name not available"), a time line in UTC, and the raw
// report ("ob:") of that very station.
bool IsDecodedObservation(std::string_view text, std::string_view code);

}  // namespace nimbrel::services
