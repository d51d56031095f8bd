#pragma once
// The weather service's station directory (nsd_cccc.txt): one station a
// line, fields separated by ";".

#include <string>
#include <vector>

namespace nimbrel::services {

struct Station {
    std::string code;
    std::string place;
    std::string usState;  // postal code of a US state or territory, else empty
    std::string country;  // as the directory spells it; empty for US stations
};

// Throws std::runtime_error when the file cannot be read.
std::vector<Station> LoadStationDirectory(const std::string& path);
std::vector<Station> ParseStationDirectory(const std::string& text);

// Whether text, fetched from the source, reads as a station directory: no
// control bytes but line ends and tabs, at least one row, and every line
// that is not blank a row of six fields or more, first a station code.
bool IsStationDirectory(const std::string& text);

}  // namespace nimbrel::services
