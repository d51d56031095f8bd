#pragma once
// A store of texts that the gateways of a fleet share (Redis, in
// shared_cache/), as the observations and translation rooms see it: they
// neither know nor include what serves it, and a build without it passes
// none. Every call returns within a short bound; a store that cannot be
// reached answers at once as if it held nothing, and claims are then
// Unavailable, so each gateway goes on alone.

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>

namespace nimbrel::services {

class SharedStore {
public:
    enum class Claim {
        Taken,          // this caller holds the key now: it does the work
        HeldByAnother,  // another gateway does
        Unavailable,    // no one can say: the caller does the work alone
    };

    virtual ~SharedStore() = default;
    // The value of key; none when there is none, when it is longer than
    // maxBytes, or when the store cannot be reached.
    virtual std::optional<std::string> Get(const std::string& key, std::size_t maxBytes) const = 0;
    // Sets key to value, gone after keep. Best effort: a failure is the
    // store's to report.
    virtual void Set(const std::string& key, const std::string& value, std::chrono::milliseconds keep) const = 0;
    // Takes key for hold unless someone holds it: one gateway of the fleet
    // does a piece of work, the others wait for its result.
    virtual Claim TryClaim(const std::string& key, std::chrono::milliseconds hold) const = 0;
};

}  // namespace nimbrel::services
