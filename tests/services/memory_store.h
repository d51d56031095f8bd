#pragma once
// A fleet's shared store in memory, without Redis: what the gateways'
// observations and translations see of it. It can be taken out of reach.

#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <string>

#include "services/support/shared_store.h"

class MemoryStore : public nimbrel::services::SharedStore {
public:
    std::optional<std::string> Get(const std::string& key, std::size_t maxBytes) const override {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto found = values.find(key);
        if (!reachable || found == values.end() || found->second.size() > maxBytes) return std::nullopt;
        return found->second;
    }
    void Set(const std::string& key, const std::string& value, std::chrono::milliseconds) const override {
        std::lock_guard<std::mutex> lock(mutex_);
        if (reachable) values[key] = value;
    }
    Claim TryClaim(const std::string& key, std::chrono::milliseconds) const override {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!reachable) return Claim::Unavailable;
        return claims.insert(key).second ? Claim::Taken : Claim::HeldByAnother;
    }
    void Put(const std::string& key, const std::string& value) {
        std::lock_guard<std::mutex> lock(mutex_);
        values[key] = value;
    }

    std::atomic<bool> reachable{true};
    mutable std::map<std::string, std::string> values;  // under the mutex once shared
    mutable std::set<std::string> claims;

private:
    mutable std::mutex mutex_;
};
