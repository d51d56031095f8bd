// Two gateways sharing one Redis, as a fleet behind a proxy runs them,
// before one fake source that counts what it is asked.

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "tests/services/fake_source.h"
#include "tests/services/loopback_client.h"
#include "tests/services/observation_fixtures.h"
#include "services/observations/live_observations.h"
#include "tests/services/shared_cache/redis_server.h"
#include "services/service_server.h"
#include "tests/services/service_test_data.h"
#include "services/shared_cache/shared_cache.h"

using namespace std::chrono_literals;

namespace {

class NoTranslator : public nimbrel::services::Translator {
public:
    nimbrel::services::Translation Translate(const std::string&, const std::string&) const override { return {}; }
};

nimbrel::services::FairUse Unlimited() {
    nimbrel::services::FairUse fairUse;
    fairUse.exemptLoopback = true;
    return fairUse;
}

struct Gateway {
    Gateway(const std::string& source, const nimbrel::services::RedisAddress& redis)
        : cache({redis, "fleet:"}, {}),  // no log: the store must do without one
          live({*nimbrel::services::ParseUpstreamUrl(source), 1h, nimbrel::services::kObservationLimits}, nullptr,
               TestServiceData().observations, [](const std::string&) {}, &cache) {
        EXPECT_TRUE(server.Start(0)) << server.error();
    }

    nimbrel::services::SharedCache cache;
    nimbrel::services::LiveObservations live;
    NoTranslator translator;
    nimbrel::services::StationLists lists{{TestServiceData().states, TestServiceData().countries}};
    nimbrel::services::ServiceRoutes routes{live, lists, translator};
    // 100 pages at once from loopback: the load of many clients, not one.
    nimbrel::services::ServiceServer server{routes, {}, nimbrel::services::ServerLimits(), nimbrel::services::SystemThreads(), Unlimited()};
};

struct Answer {
    std::string code;
    std::string text;
    std::chrono::steady_clock::duration took;
};

// Every code asked of every gateway at once.
std::vector<Answer> AskAll(const std::vector<Gateway*>& gateways, const std::vector<std::string>& codes) {
    std::vector<std::future<Answer>> asks;
    for (Gateway* gateway : gateways) {
        for (const std::string& code : codes) {
            asks.push_back(std::async(std::launch::async, [port = gateway->server.port(), code] {
                const auto start = std::chrono::steady_clock::now();
                std::string text = loopback::Exchange(port, "GET /weather/current/" + code + ".html HTTP/1.0\r\n\r\n");
                return Answer{code, std::move(text), std::chrono::steady_clock::now() - start};
            }));
        }
    }
    std::vector<Answer> answers;
    for (auto& ask : asks) answers.push_back(ask.get());
    return answers;
}

std::vector<std::string> Codes(char letter) {
    std::vector<std::string> codes;
    for (int i = 100; i < 150; ++i) codes.push_back(letter + std::to_string(i));
    return codes;
}

void ExpectLiveAnswers(const std::vector<Answer>& answers) {
    for (const Answer& answer : answers) {
        EXPECT_EQ(answer.text.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << answer.code << ": " << answer.text.substr(0, 40);
        EXPECT_NE(answer.text.find("(" + answer.code + ")"), std::string::npos) << answer.code;
        // The 4 s bound, with room for a busy machine.
        EXPECT_LT(answer.took, 5s) << answer.code;
    }
}

}  // namespace

TEST(Fleet, TwoGatewaysFetchEachStationOnceAndGoOnAloneWithoutRedis) {
    SKIP_WITHOUT_REDIS();
    std::optional<RedisServer> redis(std::in_place);
    FakeSource source;
    for (char letter : {'F', 'G'}) {
        for (const std::string& code : Codes(letter)) source.Put("/" + code + ".TXT", ObservationOf(code));
    }
    source.SetMode(FakeSource::Mode::Slow);  // so that both gateways ask while the first fetch runs
    Gateway one(source.Url(), redis->Address()), other(source.Url(), redis->Address());

    ExpectLiveAnswers(AskAll({&one, &other}, Codes('F')));
    EXPECT_EQ(source.Requests(), 50);

    // Redis killed while the next stations are being asked for.
    auto answers = std::async(std::launch::async, [&] { return AskAll({&one, &other}, Codes('G')); });
    std::this_thread::sleep_for(200ms);
    redis.reset();
    ExpectLiveAnswers(answers.get());
    EXPECT_GE(source.Requests(), 100);
    EXPECT_LE(source.Requests(), 150);
    for (Gateway* gateway : {&one, &other}) EXPECT_EQ(gateway->cache.State().rfind("unreachable since ", 0), 0u);
}
