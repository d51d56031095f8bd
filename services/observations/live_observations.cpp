#include "services/observations/live_observations.h"

#include <algorithm>
#include <thread>

#include "services/observations/observation_record.h"

namespace nimbrel::services {
namespace {

// The claim outlives the fetch a little, so that the claiming gateway has
// stored its observation before another may claim the station.
constexpr std::chrono::milliseconds kFleetClaimMargin{500};

// When an observation of the fleet was fetched, on this gateway's clock;
// never later than now, whatever another machine's clock says.
std::chrono::steady_clock::time_point LocalTime(std::chrono::system_clock::time_point fetchedAt) {
    const auto age = std::max(std::chrono::system_clock::now() - fetchedAt, std::chrono::system_clock::duration(0));
    return std::chrono::steady_clock::now() - std::chrono::duration_cast<std::chrono::steady_clock::duration>(age);
}

}  // namespace

LiveObservations::LiveObservations(LiveSettings settings, const ObservationDiskCache* disk,
                                   const ObservationSource& fallback, Log log, const SharedStore* fleet)
    : settings_(std::move(settings)),
      disk_(disk),
      fallback_(fallback),
      log_(std::move(log)),
      fleet_(fleet),
      sourceRest_(settings_.silentSourceRest) {}

std::optional<std::string> LiveObservations::Find(const std::string& code) const {
    // Nothing else goes into an upstream address or a file name.
    if (!IsStationCode(code)) return FromArchive(code);
    std::shared_ptr<Flight> flight;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        Station& station = stations_[code];
        if (!station.lastGood.empty() && Clock::now() - station.fetchedAt < settings_.cacheTime) {
            kept_.Touch(code, station.lastGood.size());
            counts_.cacheHits.Add();
            counts_.Count(PageSource::Live);
            return station.lastGood;
        }
        counts_.cacheMisses.Add();
        if (station.flight) {
            flight = station.flight;
            landed_.wait(lock, [&] { return flight->done; });
            counts_.Count(flight->answer.source);
            return flight->answer.record;
        }
        flight = station.flight = std::make_shared<Flight>();
    }
    Answer answer;
    try {
        answer = FetchAndAnswer(code);
    } catch (...) {
        Land(code, *flight, {std::nullopt, PageSource::Unknown});
        throw;
    }
    Land(code, *flight, answer);
    counts_.Count(answer.source);
    return std::move(answer.record);
}

bool LiveObservations::FindAtOnce(const std::string& code, std::optional<std::string>& record) const {
    if (!IsStationCode(code)) {
        if (!fallback_.FindAtOnce(code, record)) return false;
        counts_.Count(record ? PageSource::Archive : PageSource::Unknown);
        return true;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    const auto station = stations_.find(code);
    if (station == stations_.end() || station->second.lastGood.empty() ||
        Clock::now() - station->second.fetchedAt >= settings_.cacheTime)
        return false;
    kept_.Touch(code, station->second.lastGood.size());
    counts_.cacheHits.Add();
    counts_.Count(PageSource::Live);
    record = station->second.lastGood;
    return true;
}

LiveObservations::SourceState LiveObservations::State() const {
    if (const auto restUntil = sourceRest_.Until()) return {SourceState::Kind::Resting, *restUntil};
    return {reached_ ? SourceState::Kind::Ok : SourceState::Kind::NeverReached, {}};
}

std::optional<std::string> LiveObservations::FromArchive(const std::string& code) const {
    std::optional<std::string> record = fallback_.Find(code);
    counts_.Count(record ? PageSource::Archive : PageSource::Unknown);
    return record;
}

void LiveObservations::Land(const std::string& code, Flight& flight, const Answer& answer) const {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto station = stations_.find(code);
        station->second.flight.reset();
        // Codes that never gave an observation leave nothing behind.
        if (station->second.lastGood.empty()) stations_.erase(station);
        flight.answer = answer;
        flight.done = true;
    }
    landed_.notify_all();
}

