#include "observations/live_observations.h"

#include "observations/observation_record.h"

namespace services {

LiveObservations::LiveObservations(LiveSettings settings, const ObservationDiskCache* disk,
                                   const ObservationSource& fallback, Log log)
    : settings_(std::move(settings)), disk_(disk), fallback_(fallback), log_(std::move(log)) {}

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
    const Clock::time_point restUntil{Clock::duration(sourceRestUntil_.load())};
    if (Clock::now() < restUntil) return {SourceState::Kind::Resting, restUntil};
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
    const UpstreamUrl file = InFolder(settings_.folder, code + ".TXT");
    if (Clock::now().time_since_epoch().count() < sourceRestUntil_.load()) {
        counts_.Count(FetchOutcome::Skipped);
        return Fallback(code, "the source gave no answer lately (" + file.Text() + ")");
    }
    FetchResult fetched;
    try {
        fetched = BoundedFetch(file, settings_.limits);
    } catch (const std::exception& failure) {  // out of memory or threads, say
        fetched.error = std::string("the fetch failed: ") + failure.what();
    }
    if (fetched.status != 0) reached_ = true;
    if (!fetched.ok && (fetched.status == 0 || fetched.status == 200 || fetched.status >= 500)) {
        sourceRestUntil_ = (Clock::now() + settings_.silentSourceRest).time_since_epoch().count();
    }
    if (!fetched.ok) {
        counts_.Count(fetched.status == 0 || fetched.status == 200 ? FetchOutcome::Failed : FetchOutcome::HttpError);
        return Fallback(code, fetched.error + " (" + file.Text() + ")");
    }
    if (!IsDecodedObservation(fetched.body, code)) {
        counts_.Count(FetchOutcome::Invalid);
        return Fallback(code, file.Text() + " is not a decoded observation of " + code);
    }
    counts_.Count(FetchOutcome::Ok);
    Keep(code, fetched.body);
    return {std::move(fetched.body), PageSource::Live};
}

LiveObservations::Answer LiveObservations::Fallback(const std::string& code, const std::string& why) const {
    Answer answer{std::nullopt, PageSource::Kept};
    const char* from = nullptr;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto station = stations_.find(code);
        if (station != stations_.end() && !station->second.lastGood.empty()) {
            answer.record = station->second.lastGood;
            from = "the last good observation";
        }
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

void LiveObservations::Keep(const std::string& code, const std::string& text) const {
    bool changed = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        Station& station = stations_[code];
        changed = station.lastGood != text;
        station.lastGood = text;
        station.fetchedAt = Clock::now();
        kept_.Touch(code, text.size());
        KeepWithinBounds();
    }
    std::string error;
    if (changed && disk_ != nullptr && !disk_->Store(code, text, error)) {
        log_(code + ": cannot keep the observation on disk: " + error);
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

}  // namespace services
