// nimbrel-services: the stand-in weather and translation services on one
// loopback port. Prints the port on standard output, then serves until
// SIGINT or SIGTERM.

#include <pthread.h>
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

#include "apertium_translator.h"
#include "service_data.h"
#include "service_routes.h"
#include "service_server.h"

namespace {

constexpr char kUsage[] =
    "usage: nimbrel-services [--port N] [--data DIR]\n"
    "  --port N    loopback port to listen on; 0 (the default) picks a free one\n"
    "  --data DIR  folder of the observation archive and the station directory\n";

struct Options {
    int port = 0;
    std::string data = NIMBREL_SERVICES_DATA_DIR;
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
        } else {
            return false;
        }
    }
    return true;
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
        const services::ApertiumTranslator translator;
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
                     "nimbrel-services: %zu stations, translation modes: %zu; serving on "
                     "http://127.0.0.1:%d (use it as http_proxy)\n",
                     data.observations.size(), translator.modes().size(), server.port());
        int signal = 0;
        sigwait(&stopSignals, &signal);
        server.Stop();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "nimbrel-services: %s\n", error.what());
        return 1;
    }
    return 0;
}
