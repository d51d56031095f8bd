#include "services/server/client_buckets.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace nimbrel::services {
namespace {

// A wait past a day is told as a day: the client would not wait it anyway.
constexpr double kLongestWait = 86400;
// Refills summed over many asks fall short of a whole token by rounding.
constexpr double kRoundingSlack = 1e-9;

}  // namespace

ClientBuckets::ClientBuckets(Allowance allowance, std::size_t clients)
    : allowance_(allowance), perShard_(std::max<std::size_t>((clients + kShards - 1) / kShards, 1)) {}

std::size_t ClientBuckets::KeyHash::operator()(const Key& key) const {
    return std::hash<std::string_view>()(std::string_view(reinterpret_cast<const char*>(key.data()), key.size()));
}

ClientBuckets::Key ClientBuckets::KeyOf(const boost::asio::ip::address& client) {
    if (client.is_v4()) return boost::asio::ip::make_address_v6(boost::asio::ip::v4_mapped, client.to_v4()).to_bytes();
    const boost::asio::ip::address_v6 v6 = client.to_v6();
    if (v6.is_v4_mapped()) return v6.to_bytes();
    Key key = v6.to_bytes();
    std::fill(key.begin() + 8, key.end(), 0);  // its /64
    return key;
}

int ClientBuckets::Take(const boost::asio::ip::address& client, Clock::time_point now) {
    if (allowance_.perSecond <= 0) return 0;
    const Key key = KeyOf(client);
    const std::size_t hash = KeyHash()(key);
    // The index hashes the same key again; a shard takes other bits of it.
    Shard& shard = shards_[(hash >> 24) % kShards];
    std::lock_guard<std::mutex> lock(shard.mutex);
    const auto found = shard.index.find(key);
    Entry* entry = nullptr;
    if (found != shard.index.end()) {
        shard.entries.splice(shard.entries.begin(), shard.entries, found->second);
        entry = &*found->second;
        const double elapsed = std::chrono::duration<double>(now - entry->refilled).count();
        if (elapsed > 0) {
            entry->tokens = std::min(allowance_.burst, entry->tokens + elapsed * allowance_.perSecond);
            entry->refilled = now;
        }
    } else {
        if (shard.entries.size() >= perShard_) {
            shard.index.erase(shard.entries.back().key);
            shard.entries.pop_back();
        }
        shard.entries.push_front({key, allowance_.burst, now});
        shard.index.emplace(key, shard.entries.begin());
        entry = &shard.entries.front();
    }
    if (entry->tokens >= 1 - kRoundingSlack) {
        entry->tokens = std::max(entry->tokens - 1, 0.0);
        return 0;
    }
    const double wait = std::ceil((1 - entry->tokens) / allowance_.perSecond);
    return static_cast<int>(std::clamp(wait, 1.0, kLongestWait));
}

std::size_t ClientBuckets::size() const {
    std::size_t size = 0;
    for (const Shard& shard : shards_) {
        std::lock_guard<std::mutex> lock(shard.mutex);
        size += shard.entries.size();
    }
    return size;
}

}  // namespace nimbrel::services
