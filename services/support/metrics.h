#pragma once
// Counts for /metrics, in Prometheus' text exposition format. The io
// threads count every request, tens of thousands a second: a count is
// kept in cells, each thread adding to a cell of its own (no lock, no
// cache line shared between threads that add), and summed only when read.
// What a count means is said once, where it is named in a registry.

#include <array>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace nimbrel::services {

// Cells per count: threads beyond it share them, still without a lock.
inline constexpr std::size_t kMetricCells = 8;

// The cell of the calling thread, given on its first count.
std::size_t ThisThreadCell();

class Counter {
public:
    void Add(std::uint64_t n = 1) {
        cells_[ThisThreadCell()].value.fetch_add(n, std::memory_order_relaxed);
    }
    std::uint64_t Value() const;

private:
    struct alignas(64) Cell {
        std::atomic<std::uint64_t> value{0};
    };
    std::array<Cell, kMetricCells> cells_;
};

// Upper bounds of a latency histogram's buckets, in seconds: from a page
// answered from memory (well under a millisecond) to the 4 s in which
// every page is answered.
inline constexpr std::array<double, 12> kLatencyBounds{0.0005, 0.001, 0.0025, 0.005, 0.01, 0.025,
                                                       0.05,   0.1,   0.25,   0.5,   1,    4};

class LatencyHistogram {
public:
    void Observe(std::chrono::nanoseconds took);

    struct Snapshot {
        std::array<std::uint64_t, kLatencyBounds.size() + 1> buckets{};  // not cumulative; the last is +Inf
        std::uint64_t count = 0;
        double seconds = 0;
    };
    Snapshot Read() const;

private:
    struct alignas(64) Cell {
        std::array<std::atomic<std::uint64_t>, kLatencyBounds.size() + 1> buckets{};
        std::atomic<std::uint64_t> nanoseconds{0};
    };
    std::array<Cell, kMetricCells> cells_;
};

// The families shown at /metrics and their series, by reference: each count
// belongs to the part of the services that counts, which must outlive the
// registry's use. Series are added before serving starts; after that the
// registry is only read.
class MetricsRegistry {
public:
    // labels as they stand between the braces (route="station"), or empty.
    // A series that is hidden at zero shows once it has counted something:
    // for families whose label sets are mostly never met.
    void Add(const std::string& name, const std::string& help, const std::string& labels, const Counter& counter,
             bool hiddenAtZero = false);
    void Add(const std::string& name, const std::string& help, const std::string& labels,
             const LatencyHistogram& histogram, bool hiddenAtZero = false);
    void AddGauge(const std::string& name, const std::string& help, const std::string& labels,
                  std::function<double()> read);

    std::string Text() const;

private:
    struct Series {
        std::string labels;
        const Counter* counter = nullptr;
        const LatencyHistogram* histogram = nullptr;
        std::function<double()> gauge;
        bool hiddenAtZero = false;
    };
    struct Family {
        std::string name;
        std::string help;
        const char* type;
        std::vector<Series> series;
    };
    Family& FamilyOf(const std::string& name, const std::string& help, const char* type);

    std::vector<Family> families_;  // in the order first added
};

// The content type of MetricsRegistry::Text().
inline constexpr char kMetricsContentType[] = "text/plain; version=0.0.4; charset=utf-8";

}  // namespace nimbrel::services
