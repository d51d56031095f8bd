// The live source of gateways that share a store: one fetch a station
// across the fleet, the others served from the store or their fallbacks.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tests/services/fake_source.h"
#include "tests/services/memory_store.h"
#include "tests/services/observation_fixtures.h"
#include "services/observations/fleet_observation.h"
#include "services/observations/live_observations.h"

using namespace std::chrono_literals;
using nimbrel::services::FleetObservationKey;
using nimbrel::services::LiveObservations;

namespace {

constexpr auto kAttempt = 300ms;

class NoArchive : public nimbrel::services::ObservationSource {
public:
    std::optional<std::string> Find(const std::string&) const override { return std::nullopt; }
};

std::string Stored(const std::string& text, std::chrono::system_clock::duration age) {
    return nimbrel::services::EncodeFleetObservation({std::chrono::system_clock::now() - age, text});
}

class FleetObservationsTest : public testing::Test {
protected:
    FleetObservationsTest() {
        for (const char* code : {"KLXV", "BIKF"}) source_.Put(std::string("/") + code + ".TXT", FixtureObservation(code));
    }
    // A gateway of the fleet (no disk: its fallbacks are memory, the fleet's copy, no archive).
    std::unique_ptr<LiveObservations> Gateway() {
        return std::make_unique<LiveObservations>(
            nimbrel::services::LiveSettings{*nimbrel::services::ParseUpstreamUrl(source_.Url()), 1h, {kAttempt, 64 * 1024}}, nullptr,
            archive_, [this](const std::string& line) { log_ += line + "\n"; }, &store_);
    }

    FakeSource source_;
    NoArchive archive_;
    MemoryStore store_;
    std::string log_;
};

}  // namespace

// What the store holds decides whether the source is asked; what is not
// a fresh observation of the station is never served as one.
TEST_F(FleetObservationsTest, OnlyAFreshObservationOfItsStationIsTakenFromTheStore) {
    const struct {
        const char* name;
        std::string stored;
        int requests;
    } cases[] = {
        {"fresh", Stored(FixtureObservation("KLXV"), 10min), 0},
        {"fetched before the cache time", Stored(FixtureObservation("KLXV"), 2h), 1},
        {"another station's", Stored(FixtureObservation("BIKF"), 10min), 1},
        {"a stamp that is no number", "12a4\n" + FixtureObservation("KLXV"), 1},
        {"a stamp past the clock's range", "99999999999999\n" + FixtureObservation("KLXV"), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        store_.values = {{FleetObservationKey("KLXV"), c.stored}};
        store_.claims.clear();
        const int before = source_.Requests();
        EXPECT_EQ(Gateway()->Find("KLXV"), FixtureObservation("KLXV"));
        EXPECT_EQ(source_.Requests() - before, c.requests);
    }
}

TEST_F(FleetObservationsTest, WhileAnotherGatewayFetchesTheOthersWaitThenFallBack) {
    const std::string old = FixtureObservation("KLXV") + "Weather: an old one\n";
    const struct {
        const char* name;
        bool lands;  // the fetching gateway stores its observation
        std::string answer;
    } cases[] = {
        {"its fetch lands", true, FixtureObservation("KLXV")},
        {"it never stores one", false, old},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        store_.values = {{FleetObservationKey("KLXV"), Stored(old, 2h)}};
        store_.claims = {nimbrel::services::FleetFetchKey("KLXV")};
        std::thread other([&] {
            std::this_thread::sleep_for(100ms);
            if (c.lands) store_.Put(FleetObservationKey("KLXV"), Stored(FixtureObservation("KLXV"), 0s));
        });
        EXPECT_EQ(Gateway()->Find("KLXV"), c.answer);
        other.join();
        EXPECT_EQ(source_.Requests(), 0);
    }
    EXPECT_NE(log_.find("KLXV: live observation failed: the fleet's fetch of it did not land in time; answered "
                        "with the fleet's last good observation"),
              std::string::npos)
        << log_;
}

TEST_F(FleetObservationsTest, AStoreOutOfReachLeavesEachGatewayOnItsOwn) {
    store_.reachable = false;
    store_.claims = {nimbrel::services::FleetFetchKey("KLXV")};  // held once, but no one can tell
    EXPECT_EQ(Gateway()->Find("KLXV"), FixtureObservation("KLXV"));
    EXPECT_EQ(Gateway()->Find("KLXV"), FixtureObservation("KLXV"));
    EXPECT_EQ(source_.Requests(), 2);
}