LiveObservations::Answer LiveObservations::FetchAndAnswer(const std::string& code) const {
    const Clock::time_point deadline = Clock::now() + settings_.limits.time;
    const UpstreamUrl file = InFolder(settings_.folder, code + ".TXT");
    std::optional<FleetObservation> shared = FromFleet(code);
    if (!FreshFromFleet(shared)) {
        if (sourceRest_.Resting()) {
            counts_.Count(FetchOutcome::Skipped);
            return Fallback(code, "the source gave no answer lately (" + file.Text() + ")", shared);
        }
        if (!AwaitFleet(code, deadline, shared) && !FreshFromFleet(shared)) {
            return Fallback(code, "the fleet's fetch of it did not land in time", shared);
        }
    }
    if (FreshFromFleet(shared)) {
        Keep(code, shared->text, LocalTime(shared->fetchedAt));
        return {std::move(shared->text), PageSource::Live};
    }
    FetchLimits limits = settings_.limits;
    if (fleet_ != nullptr) {  // what the store took comes off the fetch's time
        limits.time = std::max(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()),
                               std::chrono::milliseconds(1));
    }
    FetchedBody fetched = FetchError{};
    try {
        fetched = BoundedFetch(file, limits);
    } catch (const std::exception& failure) {  // out of memory or threads, say
        fetched = FetchError{0, std::string("the fetch failed: ") + failure.what()};
    }
    if (!fetched) {
        const FetchError& error = fetched.error();
        if (error.status != 0) reached_ = true;
        if (error.status == 0 || error.status == 200 || error.status >= 500) sourceRest_.Start();
        counts_.Count(error.status == 0 || error.status == 200 ? FetchOutcome::Failed : FetchOutcome::HttpError);
        return Fallback(code, error.why + " (" + file.Text() + ")", shared);
    }
    reached_ = true;
    if (!IsDecodedObservation(*fetched, code)) {
        counts_.Count(FetchOutcome::Invalid);
        return Fallback(code, file.Text() + " is not a decoded observation of " + code, shared);
    }
    counts_.Count(FetchOutcome::Ok);
    Keep(code, *fetched, Clock::now());
    if (fleet_ != nullptr) {
        fleet_->Set(FleetObservationKey(code), EncodeFleetObservation({std::chrono::system_clock::now(), *fetched}),
                    std::max<std::chrono::milliseconds>(kFleetKeep, 2 * settings_.cacheTime));
    }
    return {std::move(*fetched), PageSource::Live};
}

bool LiveObservations::AwaitFleet(const std::string& code, Clock::time_point deadline,
                                  std::optional<FleetObservation>& shared) const {
    if (fleet_ == nullptr) return true;
    for (;;) {
        const SharedStore::Claim claim = fleet_->TryClaim(FleetFetchKey(code), settings_.limits.time + kFleetClaimMargin);
        // Taken, or no store to tell: this gateway fetches, given the time.
        if (claim != SharedStore::Claim::HeldByAnother) return deadline - Clock::now() >= settings_.limits.time / 2;
        if (Clock::now() + kFleetPoll >= deadline) return false;
        std::this_thread::sleep_for(kFleetPoll);
        std::optional<FleetObservation> latest = FromFleet(code);
        if (latest) shared = std::move(latest);
        if (FreshFromFleet(shared)) return false;
    }
}

std::optional<FleetObservation> LiveObservations::FromFleet(const std::string& code) const {
    if (fleet_ == nullptr) return std::nullopt;
    // The stamp's line, and the source's bound on the text.
    const auto value = fleet_->Get(FleetObservationKey(code), settings_.limits.bytes + 32);
    return value ? DecodeFleetObservation(*value, code) : std::nullopt;
}

bool LiveObservations::FreshFromFleet(const std::optional<FleetObservation>& shared) const {
    return shared && std::chrono::system_clock::now() - shared->fetchedAt < settings_.cacheTime;
}

LiveObservations::Answer LiveObservations::Fallback(const std::string& code, const std::string& why,
                                                    const std::optional<FleetObservation>& shared) const {
    Answer answer{std::nullopt, PageSource::Kept};
    const char* from = nullptr;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto station = stations_.find(code);
        if (station != stations_.end() && !station->second.lastGood.empty() &&
            (!shared || station->second.fetchedAt >= LocalTime(shared->fetchedAt))) {
            answer.record = station->second.lastGood;
            from = "the last good observation";
        }
    }
    if (!answer.record && shared) {
        answer.record = shared->text;
        from = "the fleet's last good observation";
    }
    if (!answer.record && disk_ != nullptr && (answer.record = disk_->Load(code))) from = "the one kept on disk";
    if (!answer.record && (answer.record = fallback_.Find(code))) {
        from = "the archive's record";
        answer.source = PageSource::Archive;
    }
    if (!answer.record) answer.source = PageSource::Unknown;
    log_(code + ": live observation failed: " + why + "; answered with " +
         (from != nullptr ? from : "none (unknown station)"));
    return answer;
}

void LiveObservations::Keep(const std::string& code, const std::string& text, Clock::time_point fetchedAt) const {
    bool changed = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        Station& station = stations_[code];
        changed = station.lastGood != text;
        station.lastGood = text;
        station.fetchedAt = fetchedAt;
        kept_.Touch(code, text.size());
        KeepWithinBounds();
    }
    if (!changed || disk_ == nullptr) return;
    if (const Result<Done, Failure> stored = disk_->Store(code, text); !stored) {
        log_(code + ": cannot keep the observation on disk: " + stored.error().why);
    }
}

void LiveObservations::KeepWithinBounds() const {
    while (kept_.entries() > settings_.memory.stations || kept_.bytes() > settings_.memory.bytes) {
        const std::string oldest = *kept_.Oldest();
        kept_.Remove(oldest);
        const auto station = stations_.find(oldest);
        std::string().swap(station->second.lastGood);
        // One being fetched stays until its fetch lands.
        if (!station->second.flight) stations_.erase(station);
    }
}

}  // namespace nimbrel::services
