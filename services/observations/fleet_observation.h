#pragma once
// A station's observation as the gateways of a fleet share it in their
// store: when it was fetched, then the source's text. The time is the
// system clock's (the fleet's machines keep theirs in step), so that every
// gateway serves it for the same period and fetches again when it ends.
// A value read back from the store is checked as an answer of the source.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace nimbrel::services {

struct FleetObservation {
    std::chrono::system_clock::time_point fetchedAt;
    std::string text;
};

// The store's keys of a station: its last good observation, and the claim
// of the gateway that fetches it.
std::string FleetObservationKey(const std::string& code);
std::string FleetFetchKey(const std::string& code);

std::string EncodeFleetObservation(const FleetObservation& observation);
// None unless value is a time in milliseconds since the epoch, a line end
// and a decoded observation of that station.
std::optional<FleetObservation> DecodeFleetObservation(std::string_view value, std::string_view code);

}  // namespace nimbrel::services
