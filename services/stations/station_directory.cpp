#include "services/stations/station_directory.h"

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string_view>

#include "services/observations/observation_record.h"
#include "services/stations/us_states.h"
#include "services/support/text_match.h"

namespace nimbrel::services {
namespace {

constexpr std::size_t kCodeField = 0;
constexpr std::size_t kPlaceField = 3;
constexpr std::size_t kStateField = 4;
constexpr std::size_t kCountryField = 5;

std::vector<std::string> Fields(std::string_view line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    while (true) {
        const auto end = line.find(';', start);
        fields.push_back(std::string(TrimmedBlanks(line.substr(start, end - start))));
        if (end == std::string_view::npos) return fields;
        start = end + 1;
    }
}

bool IsUnitedStates(const std::string& text) { return EqualsNoCase(text, "united states"); }

std::string Field(const std::vector<std::string>& fields, std::size_t index) {
    return index < fields.size() ? fields[index] : std::string();
}

}  // namespace

std::vector<Station> ParseStationDirectory(const std::string& text) {
    std::vector<Station> stations;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const auto fields = Fields(line);
        Station station;
        station.code = Field(fields, kCodeField);
        if (station.code.empty()) continue;
        station.place = Field(fields, kPlaceField);
        if (station.place.empty()) station.place = station.code;
        const std::string state = Field(fields, kStateField);
        const std::string country = Field(fields, kCountryField);
        if (FindUsState(state.c_str()) != nullptr) {
            station.usState = state;
        } else if (!IsUnitedStates(country) && !IsUnitedStates(state)) {
            // One row lacks its state field, which moves the country into it:
            // such a US station belongs to no list rather than to a country.
            station.country = country;
        }
        stations.push_back(std::move(station));
    }
    return stations;
}

bool IsStationDirectory(const std::string& text) {
    constexpr std::size_t kLeastFields = 6;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\n' && c != '\r' && c != '\t') || byte == 0x7F) return false;
    }
    std::istringstream lines(text);
    std::string line;
    std::size_t rows = 0;
    while (std::getline(lines, line)) {
        if (TrimmedBlanks(line).empty()) continue;
        const auto fields = Fields(line);
        if (fields.size() < kLeastFields || !IsStationCode(fields[kCodeField])) return false;
        ++rows;
    }
    return rows > 0;
}

std::vector<Station> LoadStationDirectory(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw std::runtime_error("cannot open " + path);
    std::ostringstream text;
    text << file.rdbuf();
    return ParseStationDirectory(text.str());
}

}  // namespace nimbrel::services
