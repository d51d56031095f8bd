// nimbrel-services: the weather and translation services on one port.
// Prints the port on standard output, then serves until SIGINT or SIGTERM.

#include <pthread.h>
#include <signal.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "translation/apertium/apertium_translator.h"
#include "translation/libretranslate/libretranslate_translator.h"
#include "stations/live_directory.h"
#include "observations/live_observations.h"
#include "support/log_text.h"
#include "support/log_writer.h"
#include "observations/observation_disk_cache.h"
#include "server/open_file_limit.h"
#include "service_data.h"
#include "service_options.h"
#include "service_routes.h"
#include "service_server.h"
#ifdef NIMBREL_SHARED_CACHE
#include "shared_cache/shared_cache.h"
#endif
#include "stations/station_lists.h"
#include "translation/fleet_translations.h"
#include "translation/translation_cache.h"
#include "translation/translator_chain.h"

namespace {

// Descriptors kept for what is not a client: the log, translators' pipes,
// upstream fetches, the disk cache.
constexpr std::size_t kDescriptorsKept = 128;

// The server's bounds, with no more connections than descriptors allow.
services::ServerLimits Limits() {
    services::ServerLimits limits;
    const std::size_t descriptors = services::RaiseOpenFileLimit();
    if (descriptors > kDescriptorsKept) limits.connections = std::min(limits.connections, descriptors - kDescriptorsKept);
    return limits;
}

// What translates, for the log: Apertium's modes and the server's address.
std::string TranslationSummary(const services::ApertiumTranslator* apertium,
                               const services::ServiceOptions& options) {
    std::string summary;
    if (apertium) {
        summary = "Apertium modes:";
        for (const std::string& mode : apertium->modes()) summary += " " + mode;
        if (apertium->modes().empty()) summary += " none";
    }
    if (options.libreTranslate && options.translator != services::TranslatorChoice::Apertium) {
        summary += summary.empty() ? "" : "; ";
        summary += "LibreTranslate at " + options.libreTranslate->Text();
    }
    return summary;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(services::kServiceUsage, stdout);
        return 0;
    }
    services::ServiceOptions options;
    options.data = NIMBREL_SERVICES_DATA_DIR;
    std::string error;
    if (!services::ParseServiceOptions(args, options, error)) {
        services::WriteLogLine(stderr, error);
        std::fputs(services::kServiceUsage, stderr);
        return 2;
    }
#ifndef NIMBREL_SHARED_CACHE
    if (options.sharedCache) {
        services::WriteLogLine(stderr, "--shared-cache: this build has no Redis client (hiredis was not found "
                                       "when it was built); run it without the option, or build it with libhiredis-dev");
        return 2;
    }
#endif
    // Blocked before any thread starts, so that every thread leaves them to
    // the sigwait below.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);
    // Every log line from here on, a request's included, is written by the
    // writer's thread: the io threads never wait on stderr.
    services::LogWriter logWriter(stderr);
    const services::Log log = [&logWriter](const std::string& line) { logWriter.Write(line); };

    try {
        const auto data = services::ServiceData::Load(options.data);
        const services::SharedStore* fleet = nullptr;
        std::string fleetText;  // said only in a fleet
#ifdef NIMBREL_SHARED_CACHE
        std::optional<services::SharedCache> sharedCache;
        if (options.sharedCache) {
            sharedCache.emplace(services::SharedCacheSettings{*options.sharedCache}, log);
            sharedCache->Reach();
            fleet = &*sharedCache;
            fleetText = "; shared cache: " + options.sharedCache->Text() + " (" + sharedCache->State() + ")";
        }
#endif
        std::optional<services::ApertiumTranslator> apertium;
        std::optional<services::LibreTranslateTranslator> libreTranslate;
        std::vector<const services::Translator*> translators;
        if (options.translator != services::TranslatorChoice::LibreTranslate) translators.push_back(&apertium.emplace());
        if (options.libreTranslate && options.translator != services::TranslatorChoice::Apertium) {
            translators.push_back(
                &libreTranslate.emplace(*options.libreTranslate, options.libreTranslateKey, log));
        }
        const services::TranslatorChain chain(translators);
        std::optional<services::FleetTranslations> fleetTranslations;
        if (fleet) fleetTranslations.emplace(chain, *fleet);
        const services::Translator& shared =
            fleetTranslations ? static_cast<const services::Translator&>(*fleetTranslations) : chain;
        const services::TranslationCache translator(shared);
        services::StationLists lists({data.states, data.countries});

        const services::ObservationSource* observations = &data.observations;
        std::string observationsText = "the archive of 2017-07-29";
        std::optional<services::ObservationDiskCache> disk;
        std::unique_ptr<services::LiveObservations> live;
        if (options.observations) {
            const std::string folder = options.cacheDir.empty() ? services::DefaultCacheFolder() : options.cacheDir;
            if (!folder.empty()) disk.emplace(folder, services::kObservationLimits.bytes);
            live = std::make_unique<services::LiveObservations>(
                services::LiveSettings{*options.observations, std::chrono::seconds(options.cacheSeconds),
                                       services::kObservationLimits},
                disk ? &*disk : nullptr, data.observations, log, fleet);
            observations = live.get();
            observationsText = "live from " + options.observations->Text() + ", each kept " +
                               std::to_string(options.cacheSeconds) + " s; last good ones kept in " +
                               (disk ? disk->folder() : "memory only (no $HOME)");
        }
        std::unique_ptr<services::LiveDirectory> directory;
        if (options.stations) {
            directory = std::make_unique<services::LiveDirectory>(*options.stations, lists, log);
            directory->Start();
        }

        const services::ServiceRoutes routes(*observations, lists, translator);
        services::ServiceServer server(routes, log, Limits());
        if (!server.Start(options.ListenPort(), options.listen)) {
            log(server.error());
            return 1;
        }
        std::printf("%d\n", server.port());
        std::fflush(stdout);
        log(std::to_string(data.observations.size()) + " archived stations; translation by " +
            TranslationSummary(apertium ? &*apertium : nullptr, options) + "; observations: " + observationsText +
            fleetText +
            "; serving on http://" + options.listen + ":" + std::to_string(server.port()) +
            " (as the plug-in's gateway, or as its http_proxy)");
        int signal = 0;
        sigwait(&stopSignals, &signal);
        if (!server.Stop()) {
            // A route still runs: what it uses must stay, so leave without
            // taking anything down.
            log("stopped with a request still being answered");
            logWriter.Flush();
            std::_Exit(0);
        }
    } catch (const std::exception& failure) {
        log(failure.what());
        return 1;
    }
    return 0;
}
