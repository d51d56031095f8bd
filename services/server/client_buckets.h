#pragma once
// What each client may ask, as a token bucket per client address: it holds
// up to `burst` requests and refills at `perSecond`; a request takes one,
// and a client whose bucket is empty is told how long to wait. The table
// of clients is bounded: past its size the least recently seen go, and
// come back with a full bucket. An IPv6 client is its /64, which one
// subscriber usually has whole; an IPv4-mapped address is its IPv4 one.
//
// The io threads take from it for every request, so it is split in shards,
// each with a lock of its own, by the client's address.

#include <boost/asio/ip/address.hpp>

#include <array>
#include <chrono>
#include <cstddef>
#include <list>
#include <mutex>
#include <string>
#include <unordered_map>

namespace nimbrel::services {

struct Allowance {
    double perSecond = 0;  // 0: no limit
    double burst = 0;
};

class ClientBuckets {
public:
    using Clock = std::chrono::steady_clock;

    ClientBuckets(Allowance allowance, std::size_t clients);
    ClientBuckets(const ClientBuckets&) = delete;
    ClientBuckets& operator=(const ClientBuckets&) = delete;

    // Takes a request from the client's bucket: 0 when it may go on, else
    // the whole seconds until it may ask again (for Retry-After).
    int Take(const boost::asio::ip::address& client, Clock::time_point now);

    std::size_t size() const;

private:
    static constexpr std::size_t kShards = 16;
    using Key = std::array<unsigned char, 16>;
    struct KeyHash {
        std::size_t operator()(const Key& key) const;
    };
    struct Entry {
        Key key;
        double tokens;
        Clock::time_point refilled;
    };
    struct Shard {
        mutable std::mutex mutex;
        std::list<Entry> entries;  // the most recently seen first
        std::unordered_map<Key, std::list<Entry>::iterator, KeyHash> index;
    };
    static Key KeyOf(const boost::asio::ip::address& client);

    const Allowance allowance_;
    const std::size_t perShard_;
    std::array<Shard, kShards> shards_;
};

}  // namespace nimbrel::services
