#include "services/observations/fleet_observation.h"

#include "services/observations/observation_record.h"

namespace nimbrel::services {
namespace {

// Beyond this (the year 2255), milliseconds would overflow the clock's
// nanoseconds.
constexpr long long kLatestStampMs = 9'000'000'000'000;
constexpr std::size_t kMostStampDigits = 13;

}  // namespace

std::string FleetObservationKey(const std::string& code) { return "observation:" + code; }
std::string FleetFetchKey(const std::string& code) { return "fetching:" + code; }

std::string EncodeFleetObservation(const FleetObservation& observation) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(observation.fetchedAt.time_since_epoch());
    return std::to_string(ms.count()) + "\n" + observation.text;
}

std::optional<FleetObservation> DecodeFleetObservation(std::string_view value, std::string_view code) {
    const std::size_t end = value.find('\n');
    if (end == 0 || end == std::string_view::npos || end > kMostStampDigits) return std::nullopt;
    long long ms = 0;
    for (const char digit : value.substr(0, end)) {
        if (digit < '0' || digit > '9') return std::nullopt;
        ms = ms * 10 + (digit - '0');
    }
    if (ms > kLatestStampMs) return std::nullopt;
    const std::string_view text = value.substr(end + 1);
    if (!IsDecodedObservation(text, code)) return std::nullopt;
    return FleetObservation{std::chrono::system_clock::time_point(std::chrono::milliseconds(ms)), std::string(text)};
}

}  // namespace nimbrel::services
