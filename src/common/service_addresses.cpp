#include "service_addresses.h"

namespace nimbrel {

const char kWeatherServiceAddress[] = NIMBREL_WEATHER_SERVICE_URL;
const char kTranslationServiceAddress[] = NIMBREL_TRANSLATION_SERVICE_URL;

}  // namespace nimbrel
