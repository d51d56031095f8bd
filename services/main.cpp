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

#include "services/observations/live_observations.h"
#include "services/observations/observation_counts.h"
#include "services/observations/observation_disk_cache.h"
#include "services/server/open_file_limit.h"
#include "services/service_data.h"
#include "services/service_options.h"
#include "services/service_routes.h"
#include "services/service_health.h"
#include "services/service_metrics.h"
#include "services/service_server.h"
#include "services/stations/live_directory.h"
#include "services/stations/station_lists.h"
#include "services/support/log_text.h"
#include "services/support/log_writer.h"
#include "services/support/private_files.h"
#include "services/support/stop_request.h"
#include "services/support/user_folders.h"
#include "services/translation/libretranslate/libretranslate_translator.h"
#include "services/translation/counted_translator.h"
#include "services/translation/fleet_translations.h"
#ifdef NIMBREL_SHARED_CACHE
#include "services/shared_cache/shared_cache.h"
#endif
#include "services/translation/translation_cache.h"
#include "services/translation/translator_chain.h"
#if NIMBREL_SERVICES_APERTIUM
#include "services/translation/apertium/apertium_translator.h"
#endif
#if defined(_WIN32)
#include "services/support/windows_program.h"
#include "services/support/windows_text.h"
#endif

#ifndef NIMBREL_SERVICES_DATA_DIR
#define NIMBREL_SERVICES_DATA_DIR ""
#endif

namespace nimbrel::services {
namespace {

// Descriptors kept for what is not a client: the log, translators' pipes,
// upstream fetches, the disk cache.
constexpr std::size_t kDescriptorsKept = 128;

// The server's bounds, with no more connections than descriptors allow.
ServerLimits Limits() {
    ServerLimits limits;
    const std::size_t descriptors = RaiseOpenFileLimit();
    if (descriptors > kDescriptorsKept) limits.connections = std::min(limits.connections, descriptors - kDescriptorsKept);
    return limits;
}

// The program's arguments: on Windows in UTF-8, whatever the code page.
std::vector<std::string> Arguments(int argc, char** argv) {
#if defined(_WIN32)
    (void)argc;
    (void)argv;
    return ProgramArguments();
#else
    return std::vector<std::string>(argv + 1, argv + argc);
#endif
}

// The translators, as the options choose them, in the order they are asked.
struct Translators {
#if NIMBREL_SERVICES_APERTIUM
    std::optional<ApertiumTranslator> apertium;
#endif
    std::optional<LibreTranslateTranslator> libreTranslate;
    // Each backend counted for /metrics, by the name it has there.
    std::deque<std::pair<std::string, CountedTranslator>> counted;
    std::vector<const Translator*> chain;
    std::string summary;  // for the log

