// nimbrel-services: the weather and translation services on one port.
// Prints the port on standard output, then serves until it is told to stop
// (support/stop_request.h). On Windows it also starts at logon when asked
// (--install), and writes its log to a file as well as to the console.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "observations/live_observations.h"
#include "observations/observation_counts.h"
#include "observations/observation_disk_cache.h"
#include "server/open_file_limit.h"
#include "service_data.h"
#include "service_options.h"
#include "service_routes.h"
#include "service_health.h"
#include "service_metrics.h"
#include "service_server.h"
#include "stations/live_directory.h"
#include "stations/station_lists.h"
#include "support/log_text.h"
#include "support/log_writer.h"
#include "support/private_files.h"
#include "support/stop_request.h"
#include "support/user_folders.h"
#include "translation/libretranslate/libretranslate_translator.h"
#include "translation/counted_translator.h"
#include "translation/fleet_translations.h"
#ifdef NIMBREL_SHARED_CACHE
#include "shared_cache/shared_cache.h"
#endif
#include "translation/translation_cache.h"
#include "translation/translator_chain.h"
#if NIMBREL_SERVICES_APERTIUM
#include "translation/apertium/apertium_translator.h"
#endif
#if defined(_WIN32)
#include "support/windows_program.h"
#include "support/windows_text.h"
#endif

#ifndef NIMBREL_SERVICES_DATA_DIR
#define NIMBREL_SERVICES_DATA_DIR ""
#endif

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

// The program's arguments: on Windows in UTF-8, whatever the code page.
std::vector<std::string> Arguments(int argc, char** argv) {
#if defined(_WIN32)
    (void)argc;
    (void)argv;
    return services::ProgramArguments();
#else
    return std::vector<std::string>(argv + 1, argv + argc);
#endif
}

// The translators, as the options choose them, in the order they are asked.
struct Translators {
#if NIMBREL_SERVICES_APERTIUM
    std::optional<services::ApertiumTranslator> apertium;
#endif
    std::optional<services::LibreTranslateTranslator> libreTranslate;
    // Each backend counted for /metrics, by the name it has there.
    std::deque<std::pair<std::string, services::CountedTranslator>> counted;
    std::vector<const services::Translator*> chain;
    std::string summary;  // for the log

    Translators(const services::ServiceOptions& options, const services::Log& log) {
        if (options.translator != services::TranslatorChoice::LibreTranslate) {
#if NIMBREL_SERVICES_APERTIUM
            chain.push_back(&counted.emplace_back("apertium", apertium.emplace()).second);
            summary = "Apertium modes:";
            for (const std::string& mode : apertium->modes()) summary += " " + mode;
            if (apertium->modes().empty()) summary += " none";
#else
            summary = "no Apertium on Windows";
#endif
        }
        if (options.libreTranslate && options.translator != services::TranslatorChoice::Apertium) {
            libreTranslate.emplace(*options.libreTranslate, options.libreTranslateKey, log);
            chain.push_back(&counted.emplace_back("libretranslate", *libreTranslate).second);
            summary += summary.empty() ? "" : "; ";
            summary += "LibreTranslate at " + options.libreTranslate->Text();
        }
    }
};

// The log's file as well as standard error, where the system keeps one
// (Windows); none when it cannot be opened.
std::FILE* OpenLogFile(std::string& path) {
    path = services::DefaultLogFile();
    if (path.empty()) return nullptr;
    std::string error;
    const std::size_t separator = path.find_last_of("\\/");
    if (!services::MakePrivateFolders(path.substr(0, separator), error)) return nullptr;
#if defined(_WIN32)
    return _wfopen(services::WideFromUtf8(path).c_str(), L"ab");
#else
    return std::fopen(path.c_str(), "ab");
#endif
}

