// Each client's allowance, on a clock the test moves by hand, and the
// table of clients kept within its bound whatever addresses come.

#include "services/server/client_buckets.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::chrono_literals;
using boost::asio::ip::make_address;
using nimbrel::services::ClientBuckets;

namespace {

const ClientBuckets::Clock::time_point kStart{1h};

}  // namespace

TEST(ClientBuckets, ABurstThenTheSustainedRateThenAWaitToldInWholeSeconds) {
    // 2 a second, 3 at once: each step asks once at `after` from the start.
    const struct {
        std::chrono::milliseconds after;
        int wait;  // 0: allowed
    } steps[] = {
        {0ms, 0}, {0ms, 0}, {0ms, 0},  // the burst
        {0ms, 1},                      // empty: half a second to the next token, told as 1
        {499ms, 1},                    // still short of one token
        {500ms, 0},                    // a token came
        {500ms, 1},
        {1500ms, 0}, {1500ms, 0}, {1500ms, 1},  // a second's refill is 2 tokens, no more
        {60s, 0}, {60s, 0}, {60s, 0}, {60s, 1},  // a long pause refills only up to the burst
    };
    ClientBuckets buckets({2, 3}, 100);
    const auto client = make_address("192.0.2.7");
    for (const auto& step : steps) {
        EXPECT_EQ(buckets.Take(client, kStart + step.after), step.wait) << step.after.count() << " ms";
    }
    // Refused asks take nothing: after the refusal at 60 s, half a second
    // still gives one.
    EXPECT_EQ(buckets.Take(client, kStart + 60s + 500ms), 0);

    // A slow rate tells a long wait.
    ClientBuckets slow({0.25, 1}, 100);
    EXPECT_EQ(slow.Take(client, kStart), 0);
    EXPECT_EQ(slow.Take(client, kStart), 4);

    // A rate of 0 is no limit, and remembers no one.
    ClientBuckets unlimited({0, 1}, 100);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(unlimited.Take(client, kStart), 0);
    EXPECT_EQ(unlimited.size(), 0u);
}

TEST(ClientBuckets, ClientsAreApartButOneIPv6SubscriberIsOne) {
    const struct {
        std::string first, second;
        bool same;
    } cases[] = {
        {"192.0.2.7", "192.0.2.8", false},
        {"192.0.2.7", "::ffff:192.0.2.7", true},  // as a dual-stack listener sees it
        {"2001:db8:1:2::1", "2001:db8:1:2:ffff::9", true},  // one /64
        {"2001:db8:1:2::1", "2001:db8:1:3::1", false},
        {"::1", "127.0.0.1", false},
    };
    for (const auto& each : cases) {
        ClientBuckets buckets({1, 1}, 100);
        EXPECT_EQ(buckets.Take(make_address(each.first), kStart), 0);
        EXPECT_EQ(buckets.Take(make_address(each.second), kStart) != 0, each.same) << each.first << " " << each.second;
    }
}

TEST(ClientBuckets, TheTableStaysWithinItsBoundAndForgetsTheLeastRecent) {
    ClientBuckets buckets({1, 1}, 10000);
    const auto regular = make_address("198.51.100.1");
    EXPECT_EQ(buckets.Take(regular, kStart), 0);
    for (std::uint32_t i = 0; i < 100000; ++i) {
        const boost::asio::ip::address_v4 address(0x0A000000u + i);  // 10.0.0.0/8
        // The regular client keeps asking (its refill keeps pace): never forgotten, never refused.
        if (i % 1000 == 0) {
            EXPECT_EQ(buckets.Take(regular, kStart + std::chrono::seconds(i / 1000 + 1)), 0) << i;
        }
        buckets.Take(address, kStart);
    }
    EXPECT_LE(buckets.size(), 10000u);
    EXPECT_GE(buckets.size(), 9000u) << "the bound is the table's, not a far smaller one";
    // The first of the flood was forgotten: it comes back with a full bucket.
    EXPECT_EQ(buckets.Take(boost::asio::ip::address_v4(0x0A000000u), kStart), 0);
}
