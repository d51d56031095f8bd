#pragma once
// The /xweather request: fetch the station's page, build the report, and
// read it aloud when the caller asks for it and no translation is asked for.

#include <string>

#include "common/service_addresses.h"

namespace nimbrel {

inline constexpr char kWeatherConnectError[] = "connexion error";
inline constexpr char kWeatherRequestError[] = "request error";
inline constexpr char kNoWeatherReport[] = "Error :s";

// The report for the station code (used as typed), translated when pair
// has exactly five characters; or one of the error texts above. With speak
// and no pair in force, a worker reads the report aloud.
// The service addresses are the plug-in's own unless a test names others.
std::string RequestWeatherReport(const std::string& code, const std::string& pair, bool speak,
                                 const char* weatherAddress = kWeatherServiceAddress,
                                 const char* translationAddress = kTranslationServiceAddress);

}  // namespace nimbrel
