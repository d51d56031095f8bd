#include "services/support/metrics.h"

#include <algorithm>
#include <cstdio>

namespace nimbrel::services {
namespace {

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

// name{labels} value, the braces left out when there are no labels.
void AppendSample(std::string& out, const std::string& name, const std::string& labels, const std::string& value) {
    out += name;
    if (!labels.empty()) out += "{" + labels + "}";
    out += " " + value + "\n";
}

std::string WithLabel(const std::string& labels, const std::string& label) {
    return labels.empty() ? label : labels + "," + label;
}

}  // namespace

std::size_t ThisThreadCell() {
    static std::atomic<std::size_t> next{0};
    thread_local const std::size_t cell = next.fetch_add(1, std::memory_order_relaxed) % kMetricCells;
    return cell;
}

std::uint64_t Counter::Value() const {
    std::uint64_t sum = 0;
    for (const Cell& cell : cells_) sum += cell.value.load(std::memory_order_relaxed);
    return sum;
}

void LatencyHistogram::Observe(std::chrono::nanoseconds took) {
    const double seconds = std::chrono::duration<double>(took).count();
    const std::size_t bucket =
        static_cast<std::size_t>(std::lower_bound(kLatencyBounds.begin(), kLatencyBounds.end(), seconds) -
                                 kLatencyBounds.begin());
    Cell& cell = cells_[ThisThreadCell()];
    cell.buckets[bucket].fetch_add(1, std::memory_order_relaxed);
    cell.nanoseconds.fetch_add(static_cast<std::uint64_t>(std::max<std::int64_t>(took.count(), 0)),
                               std::memory_order_relaxed);
}

LatencyHistogram::Snapshot LatencyHistogram::Read() const {
    Snapshot snapshot;
    std::uint64_t nanoseconds = 0;
    for (const Cell& cell : cells_) {
        for (std::size_t i = 0; i < snapshot.buckets.size(); ++i) {
            const std::uint64_t n = cell.buckets[i].load(std::memory_order_relaxed);
            snapshot.buckets[i] += n;
            snapshot.count += n;
        }
        nanoseconds += cell.nanoseconds.load(std::memory_order_relaxed);
    }
    snapshot.seconds = static_cast<double>(nanoseconds) / 1e9;
    return snapshot;
}

MetricsRegistry::Family& MetricsRegistry::FamilyOf(const std::string& name, const std::string& help,
                                                   const char* type) {
    for (Family& family : families_) {
        if (family.name == name) return family;
    }
    families_.push_back({name, help, type, {}});
    return families_.back();
}

void MetricsRegistry::Add(const std::string& name, const std::string& help, const std::string& labels,
                          const Counter& counter, bool hiddenAtZero) {
    FamilyOf(name, help, "counter").series.push_back({labels, &counter, nullptr, {}, hiddenAtZero});
}

void MetricsRegistry::Add(const std::string& name, const std::string& help, const std::string& labels,
                          const LatencyHistogram& histogram, bool hiddenAtZero) {
    FamilyOf(name, help, "histogram").series.push_back({labels, nullptr, &histogram, {}, hiddenAtZero});
}

void MetricsRegistry::AddGauge(const std::string& name, const std::string& help, const std::string& labels,
                               std::function<double()> read) {
    FamilyOf(name, help, "gauge").series.push_back({labels, nullptr, nullptr, std::move(read), false});
}

std::string MetricsRegistry::Text() const {
    std::string out;
    for (const Family& family : families_) {
        out += "# HELP " + family.name + " " + family.help + "\n";
        out += "# TYPE " + family.name + " " + family.type + "\n";
        for (const Series& series : family.series) {
            if (series.counter) {
                const std::uint64_t value = series.counter->Value();
                if (value > 0 || !series.hiddenAtZero) {
                    AppendSample(out, family.name, series.labels, std::to_string(value));
                }
            } else if (series.histogram) {
                const LatencyHistogram::Snapshot snapshot = series.histogram->Read();
                if (snapshot.count == 0 && series.hiddenAtZero) continue;
                std::uint64_t cumulative = 0;
                for (std::size_t i = 0; i < snapshot.buckets.size(); ++i) {
                    cumulative += snapshot.buckets[i];
                    const std::string bound = i < kLatencyBounds.size() ? Number(kLatencyBounds[i]) : "+Inf";
                    AppendSample(out, family.name + "_bucket", WithLabel(series.labels, "le=\"" + bound + "\""),
                                 std::to_string(cumulative));
                }
                AppendSample(out, family.name + "_sum", series.labels, Number(snapshot.seconds));
                AppendSample(out, family.name + "_count", series.labels, std::to_string(snapshot.count));
            } else {
                AppendSample(out, family.name, series.labels, Number(series.gauge()));
            }
        }
    }
    return out;
}

}  // namespace nimbrel::services
