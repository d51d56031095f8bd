// The exposition that a Prometheus server scrapes, and counts kept right
// while many threads add to them at once.

#include "services/support/metrics.h"

#include <gtest/gtest.h>

#include <sstream>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using nimbrel::services::Counter;
using nimbrel::services::LatencyHistogram;
using nimbrel::services::MetricsRegistry;

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace

TEST(Metrics, FamiliesAreWrittenOnceWithTheirSeries) {
    Counter ok, failed, unseen;
    LatencyHistogram station, unused;
    ok.Add(3);
    station.Observe(300us);   // at or below 0.0005
    station.Observe(1ms);     // a bound is its own bucket's
    station.Observe(30s);     // beyond the last bound
    MetricsRegistry registry;
    registry.Add("x_fetches_total", "Fetches.", "outcome=\"ok\"", ok);
    registry.AddGauge("x_open", "Open now.", "", [] { return 7.0; });
    registry.Add("x_fetches_total", "Fetches.", "outcome=\"failed\"", failed);
    registry.Add("x_fetches_total", "Fetches.", "outcome=\"odd\"", unseen, true);
    registry.Add("x_seconds", "Latency.", "route=\"station\"", station, true);
    registry.Add("x_seconds", "Latency.", "route=\"unused\"", unused, true);

    const std::vector<std::string> expected = {
        "# HELP x_fetches_total Fetches.",
        "# TYPE x_fetches_total counter",
        "x_fetches_total{outcome=\"ok\"} 3",
        "x_fetches_total{outcome=\"failed\"} 0",
        "# HELP x_open Open now.",
        "# TYPE x_open gauge",
        "x_open 7",
        "# HELP x_seconds Latency.",
        "# TYPE x_seconds histogram",
        "x_seconds_bucket{route=\"station\",le=\"0.0005\"} 1",
        "x_seconds_bucket{route=\"station\",le=\"0.001\"} 2",
        "x_seconds_bucket{route=\"station\",le=\"0.0025\"} 2",
        "x_seconds_bucket{route=\"station\",le=\"0.005\"} 2",
        "x_seconds_bucket{route=\"station\",le=\"0.01\"} 2",
        "x_seconds_bucket{route=\"station\",le=\"0.025\"} 2",
        "x_seconds_bucket{route=\"station\",le=\"0.05\"} 2",
        "x_seconds_bucket{route=\"station\",le=\"0.1\"} 2",
        "x_seconds_bucket{route=\"station\",le=\"0.25\"} 2",
        "x_seconds_bucket{route=\"station\",le=\"0.5\"} 2",
        "x_seconds_bucket{route=\"station\",le=\"1\"} 2",
        "x_seconds_bucket{route=\"station\",le=\"4\"} 2",
        "x_seconds_bucket{route=\"station\",le=\"+Inf\"} 3",
        "x_seconds_sum{route=\"station\"} 30.0013",
        "x_seconds_count{route=\"station\"} 3",
    };
    EXPECT_EQ(Lines(registry.Text()), expected);
}

// Threads beyond the cells share them: nothing is lost either way.
TEST(Metrics, CountsFromManyThreadsAddUp) {
    Counter counter;
    LatencyHistogram histogram;
    constexpr int kThreads = 2 * static_cast<int>(nimbrel::services::kMetricCells) + 1;
    constexpr int kEach = 20000;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < kEach; ++i) {
                counter.Add();
                histogram.Observe(2ms);
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(counter.Value(), static_cast<std::uint64_t>(kThreads) * kEach);
    const LatencyHistogram::Snapshot snapshot = histogram.Read();
    EXPECT_EQ(snapshot.count, static_cast<std::uint64_t>(kThreads) * kEach);
    EXPECT_EQ(snapshot.buckets[2], snapshot.count);  // le="0.0025"
    EXPECT_DOUBLE_EQ(snapshot.seconds, 0.002 * kThreads * kEach);
}
