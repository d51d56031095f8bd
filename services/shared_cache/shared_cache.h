#pragma once
// The store a fleet of gateways shares, in Redis (see
// support/shared_store.h): every key under a prefix of the fleet's and
// with an expiry, so nothing in it grows without bound. Commands run on a
// few connections kept open, from the workers (never the io threads),
// each bounded in time. When Redis cannot be reached, or fails a command,
// the store says so once in the log, answers every call at once as
// unavailable for a rest, then tries again; it says so again once it is
// back.

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "services/shared_cache/redis_address.h"
#include "services/shared_cache/resp_client.h"
#include "services/support/log_text.h"
#include "services/support/shared_store.h"
#include "services/support/source_rest.h"

namespace nimbrel::services {

struct SharedCacheSettings {
    RedisAddress address;
    std::string prefix = "nimbrel:";  // before every key
    RespLimits limits = {};
    std::chrono::milliseconds rest{std::chrono::seconds(30)};  // after a failure
    std::size_t connections = 8;  // at most, open at once
};

class SharedCache : public SharedStore {
public:
    // log may be empty: nothing is then said.
    SharedCache(SharedCacheSettings settings, Log log);
    ~SharedCache() override;

    std::optional<std::string> Get(const std::string& key, std::size_t maxBytes) const override;
    void Set(const std::string& key, const std::string& value, std::chrono::milliseconds keep) const override;
    Claim TryClaim(const std::string& key, std::chrono::milliseconds hold) const override;

    // Asks Redis once, so that the state below is known at start.
    void Reach() const;
    // "ok", "not reached yet", or "unreachable since 2024-05-01T10:00:00Z (why)".
    std::string State() const;

private:
    struct Connection {
        std::unique_ptr<RespClient> client;
        unsigned generation;  // of the store's reachable spells, when opened
    };

    // The reply; none when the store rests, all connections stay busy
    // past a command's time, or the exchange failed.
    std::optional<RespReply> Run(const std::vector<std::string>& args) const;
    // With mutex_ held.
    void Failed(unsigned generation, const std::string& why) const;

    const SharedCacheSettings settings_;
    const Log log_;
    const std::string token_;  // this gateway's, in its claims
    mutable std::mutex mutex_;
    mutable std::condition_variable returned_;
    mutable std::vector<Connection> idle_;
    mutable std::size_t open_ = 0;  // idle or in use
    mutable unsigned generation_ = 0;  // one more at each failure
    mutable bool reached_ = false;
    mutable std::string failure_;  // since when and why; empty while reachable
    mutable SourceRest rest_;
};

}  // namespace nimbrel::services
