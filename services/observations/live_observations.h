#pragma once
// Today's observations, fetched from the source's folder of decoded files
// (base + CODE + ".TXT") and kept for a while. When a fetch fails, a page
// is still answered, from, in this order: the station's last good
// observation in memory, the one kept on disk, the archive's record; else
// the station is unknown. An observation's own time line always travels
// with it, so an old one never poses as new.
//
// In a fleet of gateways sharing a store (see support/shared_store.h), a
// station is fetched once across the fleet per cache time: a gateway
// serves the observation another stored while it is fresh; when it is
// not, the gateway that claims the station fetches it and stores it, and
// the others look for it in the store until the same 4 s bound, then
// answer from their fallbacks, the fleet's last good observation among
// them. A store out of reach leaves each gateway on its own.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "services/support/log_text.h"
#include "services/support/shared_store.h"
#include "services/support/source_rest.h"
#include "services/upstream/bounded_fetch.h"
#include "services/observations/fleet_observation.h"
#include "services/observations/observation_counts.h"
#include "services/observations/observation_disk_cache.h"
#include "services/observations/observation_source.h"
#include "services/observations/recency_index.h"
#include "services/upstream/upstream_url.h"

namespace nimbrel::services {

// The plug-in gives up on a page after 5 s; a page must be answered within
// 4 s, fallbacks included, however the source behaves.
inline constexpr FetchLimits kObservationLimits{std::chrono::milliseconds(3500), 64 * 1024};

// A source that gave no whole answer (down, unreachable, silent, too slow,
// failing) is left alone this long: meanwhile pages are answered from the fallbacks at once
// instead of after the whole fetch time each.
inline constexpr std::chrono::milliseconds kSilentSourceRest{std::chrono::seconds(60)};
// How often a gateway waiting for another's fetch looks in the store.
inline constexpr std::chrono::milliseconds kFleetPoll{50};
// The fleet's last good observations stay in the store at least this
// long (longer with a longer cache time), to answer when the source fails.
inline constexpr std::chrono::milliseconds kFleetKeep{std::chrono::hours(24)};

// The last good observations kept in memory, the least recently used
// going first: a source that answers for any code would otherwise grow them
// without end. Some 7,000 stations exist, each observation a few hundred
// bytes.
struct MemoryBounds {
    std::size_t stations = 8192;
    std::size_t bytes = 32u << 20;
};

struct LiveSettings {
    UpstreamUrl folder;                   // the files' folder
    std::chrono::milliseconds cacheTime;  // how long a fetched observation is served
    FetchLimits limits;                   // of one fetch
    std::chrono::milliseconds silentSourceRest = kSilentSourceRest;
    MemoryBounds memory = {};
};

class LiveObservations : public ObservationSource {
public:

    // disk may be none (nothing kept across restarts); fallback is the
    // archive; fleet is none outside a fleet. All must outlive this object.
    LiveObservations(LiveSettings settings, const ObservationDiskCache* disk,
                     const ObservationSource& fallback, Log log, const SharedStore* fleet = nullptr);

    // Concurrent asks for one station share one fetch and its answer; the
    // fetch lands for them however it ends, an exception included (which
    // then reaches the asker that made the fetch; the others get none).
    std::optional<std::string> Find(const std::string& code) const override;
    // At once only while the last good observation is fresh in memory.
    bool FindAtOnce(const std::string& code, std::optional<std::string>& record) const override;

    using Clock = std::chrono::steady_clock;
    // The source as the last fetches found it: resting (left alone after it
    // gave no whole answer) until a time, or not; reached means it gave an
    // HTTP answer at least once.
    struct SourceState {
        enum class Kind { Ok, Resting, NeverReached };
        Kind kind;
        Clock::time_point restUntil;  // when resting
    };
    SourceState State() const;
    const ObservationCounts& counts() const { return counts_; }

private:
    struct Answer {
        std::optional<std::string> record;
        PageSource source;
    };
    struct Flight {
        bool done = false;
        Answer answer;
    };
    struct Station {
        std::string lastGood;  // empty when none was fetched yet
        Clock::time_point fetchedAt;
        std::shared_ptr<Flight> flight;  // the fetch under way, if any
    };

    Answer FetchAndAnswer(const std::string& code) const;
    // True when this gateway is to fetch code itself: it claimed the
    // station, or no store can say, with half the fetch time left (with
    // less, it would only fail and rest the source for nothing). Otherwise looks
    // in the store until another gateway's fetch lands there (then fresh
    // in shared, the fleet's copy seen last) or the deadline passes, and
    // claims again meanwhile, in case that gateway or the store went.
    bool AwaitFleet(const std::string& code, Clock::time_point deadline,
                    std::optional<FleetObservation>& shared) const;
    std::optional<FleetObservation> FromFleet(const std::string& code) const;
    bool FreshFromFleet(const std::optional<FleetObservation>& shared) const;
    Answer Fallback(const std::string& code, const std::string& why,
                    const std::optional<FleetObservation>& shared) const;
    std::optional<std::string> FromArchive(const std::string& code) const;
    void Keep(const std::string& code, const std::string& text, Clock::time_point fetchedAt) const;
    void Land(const std::string& code, Flight& flight, const Answer& answer) const;
    void KeepWithinBounds() const;  // with mutex_ held

    LiveSettings settings_;
    const ObservationDiskCache* disk_;
    const ObservationSource& fallback_;
    Log log_;
    const SharedStore* fleet_;
    mutable std::mutex mutex_;
    mutable std::condition_variable landed_;
    mutable std::map<std::string, Station> stations_;
    mutable RecencyIndex kept_;  // the stations with a last good observation
    mutable SourceRest sourceRest_;
    mutable std::atomic<bool> reached_{false};
    mutable ObservationCounts counts_;
};

}  // namespace nimbrel::services
