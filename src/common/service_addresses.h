#pragma once
// Base addresses of the two web services the plug-in reads, as the build
// names them (the CMake cache variables NIMBREL_WEATHER_SERVICE_URL and
// NIMBREL_TRANSLATION_SERVICE_URL). A release build reaches the services'
// gateway on this machine; other builds name reserved hosts that never
// resolve by themselves: in tests and in the console host every request
// reaches the stand-in services through the process's preconfigured proxy.

namespace nimbrel {

extern const char kWeatherServiceAddress[];
extern const char kTranslationServiceAddress[];

// The agent text every request to either service carries.
inline constexpr char kUserAgent[] = "Mozilla/4.0 (compatible; )";

}  // namespace nimbrel
