#include "services/service_options.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

#define NIMBREL_TEXT_OF(value) #value
#define NIMBREL_TEXT(value) NIMBREL_TEXT_OF(value)

namespace nimbrel::services {

const char kServiceUsage[] =
    "usage: nimbrel-services [--port N] [--listen ADDR] [--data DIR] [--live]\n"
    "                        [--observations-url URL] [--stations-url URL]\n"
    "                        [--cache-seconds N] [--cache-dir DIR]\n"
    "                        [--libretranslate-url URL] [--libretranslate-key KEY]\n"
    "                        [--translator apertium|libretranslate|auto]\n"
    "                        [--rate-pages RATE:BURST] [--rate-translations RATE:BURST]\n"
    "                        [--rate-exempt-loopback] [--shared-cache redis://HOST[:PORT][/DB]]\n"
#if defined(_WIN32)
    "       nimbrel-services --install [OPTION...]\n"
    "       nimbrel-services --uninstall\n"
#endif
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
#if defined(_WIN32)
    "                           (default %LOCALAPPDATA%\\nimbrel-services\\cache); nothing\n"
    "                           is written without a live source\n"
#else
    "                           (default $XDG_CACHE_HOME/nimbrel-services, else\n"
    "                           ~/.cache/nimbrel-services); nothing is written without a\n"
    "                           live source\n"
#endif
    "  --libretranslate-url URL a LibreTranslate server (http:// or https://), for the\n"
    "                           pairs Apertium has no mode for\n"
    "  --libretranslate-key KEY its API key, when it asks for one\n"
    "  --translator WHICH       apertium, libretranslate (needs --libretranslate-url), or\n"
    "                           auto (the default): Apertium where it has a mode, else\n"
    "                           LibreTranslate when a URL is given\n"
    "  --rate-pages RATE:BURST  what one client address may ask of every page but\n"
    "                           translations: RATE a second, BURST at once; beyond it a\n"
    "                           429 with Retry-After (default 5:60; a RATE of 0: no limit)\n"
    "  --rate-translations RATE:BURST\n"
    "                           the same for translation pieces (default 4:80)\n"
    "  --rate-exempt-loopback   no limit for clients on this machine (127.0.0.0/8, ::1)\n"
    "  --shared-cache URL       a Redis server (redis://HOST[:PORT][/DB]) that the gateways of\n"
    "                           a fleet share: the last good observations, the translations,\n"
    "                           and which of them fetches a station\n"
#if defined(_WIN32)
    "  --install [OPTION...]    start at each logon of this user, without a window, with\n"
    "                           these options, and start so now (no administrator rights)\n"
    "  --uninstall              start at logon no more, and stop the one started so\n"
    "With no option it serves as with --live, on 127.0.0.1:" NIMBREL_TEXT(NIMBREL_GATEWAY_PORT) ", where the plug-in\n"
    "asks by default. Apertium does not exist on Windows: only a LibreTranslate\n"
    "server translates here, and a pair it does not serve (or any pair, without\n"
    "--libretranslate-url) is answered \"This language pair is not available.\", as on\n"
    "Linux when no translator has it. The log is written to the console and to\n"
    "%LOCALAPPDATA%\\nimbrel-services\\nimbrel-services.log.\n"
#endif
    ;

namespace {

bool ParseWhole(const std::string& text, long low, long high, long& value) {
    errno = 0;
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 10);
    return !text.empty() && *end == '\0' && errno == 0 && value >= low && value <= high;
}

// "RATE:BURST": RATE a decimal from 0, BURST a whole number from 1.
bool ParseAllowance(const std::string& text, Allowance& allowance) {
    constexpr double kMost = 1e6;
    const auto colon = text.find(':');
    if (colon == std::string::npos || colon == 0) return false;
    const std::string rate = text.substr(0, colon);
    errno = 0;
    char* end = nullptr;
    const double perSecond = std::strtod(rate.c_str(), &end);
    long burst = 0;
    if (*end != '\0' || errno != 0 || !(perSecond >= 0 && perSecond <= kMost) ||
        !ParseWhole(text.substr(colon + 1), 1, static_cast<long>(kMost), burst)) {
        return false;
    }
    allowance = {perSecond, static_cast<double>(burst)};
    return true;
}

}  // namespace

Result<ServiceOptions, Failure> ParseServiceOptions(const std::vector<std::string>& args, ServiceOptions options) {
    bool live = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--live" || name == "--rate-exempt-loopback") {
            (name == "--live" ? live : options.fairUse.exemptLoopback) = true;
            continue;
        }
        const bool known = name == "--port" || name == "--listen" || name == "--data" ||
                           name == "--observations-url" || name == "--stations-url" ||
                           name == "--cache-seconds" || name == "--cache-dir" ||
                           name == "--libretranslate-url" || name == "--libretranslate-key" ||
                           name == "--translator" || name == "--rate-pages" || name == "--rate-translations" ||
                           name == "--shared-cache";
        if (!known) {
            return Failure{"unknown option " + name};
        }
        if (i + 1 == args.size()) {
            return Failure{name + " needs a value"};
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
        } else if (name == "--rate-pages" || name == "--rate-translations") {
            good = ParseAllowance(value, name == "--rate-pages" ? options.fairUse.pages : options.fairUse.translations);
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
            return Failure{"bad value for " + name + ": " + value};
        }
    }
    if (options.translator == TranslatorChoice::LibreTranslate && !options.libreTranslate) {
        return Failure{"--translator libretranslate needs --libretranslate-url"};
    }
    if (live) {
        if (!options.observations) options.observations = ParseUpstreamUrl(kPublicObservationsUrl);
        if (!options.stations) options.stations = ParseUpstreamUrl(kPublicStationsUrl);
    }
    return options;
}

}  // namespace nimbrel::services
