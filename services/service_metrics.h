#pragma once
// What /metrics shows, named once here after Prometheus' conventions
// (nimbrel_..._total, _seconds): the requests by route and status and their
// latency, the clients held back, and what the composition's parts count
// themselves (the live source, the translators, the caches).

#include <array>
#include <chrono>
#include <cstddef>
#include <string>

#include "services/observations/observation_counts.h"
#include "services/service_routes.h"
#include "services/support/metrics.h"
#include "services/translation/counted_translator.h"
#include "services/translation/translation_cache.h"

namespace nimbrel::services {

// The statuses the services answer; any other is counted as "other".
inline constexpr std::array<int, 9> kCountedStatuses{200, 400, 404, 405, 413, 429, 431, 500, 503};

// The server's own counts, taken on the io threads.
class RequestCounts {
public:
    void Answered(std::size_t route, int status, std::chrono::nanoseconds took);
    // A request answered 429, by the allowance it ran out of.
    void Limited(bool translation) { (translation ? limitedTranslations_ : limitedPages_).Add(); }

    void Register(MetricsRegistry& registry) const;

private:
    std::array<std::array<Counter, kCountedStatuses.size() + 1>, kRouteCount> requests_;
    std::array<LatencyHistogram, kRouteCount> durations_;
    Counter limitedPages_;
    Counter limitedTranslations_;
};

void RegisterOpenConnections(MetricsRegistry& registry, std::function<double()> read);
void RegisterObservationCounts(MetricsRegistry& registry, const ObservationCounts& counts);
// backend: "apertium", "libretranslate".
void RegisterTranslationCounts(MetricsRegistry& registry, const std::string& backend,
                               const CountedTranslator& translator);
void RegisterTranslationCache(MetricsRegistry& registry, const TranslationCache& cache);

}  // namespace nimbrel::services
