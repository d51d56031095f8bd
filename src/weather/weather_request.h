#pragma once
// The /xweather request: fetch the station's page, build the report, and
// read it aloud when the caller asks for it and no translation is asked for.

#include <string>

#include "common/service_addresses.h"
#include "translation/translation_client.h"
#include "http/page_fetch.h"

namespace nimbrel {

inline constexpr char kWeatherConnectError[] = "connexion error";
inline constexpr char kWeatherRequestError[] = "request error";
inline constexpr char kNoWeatherReport[] = "Error :s";

// A station's page is a few KB.
inline constexpr PageSource kStationPages{kWeatherServiceAddress, kResponseDeadlineMs, 64 * 1024};

// The report for the station code (used as typed), translated when pair
// has exactly five characters; or one of the error texts above. With speak
// and no pair in force, a worker reads the report aloud.
// The services are the plug-in's own unless a test names others.
std::string RequestWeatherReport(const std::string& code, const std::string& pair, bool speak,
                                 const PageSource& stationPages = kStationPages,
                                 const PageSource& translations = kTranslations);

}  // namespace nimbrel