int Serve(const services::ServiceOptions& options, services::StopRequest& stop, bool ownConsole) {
    std::string logPath;
    std::FILE* logFile = OpenLogFile(logPath);
    // Every log line from here on, a request's included, is written by the
    // writer's thread: the io threads never wait on stderr.
    services::LogWriter logWriter(stderr, services::SystemThreads(), logFile);
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
        const Translators translators(options, log);
        const services::TranslatorChain chain(translators.chain);
        std::optional<services::FleetTranslations> fleetTranslations;
        if (fleet) fleetTranslations.emplace(chain, *fleet);
        const services::Translator& shared =
            fleetTranslations ? static_cast<const services::Translator&>(*fleetTranslations) : chain;
        const services::TranslationCache translator(shared);
        services::StationLists lists({data.states, data.countries});

        const services::CountedArchive archive(data.observations);
        const services::ObservationSource* observations = &archive;
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
                               (disk ? disk->folder() : "memory only (no user folder)");
        }
        std::unique_ptr<services::LiveDirectory> directory;
        if (options.stations) {
            directory = std::make_unique<services::LiveDirectory>(*options.stations, lists, log);
            directory->Start();
        }

        const services::ServiceRoutes routes(*observations, lists, translator);
        services::ServiceServer server(routes, log, Limits(), services::SystemThreads(), options.fairUse);
        services::RegisterObservationCounts(server.metrics(), live ? live->counts() : archive.counts());
        for (const auto& [name, backend] : translators.counted) services::RegisterTranslationCounts(server.metrics(), name, backend);
        services::RegisterTranslationCache(server.metrics(), translator);
        server.AddStatusLine([&live] {
            return live ? services::UpstreamStatusLine(live->State(), std::chrono::steady_clock::now(),
                                                       std::chrono::system_clock::now())
                        : services::kNoUpstreamLine;
        });
        server.AddStatusLine([&data] {
            return services::ArchiveStatusLine(data.observations.size(), services::kArchiveDay,
                                               std::chrono::system_clock::now());
        });
#ifdef NIMBREL_SHARED_CACHE
        if (sharedCache) server.AddStatusLine([&sharedCache] { return "shared cache: " + sharedCache->State(); });
#endif
        if (!server.Start(options.ListenPort(), options.listen)) {
            log(server.error());
            return 1;
        }
        std::printf("%d\n", server.port());
        std::fflush(stdout);
        const std::string address = "http://" + options.listen + ":" + std::to_string(server.port());
        log(std::to_string(data.observations.size()) + " archived stations; translation by " + translators.summary +
            "; observations: " + observationsText + fleetText + "; serving on " + address +
            " (as the plug-in's gateway, or as its http_proxy)" + (logFile ? "; log also in " + logPath : ""));
        if (ownConsole) {
            logWriter.Flush();
            std::fprintf(stderr,
                         "\nThe plug-in's gateway is serving on %s.\n"
                         "Leave this window open while you use the plug-in; close it or press Ctrl-C to stop.\n"
                         "(nimbrel-services --install starts it at each logon without a window.)\n\n",
                         address.c_str());
        }
        log("stopping on " + stop.Wait());
        if (!server.Stop()) {
            // A route still runs: what it uses must stay, so leave without
            // taking anything down.
            log("stopped with a request still being answered");
            logWriter.Flush();
            if (logFile) std::fflush(logFile);
            std::_Exit(0);
        }
    } catch (const std::exception& failure) {
        log(failure.what());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args = Arguments(argc, argv);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(services::kServiceUsage, stdout);
        return 0;
    }
    bool background = false;
#if defined(_WIN32)
    // --install and --uninstall come alone or first; --background is what
    // the logon start passes.
    const bool install = !args.empty() && args[0] == "--install";
    const bool uninstall = !args.empty() && args[0] == "--uninstall";
    background = !args.empty() && args[0] == services::kBackgroundOption;
    if (install || uninstall || background) args.erase(args.begin());
    // With no option it serves what the plug-in asks by default: today's
    // observations, on the gateway's port.
    if (args.empty() && !uninstall) args.push_back("--live");
#endif
    services::ServiceOptions options;
    options.data = services::DefaultDataFolder(NIMBREL_SERVICES_DATA_DIR);
    std::string error;
    if (!services::ParseServiceOptions(args, options, error)) {
        services::WriteLogLine(stderr, error);
        std::fputs(services::kServiceUsage, stderr);
        return 2;
    }
#ifndef NIMBREL_SHARED_CACHE
    if (options.sharedCache) {
        services::WriteLogLine(stderr, "--shared-cache: this build has no Redis client (hiredis was not found "
                                       "when it was built, or it is the Windows build); run it without the option");
        return 2;
    }
#endif
#if defined(_WIN32)
    if (install || uninstall) {
        if (uninstall && !args.empty()) {
            services::WriteLogLine(stderr, "--uninstall takes no other option");
            return 2;
        }
        std::string said;
        const bool done = install ? services::InstallLogonStart(args, said) : services::UninstallLogonStart(said);
        services::WriteLogLine(done ? stdout : stderr, said);
        return done ? 0 : 1;
    }
    // Started at logon: no console window stays open (the log file keeps
    // the lines). Double-clicked: the window says where it serves.
    const bool ownConsole = !background && services::HasOwnConsole();
    if (background) services::LeaveConsole();
#else
    const bool ownConsole = false;
#endif
    // Before any thread starts (see stop_request.h).
    services::StopRequest stop(background);
    const int status = Serve(options, stop, ownConsole);
    if (status != 0 && ownConsole) {
        // A window that vanished at once would hide why.
        std::fputs("\nPress Enter to close this window.\n", stderr);
        std::getchar();
    }
    return status;
}
