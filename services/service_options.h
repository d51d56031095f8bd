#pragma once
// The command line of nimbrel-services.

#include <optional>
#include <string>
#include <vector>

#include "services/fair_use.h"
#include "services/support/result.h"
#include "services/shared_cache/redis_address.h"
#include "services/upstream/upstream_url.h"

namespace nimbrel::services {

// Where a gateway listens unless told otherwise; a release build of the
// plug-in reaches it there.
inline constexpr int kGatewayPort = NIMBREL_GATEWAY_PORT;
inline constexpr char kPublicObservationsUrl[] = "https://tgftp.nws.noaa.gov/data/observations/metar/decoded/";
inline constexpr char kPublicStationsUrl[] = "https://tgftp.nws.noaa.gov/data/nsd_cccc.txt";
inline constexpr int kDefaultCacheSeconds = 900;

extern const char kServiceUsage[];

// Which engine translates: Apertium where it has a mode, LibreTranslate
// where a server is given, or the first of the two that has the pair.
enum class TranslatorChoice { Apertium, LibreTranslate, Auto };

struct ServiceOptions {
    std::optional<int> port;
    std::string listen = "127.0.0.1";
    std::string data;  // the archive's folder
    std::optional<UpstreamUrl> observations;
    std::optional<UpstreamUrl> stations;
    int cacheSeconds = kDefaultCacheSeconds;
    std::string cacheDir;  // empty: the default folder
    std::optional<UpstreamUrl> libreTranslate;
    std::string libreTranslateKey;  // sent as api_key when not empty
    TranslatorChoice translator = TranslatorChoice::Auto;
    FairUse fairUse;
    std::optional<RedisAddress> sharedCache;  // the fleet's Redis

    bool Live() const { return observations || stations; }
    // Live without --port: the gateway's port; else a free one.
    int ListenPort() const { return port ? *port : Live() ? kGatewayPort : 0; }
};

// The options args give (without the program's name), over the defaults
// given; a failure naming the option when one is unknown, lacks its value
// or has a bad one.
Result<ServiceOptions, Failure> ParseServiceOptions(const std::vector<std::string>& args, ServiceOptions options = {});

}  // namespace nimbrel::services