    Translators(const ServiceOptions& options, const Log& log) {
        if (options.translator != TranslatorChoice::LibreTranslate) {
#if NIMBREL_SERVICES_APERTIUM
            chain.push_back(&counted.emplace_back("apertium", apertium.emplace()).second);
            summary = "Apertium modes:";
            for (const std::string& mode : apertium->modes()) summary += " " + mode;
            if (apertium->modes().empty()) summary += " none";
#else
            summary = "no Apertium on Windows";
#endif
        }
        if (options.libreTranslate && options.translator != TranslatorChoice::Apertium) {
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
    path = DefaultLogFile();
    if (path.empty()) return nullptr;
    const std::size_t separator = path.find_last_of("\\/");
    if (!MakePrivateFolders(path.substr(0, separator))) return nullptr;
#if defined(_WIN32)
    return _wfopen(WideFromUtf8(path).c_str(), L"ab");
#else
    return std::fopen(path.c_str(), "ab");
#endif
}

int Serve(const ServiceOptions& options, StopRequest& stop, bool ownConsole) {
    std::string logPath;
    std::FILE* logFile = OpenLogFile(logPath);
    // Every log line from here on, a request's included, is written by the
    // writer's thread: the io threads never wait on stderr.
    LogWriter logWriter(stderr, SystemThreads(), logFile);
    const Log log = [&logWriter](const std::string& line) { logWriter.Write(line); };

    try {
        const auto data = ServiceData::Load(options.data);
        const SharedStore* fleet = nullptr;
        std::string fleetText;  // said only in a fleet
#ifdef NIMBREL_SHARED_CACHE
        std::optional<SharedCache> sharedCache;
        if (options.sharedCache) {
            sharedCache.emplace(SharedCacheSettings{*options.sharedCache}, log);
            sharedCache->Reach();
            fleet = &*sharedCache;
            fleetText = "; shared cache: " + options.sharedCache->Text() + " (" + sharedCache->State() + ")";
        }
#endif
        const Translators translators(options, log);
        const TranslatorChain chain(translators.chain);
        std::optional<FleetTranslations> fleetTranslations;
        if (fleet) fleetTranslations.emplace(chain, *fleet);
        const Translator& shared =
            fleetTranslations ? static_cast<const Translator&>(*fleetTranslations) : chain;
        const TranslationCache translator(shared);
        StationLists lists({data.states, data.countries});

        const CountedArchive archive(data.observations);
        const ObservationSource* observations = &archive;
        std::string observationsText = "the archive of 2017-07-29";
        std::optional<ObservationDiskCache> disk;
        std::unique_ptr<LiveObservations> live;
        if (options.observations) {
            const std::string folder = options.cacheDir.empty() ? DefaultCacheFolder() : options.cacheDir;
            if (!folder.empty()) disk.emplace(folder, kObservationLimits.bytes);
            live = std::make_unique<LiveObservations>(
                LiveSettings{*options.observations, std::chrono::seconds(options.cacheSeconds),
                                       kObservationLimits},
                disk ? &*disk : nullptr, data.observations, log, fleet);
            observations = live.get();
            observationsText = "live from " + options.observations->Text() + ", each kept " +
                               std::to_string(options.cacheSeconds) + " s; last good ones kept in " +
                               (disk ? disk->folder() : "memory only (no user folder)");
        }
        std::unique_ptr<LiveDirectory> directory;
        if (options.stations) {
            directory = std::make_unique<LiveDirectory>(*options.stations, lists, log);
            directory->Start();
        }

        const ServiceRoutes routes(*observations, lists, translator);
        ServiceServer server(routes, log, Limits(), SystemThreads(), options.fairUse);
        RegisterObservationCounts(server.metrics(), live ? live->counts() : archive.counts());
        for (const auto& [name, backend] : translators.counted) RegisterTranslationCounts(server.metrics(), name, backend);
        RegisterTranslationCache(server.metrics(), translator);
        server.AddStatusLine([&live] {
            return live ? UpstreamStatusLine(live->State(), std::chrono::steady_clock::now(),
                                                       std::chrono::system_clock::now())
                        : kNoUpstreamLine;
        });
        server.AddStatusLine([&data] {
            return ArchiveStatusLine(data.observations.size(), kArchiveDay,
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

// The program: its options, the Windows logon start, then the service.
int Run(int argc, char** argv) {
    std::vector<std::string> args = Arguments(argc, argv);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(kServiceUsage, stdout);
        return 0;
    }
    bool background = false;
#if defined(_WIN32)
    // --install and --uninstall come alone or first; --background is what
    // the logon start passes.
    const bool install = !args.empty() && args[0] == "--install";
    const bool uninstall = !args.empty() && args[0] == "--uninstall";
    background = !args.empty() && args[0] == kBackgroundOption;
    if (install || uninstall || background) args.erase(args.begin());
    // With no option it serves what the plug-in asks by default: today's
    // observations, on the gateway's port.
    if (args.empty() && !uninstall) args.push_back("--live");
#endif
    ServiceOptions defaults;
    defaults.data = DefaultDataFolder(NIMBREL_SERVICES_DATA_DIR);
    const Result<ServiceOptions, Failure> parsed = ParseServiceOptions(args, std::move(defaults));
    if (!parsed) {
        WriteLogLine(stderr, parsed.error().why);
        std::fputs(kServiceUsage, stderr);
        return 2;
    }
    const ServiceOptions& options = *parsed;
#ifndef NIMBREL_SHARED_CACHE
    if (options.sharedCache) {
        WriteLogLine(stderr, "--shared-cache: this build has no Redis client (hiredis was not found "
                                       "when it was built, or it is the Windows build); run it without the option");
        return 2;
    }
#endif
#if defined(_WIN32)
    if (install || uninstall) {
        if (uninstall && !args.empty()) {
            WriteLogLine(stderr, "--uninstall takes no other option");
            return 2;
        }
        std::string said;
        const bool done = install ? InstallLogonStart(args, said) : UninstallLogonStart(said);
        WriteLogLine(done ? stdout : stderr, said);
        return done ? 0 : 1;
    }
    // Started at logon: no console window stays open (the log file keeps
    // the lines). Double-clicked: the window says where it serves.
    const bool ownConsole = !background && HasOwnConsole();
    if (background) LeaveConsole();
#else
    const bool ownConsole = false;
#endif
    // Before any thread starts (see stop_request.h).
    StopRequest stop(background);
    const int status = Serve(options, stop, ownConsole);
    if (status != 0 && ownConsole) {
        // A window that vanished at once would hide why.
        std::fputs("\nPress Enter to close this window.\n", stderr);
        std::getchar();
    }
    return status;
}

}  // namespace
}  // namespace nimbrel::services

int main(int argc, char** argv) { return nimbrel::services::Run(argc, argv); }
