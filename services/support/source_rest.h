#pragma once
// A source that failed is left alone ("rests") for a while: asks meanwhile
// fail or fall back at once instead of waiting out their time limit each.
// Safe to use from many threads at once.

#include <atomic>
#include <chrono>
#include <optional>

namespace nimbrel::services {

class SourceRest {
public:
    using Clock = std::chrono::steady_clock;

    explicit SourceRest(std::chrono::milliseconds length) : length_(length) {}

    // Rests from now on for the length; a rest under way starts again.
    void Start(Clock::time_point now = Clock::now()) {
        until_ = std::chrono::duration_cast<Clock::duration>(now.time_since_epoch() + length_).count();
    }
    bool Resting(Clock::time_point now = Clock::now()) const { return now.time_since_epoch().count() < until_.load(); }
    // When the rest under way ends; none when not resting.
    std::optional<Clock::time_point> Until(Clock::time_point now = Clock::now()) const {
        const Clock::time_point until{Clock::duration(until_.load())};
        if (now < until) return until;
        return std::nullopt;
    }
    std::chrono::milliseconds length() const { return length_; }

private:
    const std::chrono::milliseconds length_;
    std::atomic<Clock::rep> until_{0};  // on the clock's epoch; 0 before the first rest
};

}  // namespace nimbrel::services
