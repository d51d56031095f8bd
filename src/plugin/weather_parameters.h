#pragma once
// The parameter text of /xweather, split into the station code and the
// language pair.

#include <cstddef>
#include <string>

namespace nimbrel {

constexpr std::size_t kStationCodeLength = 4;

// Each field holds its whole text, however long: a first word longer than a
// station code, or a pair longer than five characters, is kept as typed, so
// it is stored as typed and never passes for a good code or a pair in force.
struct WeatherParameters {
    std::string stationCode;   // the text before the first blank, as typed
    std::string languagePair;  // the text after it, less leading white space
    bool storePreferences;     // the whole parameter text has at least 4 characters
    bool codeIsGood;           // the station code has exactly 4 characters
};

// Splits at the first blank (character 32 only); without one, all of the
// text is the station code and the pair is empty. A null text is empty.
WeatherParameters SplitWeatherParameters(const char* parameterText);

}  // namespace nimbrel
