#pragma once
// What one client address may ask of the services before it is answered
// 429 with Retry-After. One person typing commands never meets these: a
// weather report is one page (with a translation, twenty pieces more, one
// request each), and a command takes seconds to type. A page bucket of 60
// holds sixty reports asked at once, and 5 a second sustained is more than
// any person types; a translation bucket of 80 holds four translated
// reports in a row, and 4 pieces a second sustained is one more every 5 s.
// A flood from one address is held to those rates, and what it costs the
// upstream source or a translator with them: each request takes from its
// bucket before its route runs.

#include <cstddef>

#include "services/server/client_buckets.h"

namespace nimbrel::services {

struct FairUse {
    Allowance pages{5, 60};          // every route but translations and /healthz
    Allowance translations{4, 80};  // /tr, one piece each
    // Clients remembered at once, the least recently seen forgotten first:
    // some 100 bytes each.
    std::size_t clients = 10000;
    // Loopback clients ask without a limit: for tests and benchmarks on the
    // same machine, or a proxy in front that limits its clients itself
    // (behind a proxy every client has its address). Never by default: a
    // local user is a user as any other.
    bool exemptLoopback = false;
};

}  // namespace nimbrel::services
