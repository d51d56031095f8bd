#include "weather_parameters.h"

#include <cstring>

namespace nimbrel {

namespace {

// Shorter parameter texts store no preferences.
constexpr std::size_t kShortestStoredParameters = 4;

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

WeatherParameters SplitWeatherParameters(const char* parameterText) {
    std::string text = parameterText ? parameterText : "";
    WeatherParameters result;
    std::size_t blank = text.find(' ');
    result.stationCode = text.substr(0, blank);
    if (blank != std::string::npos) {
        std::size_t pair = blank + 1;
        while (pair < text.size() && IsWhiteSpace(text[pair])) ++pair;
        result.languagePair = text.substr(pair);
    }
    result.storePreferences = text.size() >= kShortestStoredParameters;
    result.codeIsGood = result.stationCode.size() == kStationCodeLength;
    return result;
}

}  // namespace nimbrel
