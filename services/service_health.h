#pragma once
// What /healthz says beside "serving": a line for each thing an operator
// checks, each asked at every request. The page is 200 whatever the lines
// say: the services answer from their fallbacks when the upstream source
// fails, and a load balancer should keep sending them requests.

#include <chrono>
#include <cstddef>
#include <string>

#include "services/observations/live_observations.h"

namespace nimbrel::services {

// "upstream: ok", "upstream: resting until 12:34:56 UTC",
// "upstream: never reached".
std::string UpstreamStatusLine(const LiveObservations::SourceState& state,
                               std::chrono::steady_clock::time_point now,
                               std::chrono::system_clock::time_point wallNow);
// Without a live source.
inline constexpr char kNoUpstreamLine[] = "upstream: none, the archive only";

// "archive: 4981 stations of 2017-07-29, 2950 days old"; day is YYYY-MM-DD.
std::string ArchiveStatusLine(std::size_t stations, const std::string& day,
                              std::chrono::system_clock::time_point wallNow);

}  // namespace nimbrel::services
