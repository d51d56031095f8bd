#include "services/service_health.h"

#include <cstdint>
#include <cstdio>

namespace nimbrel::services {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

// Days from 1970-01-01 to a day of the proleptic Gregorian calendar.
long DaysFromCivil(long year, unsigned month, unsigned day) {
    year -= month <= 2;
    const long era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<long>(dayOfEra) - 719468;
}

std::int64_t SecondsSinceEpoch(std::chrono::system_clock::time_point when) {
    return std::chrono::duration_cast<std::chrono::seconds>(when.time_since_epoch()).count();
}

}  // namespace

std::string UpstreamStatusLine(const LiveObservations::SourceState& state,
                               std::chrono::steady_clock::time_point now,
                               std::chrono::system_clock::time_point wallNow) {
    using Kind = LiveObservations::SourceState::Kind;
    if (state.kind == Kind::Ok) return "upstream: ok";
    if (state.kind == Kind::NeverReached) return "upstream: never reached";
    const std::int64_t until = SecondsSinceEpoch(
        wallNow + std::chrono::duration_cast<std::chrono::system_clock::duration>(state.restUntil - now));
    const int time = static_cast<int>((until % kSecondsPerDay + kSecondsPerDay) % kSecondsPerDay);
    char text[48];
    std::snprintf(text, sizeof text, "upstream: resting until %02d:%02d:%02d UTC", time / 3600, time / 60 % 60,
                  time % 60);
    return text;
}

std::string ArchiveStatusLine(std::size_t stations, const std::string& day,
                              std::chrono::system_clock::time_point wallNow) {
    std::string line = "archive: " + std::to_string(stations) + " stations of " + day;
    int year = 0;
    unsigned month = 0, dayOfMonth = 0;
    if (std::sscanf(day.c_str(), "%4d-%2u-%2u", &year, &month, &dayOfMonth) != 3) return line;
    const std::int64_t age = SecondsSinceEpoch(wallNow) / kSecondsPerDay - DaysFromCivil(year, month, dayOfMonth);
    return line + ", " + std::to_string(age) + " days old";
}

}  // namespace nimbrel::services
