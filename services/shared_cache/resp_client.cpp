#include "services/shared_cache/resp_client.h"

#include <fcntl.h>
#include <hiredis/hiredis.h>
#include <netdb.h>
#include <poll.h>

#include <algorithm>
#include <cerrno>

#include "services/upstream/host_lookup.h"

namespace nimbrel::services {
namespace {

using Clock = std::chrono::steady_clock;

// Waits until fd is ready for events, or the deadline passes (false).
bool WaitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return false;
        pollfd entry{fd, events, 0};
        const int ready = poll(&entry, 1, static_cast<int>(left));
        if (ready > 0) return true;
        if (ready == 0) return false;
        if (errno != EINTR) return false;
    }
}

// The first address of host as a literal, looked up by the deadline.
Result<std::string, RespFailure> AddressLiteral(const std::string& host, int port, Clock::time_point deadline) {
    const HostLookup lookup = LookUpHost(host, std::to_string(port), deadline);
    if (!lookup && lookup.error().timedOut) return RespFailure{"still looking up " + host};
    if (!lookup) return RespFailure{lookup.error().why};
    char text[NI_MAXHOST];
    const HostAddress& first = lookup->front();
    if (getnameinfo(reinterpret_cast<const sockaddr*>(&first.address), first.length, text, sizeof text, nullptr, 0,
                    NI_NUMERICHOST) != 0) {
        return RespFailure{"cannot use the address of " + host};
    }
    return std::string(text);
}

RespReply ReplyOf(const redisReply& reply) {
    RespReply result;
    switch (reply.type) {
        case REDIS_REPLY_STRING: result.kind = RespReply::Kind::Text; break;
        case REDIS_REPLY_STATUS: result.kind = RespReply::Kind::Status; break;
        case REDIS_REPLY_ERROR: result.kind = RespReply::Kind::Error; break;
        case REDIS_REPLY_INTEGER: result.kind = RespReply::Kind::Integer; break;
        case REDIS_REPLY_NIL: result.kind = RespReply::Kind::Nil; break;
        default: result.kind = RespReply::Kind::Other; break;
    }
    if (reply.type == REDIS_REPLY_STRING || reply.type == REDIS_REPLY_STATUS || reply.type == REDIS_REPLY_ERROR) {
        result.text.assign(reply.str, reply.len);
    }
    result.integer = reply.integer;
    return result;
}

}  // namespace

RespConnection RespClient::Connect(const RedisAddress& address, const RespLimits& limits) {
    const Clock::time_point deadline = Clock::now() + limits.connect;
    const auto literal = AddressLiteral(address.host, address.port, deadline);
    if (!literal) return literal.error();
    const auto left = std::max(std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now()),
                               std::chrono::microseconds(1000));
    const timeval wait{static_cast<time_t>(left.count() / 1000000), static_cast<suseconds_t>(left.count() % 1000000)};
    redisContext* context = redisConnectWithTimeout(literal->c_str(), address.port, wait);
    if (context == nullptr) {
        return RespFailure{"out of memory"};
    }
    if (context->err != 0) {
        RespFailure failure{"cannot connect to " + address.Text() + " (" + context->errstr + ")"};
        redisFree(context);
        return failure;
    }
    // From here on hiredis only buffers and parses; the waits are ours.
    context->flags &= ~REDIS_BLOCK;
    fcntl(context->fd, F_SETFL, fcntl(context->fd, F_GETFL) | O_NONBLOCK);
    std::unique_ptr<RespClient> client(new RespClient(context, limits));
    if (address.db != 0) {
        const auto selected = client->Command({"SELECT", std::to_string(address.db)});
        if (!selected) return selected.error();
        if (selected->kind != RespReply::Kind::Status) {
            return RespFailure{"cannot select database " + std::to_string(address.db) + " (" + selected->text + ")"};
        }
    }
    return RespConnection(std::move(client));
}

RespClient::~RespClient() { redisFree(context_); }

RespAnswer RespClient::Command(const std::vector<std::string>& args) {
    const Clock::time_point deadline = Clock::now() + limits_.command;
    std::vector<const char*> argv;
    std::vector<std::size_t> lengths;
    for (const std::string& arg : args) {
        argv.push_back(arg.data());
        lengths.push_back(arg.size());
    }
    if (redisAppendCommandArgv(context_, static_cast<int>(args.size()), argv.data(), lengths.data()) != REDIS_OK) {
        return RespFailure{context_->errstr};
    }
    for (int written = 0; !written;) {
        if (redisBufferWrite(context_, &written) != REDIS_OK) {
            return RespFailure{context_->errstr};
        }
        if (!written && !WaitFor(context_->fd, POLLOUT, deadline)) {
            return RespFailure{"no room to send a command within " + std::to_string(limits_.command.count()) + " ms"};
        }
    }
    for (;;) {
        void* reply = nullptr;
        if (redisGetReplyFromReader(context_, &reply) != REDIS_OK) {
            return RespFailure{context_->errstr};
        }
        if (reply != nullptr) {
            RespReply result = ReplyOf(*static_cast<redisReply*>(reply));
            freeReplyObject(reply);
            return result;
        }
        if (context_->reader->len - context_->reader->pos > limits_.replyBytes) {
            return RespFailure{"a reply of more than " + std::to_string(limits_.replyBytes) + " bytes"};
        }
        if (!WaitFor(context_->fd, POLLIN, deadline)) {
            return RespFailure{"no reply within " + std::to_string(limits_.command.count()) + " ms"};
        }
        if (redisBufferRead(context_) != REDIS_OK) {
            return RespFailure{context_->errstr};
        }
    }
}

}  // namespace nimbrel::services
