#pragma once
// What the station pages' observations cost and where they came from,
// counted for the services' metrics.

#include <array>
#include <cstddef>
#include <optional>
#include <string>

#include "services/observations/observation_source.h"
#include "services/support/metrics.h"

namespace nimbrel::services {

// Where a page's observation came from: fetched now or fresh in memory;
// the last good one, in memory or on disk, after a failed fetch; the
// archive's record; none (an unknown station).
enum class PageSource { Live, Kept, Archive, Unknown };
inline constexpr const char* kPageSourceNames[] = {"live", "kept", "archive", "unknown"};

// How a fetch from the upstream source ended: an observation; no whole
// answer; an HTTP status other than 200; an answer that is not an
// observation of the station; not made, the source resting.
enum class FetchOutcome { Ok, Failed, HttpError, Invalid, Skipped };
inline constexpr const char* kFetchOutcomeNames[] = {"ok", "failed", "http_error", "invalid", "skipped"};

struct ObservationCounts {
    std::array<Counter, std::size(kPageSourceNames)> pages;
    std::array<Counter, std::size(kFetchOutcomeNames)> fetches;
    // Asks answered from a fresh observation in memory, and those not.
    Counter cacheHits;
    Counter cacheMisses;

    void Count(PageSource source) { pages[static_cast<std::size_t>(source)].Add(); }
    void Count(FetchOutcome outcome) { fetches[static_cast<std::size_t>(outcome)].Add(); }
};

// The archive as the pages' only source (no live one), counting what it
// answers.
class CountedArchive : public ObservationSource {
public:
    explicit CountedArchive(const ObservationSource& archive) : archive_(archive) {}

    std::optional<std::string> Find(const std::string& code) const override {
        std::optional<std::string> record = archive_.Find(code);
        counts_.Count(record ? PageSource::Archive : PageSource::Unknown);
        return record;
    }
    const ObservationCounts& counts() const { return counts_; }

private:
    const ObservationSource& archive_;
    mutable ObservationCounts counts_;
};

}  // namespace nimbrel::services
