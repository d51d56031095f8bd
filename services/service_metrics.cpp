#include "services/service_metrics.h"

#include <algorithm>

namespace nimbrel::services {
namespace {

constexpr char kRequests[] = "nimbrel_http_requests_total";
constexpr char kRequestsHelp[] = "Requests answered, by route and status.";
constexpr char kDurations[] = "nimbrel_http_request_duration_seconds";
constexpr char kDurationsHelp[] = "Time from a request read to its answer ready, by route.";
constexpr char kLimited[] = "nimbrel_rate_limited_requests_total";
constexpr char kLimitedHelp[] = "Requests answered 429, by the client's allowance they ran out of.";
constexpr char kCacheHits[] = "nimbrel_cache_hits_total";
constexpr char kCacheHitsHelp[] = "Asks answered from a cache, by cache.";
constexpr char kCacheMisses[] = "nimbrel_cache_misses_total";
constexpr char kCacheMissesHelp[] = "Asks a cache could not answer, by cache.";

std::string Label(const char* name, const std::string& value) { return std::string(name) + "=\"" + value + "\""; }

}  // namespace

void RequestCounts::Answered(std::size_t route, int status, std::chrono::nanoseconds took) {
    route = std::min(route, kRouteCount - 1);
    const std::size_t column = static_cast<std::size_t>(
        std::find(kCountedStatuses.begin(), kCountedStatuses.end(), status) - kCountedStatuses.begin());
    requests_[route][column].Add();
    durations_[route].Observe(took);
}

void RequestCounts::Register(MetricsRegistry& registry) const {
    for (std::size_t route = 0; route < kRouteCount; ++route) {
        const std::string routeLabel = Label("route", kRouteNames[route]);
        for (std::size_t column = 0; column <= kCountedStatuses.size(); ++column) {
            const std::string status =
                column < kCountedStatuses.size() ? std::to_string(kCountedStatuses[column]) : "other";
            registry.Add(kRequests, kRequestsHelp, routeLabel + "," + Label("status", status), requests_[route][column],
                         true);
        }
    }
    for (std::size_t route = 0; route < kRouteCount; ++route) {
        registry.Add(kDurations, kDurationsHelp, Label("route", kRouteNames[route]), durations_[route], true);
    }
    registry.Add(kLimited, kLimitedHelp, Label("allowance", "pages"), limitedPages_);
    registry.Add(kLimited, kLimitedHelp, Label("allowance", "translations"), limitedTranslations_);
}

void RegisterOpenConnections(MetricsRegistry& registry, std::function<double()> read) {
    registry.AddGauge("nimbrel_http_open_connections", "Client connections open now.", "", std::move(read));
}

void RegisterObservationCounts(MetricsRegistry& registry, const ObservationCounts& counts) {
    for (std::size_t i = 0; i < counts.pages.size(); ++i) {
        registry.Add("nimbrel_station_pages_total", "Station pages answered, by where their observation came from.",
                     Label("source", kPageSourceNames[i]), counts.pages[i]);
    }
    for (std::size_t i = 0; i < counts.fetches.size(); ++i) {
        registry.Add("nimbrel_upstream_fetches_total",
                     "Fetches of an observation from the upstream source, by outcome (skipped: not made, the "
                     "source resting).",
                     Label("outcome", kFetchOutcomeNames[i]), counts.fetches[i]);
    }
    registry.Add(kCacheHits, kCacheHitsHelp, Label("cache", "observations"), counts.cacheHits);
    registry.Add(kCacheMisses, kCacheMissesHelp, Label("cache", "observations"), counts.cacheMisses);
}

void RegisterTranslationCounts(MetricsRegistry& registry, const std::string& backend,
                               const CountedTranslator& translator) {
    for (std::size_t i = 0; i < std::size(kTranslationOutcomeNames); ++i) {
        registry.Add("nimbrel_translation_pieces_total", "Texts asked of a translation backend, by outcome.",
                     Label("backend", backend) + "," + Label("outcome", kTranslationOutcomeNames[i]),
                     translator.count(static_cast<Translation::Outcome>(i)));
    }
}

void RegisterTranslationCache(MetricsRegistry& registry, const TranslationCache& cache) {
    registry.Add(kCacheHits, kCacheHitsHelp, Label("cache", "translations"), cache.hits());
    registry.Add(kCacheMisses, kCacheMissesHelp, Label("cache", "translations"), cache.misses());
}

}  // namespace nimbrel::services
