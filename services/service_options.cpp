#include "service_options.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#define NIMBREL_TEXT_OF(value) #value
#define NIMBREL_TEXT(value) NIMBREL_TEXT_OF(value)

namespace services {

const char kServiceUsage[] =
    "usage: nimbrel-services [--port N] [--listen ADDR] [--data DIR] [--live]\n"
    "                        [--observations-url URL] [--stations-url URL]\n"
    "                        [--cache-seconds N] [--cache-dir DIR]\n"
    "                        [--libretranslate-url URL] [--libretranslate-key KEY]\n"
    "                        [--translator apertium|libretranslate|auto]\n"
    "                        [--shared-cache redis://HOST[:PORT][/DB]]\n"
    "  --port N                 port to listen on; 0 picks a free one. Default: " NIMBREL_TEXT(NIMBREL_GATEWAY_PORT) " with a\n"
    "                           live source, else 0\n"
    "  --listen ADDR            address to listen on (default 127.0.0.1)\n"
    "  --data DIR               folder of the observation archive and the station directory\n"
    "  --live                   both live sources at their public addresses:\n"
    "                           https://tgftp.nws.noaa.gov/data/observations/metar/decoded/\n"
    "                           and https://tgftp.nws.noaa.gov/data/nsd_cccc.txt\n"
    "  --observations-url URL   folder of the decoded observation files (URL + CODE.TXT);\n"
    "                           turns live observations on\n"
    "  --stations-url URL       the station directory (nsd_cccc.txt), reloaded once a day\n"
    "  --cache-seconds N        how long a fetched observation is served before it is\n"
    "                           fetched again (default 900)\n"
    "  --cache-dir DIR          where the last good observations are kept across restarts\n"
    "                           (default $XDG_CACHE_HOME/nimbrel-services, else\n"
    "                           ~/.cache/nimbrel-services); nothing is written without a\n"
    "                           live source\n"
    "  --libretranslate-url URL a LibreTranslate server (http:// or https://), for the\n"
    "                           pairs Apertium has no mode for\n"
    "  --libretranslate-key KEY its API key, when it asks for one\n"
    "  --translator WHICH       apertium, libretranslate (needs --libretranslate-url), or\n"
    "                           auto (the default): Apertium where it has a mode, else\n"
    "                           LibreTranslate when a URL is given\n"
    "  --shared-cache URL       a Redis server (redis://HOST[:PORT][/DB]) that the gateways of\n"
    "                           a fleet share: the last good observations, the translations,\n"
    "                           and which of them fetches a station\n";

namespace {

bool ParseWhole(const std::string& text, long low, long high, long& value) {
    errno = 0;
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return !text.empty() && *end == '\0' && errno == 0 && value >= low && value <= high;
}

}  // namespace

bool ParseServiceOptions(const std::vector<std::string>& args, ServiceOptions& options, std::string& error) {
    bool live = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--live") {
            live = true;
            continue;
        }
        const bool known = name == "--port" || name == "--listen" || name == "--data" ||
                           name == "--observations-url" || name == "--stations-url" ||
                           name == "--cache-seconds" || name == "--cache-dir" ||
                           name == "--libretranslate-url" || name == "--libretranslate-key" ||
                           name == "--translator" || name == "--shared-cache";
        if (!known) {
            error = "unknown option " + name;
            return false;
        }
        if (i + 1 == args.size()) {
            error = name + " needs a value";
            return false;
        }
        const std::string& value = args[++i];
        long number = 0;
        bool good = !value.empty();
        if (name == "--port") {
            good = ParseWhole(value, 0, 65535, number);
            options.port = static_cast<int>(number);
        } else if (name == "--cache-seconds") {
            good = ParseWhole(value, 0, INT_MAX, number);
            options.cacheSeconds = static_cast<int>(number);
        } else if (name == "--observations-url" || name == "--stations-url" || name == "--libretranslate-url") {
            auto url = ParseUpstreamUrl(value);
            good = url.has_value();
            (name == "--observations-url" ? options.observations
             : name == "--stations-url"   ? options.stations
                                          : options.libreTranslate) = std::move(url);
        } else if (name == "--shared-cache") {
            options.sharedCache = ParseRedisAddress(value);
            good = options.sharedCache.has_value();
        } else if (name == "--libretranslate-key") {
            options.libreTranslateKey = value;
        } else if (name == "--translator") {
            good = value == "apertium" || value == "libretranslate" || value == "auto";
            options.translator = value == "apertium"         ? TranslatorChoice::Apertium
                                 : value == "libretranslate" ? TranslatorChoice::LibreTranslate
                                                             : TranslatorChoice::Auto;
        } else {
            (name == "--listen" ? options.listen : name == "--data" ? options.data : options.cacheDir) = value;
        }
        if (!good) {
            error = "bad value for " + name + ": " + value;
            return false;
        }
    }
    if (options.translator == TranslatorChoice::LibreTranslate && !options.libreTranslate) {
        error = "--translator libretranslate needs --libretranslate-url";
        return false;
    }
    if (live) {
        if (!options.observations) options.observations = ParseUpstreamUrl(kPublicObservationsUrl);
        if (!options.stations) options.stations = ParseUpstreamUrl(kPublicStationsUrl);
    }
    return true;
}

}  // namespace services
