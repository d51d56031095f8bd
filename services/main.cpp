// nimbrel-services: the stand-in weather and translation services on one
// loopback port. Prints the port on standard output, then serves until
// SIGINT or SIGTERM.

#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "apertium_translator.h"
#include "http_call.h"
#include "libretranslate_translator.h"
#include "service_data.h"
#include "service_routes.h"
#include "service_server.h"
#include "translation_cache.h"
#include "translator_chain.h"

namespace {

constexpr char kUsage[] =
    "usage: nimbrel-services [--port N] [--data DIR] [--libretranslate-url URL]\n"
    "                        [--libretranslate-key KEY] [--translator apertium|libretranslate|auto]\n"
    "  --port N                  loopback port to listen on; 0 (the default) picks a free one\n"
    "  --data DIR                folder of the observation archive and the station directory\n"
    "  --libretranslate-url URL  a LibreTranslate server (http:// or https://), for the\n"
    "                            pairs Apertium has no mode for\n"
    "  --libretranslate-key KEY  its API key, when it asks for one\n"
    "  --translator WHICH        apertium, libretranslate (needs --libretranslate-url), or\n"
    "                            auto (the default): Apertium where it has a mode, else\n"
    "                            LibreTranslate when a URL is given\n";

enum class TranslatorChoice { Apertium, LibreTranslate, Auto };

struct Options {
    int port = 0;
    std::string data = NIMBREL_SERVICES_DATA_DIR;
    std::optional<services::ServerAddress> libreTranslate;
    std::string libreTranslateKey;
    TranslatorChoice translator = TranslatorChoice::Auto;
};

bool ParsePort(const char* text, int& port) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 0 || value > 65535) return false;
    port = static_cast<int>(value);
    return true;
}

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--port") == 0 && hasValue) {
            if (!ParsePort(argv[++i], options.port)) return false;
        } else if (std::strcmp(argv[i], "--data") == 0 && hasValue) {
            options.data = argv[++i];
        } else if (std::strcmp(argv[i], "--libretranslate-url") == 0 && hasValue) {
            options.libreTranslate = services::ParseServerAddress(argv[++i]);
            if (!options.libreTranslate) return false;
        } else if (std::strcmp(argv[i], "--libretranslate-key") == 0 && hasValue) {
            options.libreTranslateKey = argv[++i];
        } else if (std::strcmp(argv[i], "--translator") == 0 && hasValue) {
            const std::string which = argv[++i];
            if (which == "apertium") {
                options.translator = TranslatorChoice::Apertium;
            } else if (which == "libretranslate") {
                options.translator = TranslatorChoice::LibreTranslate;
            } else if (which == "auto") {
                options.translator = TranslatorChoice::Auto;
            } else {
                return false;
            }
        } else {
            return false;
        }
    }
    return options.translator != TranslatorChoice::LibreTranslate || options.libreTranslate.has_value();
}

// What translates, for the log: Apertium's modes and the server's address.
std::string TranslationSummary(const services::ApertiumTranslator* apertium, const Options& options) {
    std::string summary;
    if (apertium) {
        summary = "Apertium modes:";
        for (const std::string& mode : apertium->modes()) summary += " " + mode;
        if (apertium->modes().empty()) summary += " none";
    }
    if (options.libreTranslate && options.translator != TranslatorChoice::Apertium) {
        summary += summary.empty() ? "" : "; ";
        summary += "LibreTranslate at " + options.libreTranslate->origin + options.libreTranslate->basePath;
    }
    return summary;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    // Blocked before any thread starts, so that every thread leaves them to
    // the sigwait below.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    try {
        const auto data = services::ServiceData::Load(options.data);
        std::optional<services::ApertiumTranslator> apertium;
        std::optional<services::LibreTranslateTranslator> libreTranslate;
        std::vector<const services::Translator*> translators;
        if (options.translator != TranslatorChoice::LibreTranslate) translators.push_back(&apertium.emplace());
        if (options.libreTranslate && options.translator != TranslatorChoice::Apertium) {
            translators.push_back(&libreTranslate.emplace(*options.libreTranslate, options.libreTranslateKey));
        }
        const services::TranslatorChain chain(translators);
        const services::TranslationCache translator(chain);
        const services::ServiceRoutes routes(data, translator);
        services::ServiceServer server(routes, [](const std::string& line) {
            std::fprintf(stderr, "nimbrel-services: %s\n", line.c_str());
        });
        if (!server.Start(options.port)) {
            std::fprintf(stderr, "nimbrel-services: %s\n", server.error().c_str());
            return 1;
        }
        std::printf("%d\n", server.port());
        std::fflush(stdout);
        std::fprintf(stderr,
                     "nimbrel-services: %zu stations; translation by %s; serving on "
                     "http://127.0.0.1:%d (use it as http_proxy)\n",
                     data.observations.size(), TranslationSummary(apertium ? &*apertium : nullptr, options).c_str(),
                     server.port());
        int signal = 0;
        sigwait(&stopSignals, &signal);
        server.Stop();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "nimbrel-services: %s\n", error.what());
        return 1;
    }
    return 0;
}
