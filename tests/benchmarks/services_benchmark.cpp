// The services on loopback: a station page fetched cold from a fake source
// (every ask goes upstream) beside a direct fetch of the same file from
// that source, the page once cached, and a fresh request while 64 idle and
// 64 half-sent connections wait. Each iteration opens its own connection.

#include <benchmark/benchmark.h>
#include <httplib.h>

#include <cstring>
#include <vector>

#include "tests/services/fake_source.h"
#include "services/observations/live_observations.h"
#include "tests/services/observation_fixtures.h"
#include "services/service_data.h"
#include "services/service_routes.h"
#include "services/service_server.h"

namespace {

using namespace std::chrono_literals;

class NoTranslator : public nimbrel::services::Translator {
public:
    nimbrel::services::Translation Translate(const std::string&, const std::string&) const override { return {}; }
};

// The services in live mode in front of a fake source that holds KLXV.
struct Gateway {
    explicit Gateway(std::chrono::milliseconds cacheTime)
        : live({*nimbrel::services::ParseUpstreamUrl(source.Url("/decoded/")), cacheTime, nimbrel::services::kObservationLimits},
               nullptr, data.observations, [](const std::string&) {}) {
        source.Put("/decoded/KLXV.TXT", FixtureObservation("KLXV"));
        server.Start(0);
    }

    FakeSource source;
    nimbrel::services::ServiceData data = nimbrel::services::ServiceData::Load(SERVICES_DATA_DIR);
    nimbrel::services::StationLists lists{{data.states, data.countries}};
    NoTranslator translator;
    nimbrel::services::LiveObservations live;
    nimbrel::services::ServiceRoutes routes{live, lists, translator};
    // The benchmark's client is on loopback and asks far past fair use.
    nimbrel::services::ServiceServer server{routes, {}, nimbrel::services::ServerLimits(), nimbrel::services::SystemThreads(), [] {
                                       nimbrel::services::FairUse fairUse;
                                       fairUse.exemptLoopback = true;
                                       return fairUse;
                                   }()};
};

void Get(benchmark::State& state, int port, const std::string& path) {
    httplib::Client client("127.0.0.1", port);
    const auto answer = client.Get(path);
    if (!answer || answer->status != 200) state.SkipWithError("the request failed");
}

void BM_DirectFetchOfTheFile(benchmark::State& state) {
    FakeSource source;
    source.Put("/decoded/KLXV.TXT", FixtureObservation("KLXV"));
    for (auto _ : state) Get(state, source.Port(), "/decoded/KLXV.TXT");
}
BENCHMARK(BM_DirectFetchOfTheFile)->Unit(benchmark::kMicrosecond);

void BM_StationPageColdLiveFetch(benchmark::State& state) {
    Gateway gateway(0ms);
    for (auto _ : state) Get(state, gateway.server.port(), "/weather/current/KLXV.html");
    state.counters["upstream_requests"] = gateway.source.Requests();
}
BENCHMARK(BM_StationPageColdLiveFetch)->Unit(benchmark::kMicrosecond);

void BM_StationPageCached(benchmark::State& state) {
    Gateway gateway(1h);
    for (auto _ : state) Get(state, gateway.server.port(), "/weather/current/KLXV.html");
    state.counters["upstream_requests"] = gateway.source.Requests();
}
BENCHMARK(BM_StationPageCached)->Unit(benchmark::kMicrosecond);

void BM_FreshRequestBeside128SlowClients(benchmark::State& state) {
    Gateway gateway(1h);
    std::vector<nimbrel::UniqueFd> waiting;
    for (int i = 0; i < 64; ++i) {
        for (const char* start : {"", "GET /weather/current/KLXV.html HTTP/1.1\r\nHo"}) {
            nimbrel::UniqueFd socket(::socket(AF_INET, SOCK_STREAM, 0));
            sockaddr_in address{};
            address.sin_family = AF_INET;
            address.sin_port = htons(static_cast<uint16_t>(gateway.server.port()));
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            connect(socket.get(), reinterpret_cast<sockaddr*>(&address), sizeof address);
            send(socket.get(), start, std::strlen(start), MSG_NOSIGNAL);
            waiting.push_back(std::move(socket));
        }
    }
    for (auto _ : state) Get(state, gateway.server.port(), "/weather/current/KLXV.html");
}
BENCHMARK(BM_FreshRequestBeside128SlowClients)->Unit(benchmark::kMicrosecond)->MinTime(1.0);

}  // namespace

BENCHMARK_MAIN();
