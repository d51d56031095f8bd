#pragma once
// One connection to a Redis server, over hiredis, every step bounded: the
// host's name looked up by a deadline (hiredis would wait on the resolver
// for as long as it takes), the connection made within its time, and each
// command sent and answered by one deadline and within a number of bytes.
// Not thread-safe: one thread uses a connection at a time.

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "services/shared_cache/redis_address.h"
#include "services/support/result.h"

struct redisContext;

namespace nimbrel::services {

struct RespLimits {
    std::chrono::milliseconds connect{500};  // the lookup, the connection and SELECT
    std::chrono::milliseconds command{250};  // one command, sent and answered
    std::size_t replyBytes = 256 * 1024;     // what may wait unread for one reply
};

struct RespReply {
    enum class Kind { Text, Status, Integer, Nil, Error, Other };
    Kind kind = Kind::Other;
    std::string text;  // Text, Status and Error
    long long integer = 0;
};

// Why a connection or a command failed, for the log.
struct RespFailure {
    std::string why;
};

class RespClient;
using RespConnection = Result<std::unique_ptr<RespClient>, RespFailure>;
using RespAnswer = Result<RespReply, RespFailure>;

class RespClient {
public:
    // Why not, when the server cannot be had.
    static RespConnection Connect(const RedisAddress& address, const RespLimits& limits);
    ~RespClient();
    RespClient(const RespClient&) = delete;
    RespClient& operator=(const RespClient&) = delete;

    // The reply (an error reply included); why not when the exchange
    // failed: the connection is then of no further use.
    RespAnswer Command(const std::vector<std::string>& args);

private:
    RespClient(redisContext* context, const RespLimits& limits) : context_(context), limits_(limits) {}

    redisContext* context_;
    RespLimits limits_;
};

}  // namespace nimbrel::services
