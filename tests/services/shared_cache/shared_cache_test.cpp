#include "services/shared_cache/shared_cache.h"

#include <gtest/gtest.h>

#include <mutex>
#include <thread>

#include "tests/services/shared_cache/redis_server.h"

using namespace std::chrono_literals;
using nimbrel::services::SharedCache;
using Claim = nimbrel::services::SharedStore::Claim;

namespace {

class SharedCacheTest : public testing::Test {
protected:
    std::unique_ptr<SharedCache> Cache(nimbrel::services::RedisAddress address, std::chrono::milliseconds rest = 30s) {
        return std::make_unique<SharedCache>(nimbrel::services::SharedCacheSettings{address, "test:", {}, rest},
                                             [this](const std::string& line) {
                                                 std::lock_guard<std::mutex> lock(mutex_);
                                                 log_ += line + "\n";
                                             });
    }
    int LinesWith(const std::string& part) {
        std::lock_guard<std::mutex> lock(mutex_);
        int count = 0;
        for (auto at = log_.find(part); at != std::string::npos; at = log_.find(part, at + 1)) ++count;
        return count;
    }

    std::mutex mutex_;
    std::string log_;
};

// What Redis itself says, on a connection of the test's own.
nimbrel::services::RespReply Ask(const RedisServer& server, const std::vector<std::string>& args) {
    const auto client = nimbrel::services::RespClient::Connect(server.Address(), {});
    if (!client) {
        ADD_FAILURE() << client.error().why;
        return {};
    }
    const auto reply = (*client)->Command(args);
    if (!reply) {
        ADD_FAILURE() << reply.error().why;
        return {};
    }
    return *reply;
}

}  // namespace

TEST_F(SharedCacheTest, EveryKeyCarriesThePrefixAndAnExpiry) {
    SKIP_WITHOUT_REDIS();
    const RedisServer server;
    const auto cache = Cache(server.Address());
    const std::string bytes("a\0b\r\n$3\r\n\xff", 10);  // any byte, RESP's own included
    cache->Set("value", bytes, 1h);
    EXPECT_EQ(cache->Get("value", bytes.size()), bytes);
    EXPECT_EQ(cache->Get("value", bytes.size() - 1), std::nullopt);  // longer than asked
    EXPECT_EQ(cache->Get("missing", 100), std::nullopt);
    EXPECT_EQ(cache->TryClaim("claim", 1h), Claim::Taken);
    EXPECT_EQ(Cache(server.Address())->TryClaim("claim", 1h), Claim::HeldByAnother);
    EXPECT_EQ(cache->State(), "ok");

    EXPECT_EQ(Ask(server, {"DBSIZE"}).integer, 2);
    for (const char* key : {"test:value", "test:claim"}) {
        const long long ttl = Ask(server, {"PTTL", key}).integer;
        EXPECT_GT(ttl, 0) << key;
        EXPECT_LE(ttl, 3600 * 1000) << key;
    }
}

TEST_F(SharedCacheTest, OutOfReachItSaysSoOnceRestsAndComesBack) {
    SKIP_WITHOUT_REDIS();
    std::optional<RedisServer> server(std::in_place);
    const nimbrel::services::RedisAddress address = server->Address();
    const auto cache = Cache(address, 200ms);
    EXPECT_EQ(cache->State(), "not reached yet");
    cache->Reach();
    EXPECT_EQ(cache->State(), "ok");

    server.reset();  // killed
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(cache->Get("a", 16), std::nullopt);
        EXPECT_EQ(cache->TryClaim("b", 1h), Claim::Unavailable);
    }
    EXPECT_EQ(cache->State().rfind("unreachable since 20", 0), 0u) << cache->State();
    EXPECT_EQ(LinesWith("is unreachable"), 1);

    server.emplace(address.port);
    std::optional<std::string> back;
    for (int i = 0; i < 100 && !back; ++i) {
        std::this_thread::sleep_for(50ms);
        cache->Set("a", "back", 1h);
        back = cache->Get("a", 16);
    }
    EXPECT_EQ(back, "back");
    EXPECT_EQ(cache->State(), "ok");
    EXPECT_EQ(LinesWith("is reachable again"), 1);
    EXPECT_EQ(LinesWith("is unreachable"), 1);
}
