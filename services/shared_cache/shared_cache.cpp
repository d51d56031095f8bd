#include "services/shared_cache/shared_cache.h"

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <random>

namespace nimbrel::services {
namespace {

// Enough of a failure's text to tell what failed.
constexpr std::size_t kMostWhyBytes = 200;

std::string UtcNow() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    gmtime_r(&now, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

std::string RandomToken() {
    std::random_device device;
    char text[17];
    std::snprintf(text, sizeof text, "%08x%08x", device(), device());
    return text;
}

std::string Milliseconds(std::chrono::milliseconds time) { return std::to_string(std::max<long long>(time.count(), 1)); }

std::string Duration(std::chrono::milliseconds time) {
    return time.count() % 1000 == 0 ? std::to_string(time.count() / 1000) + " s" : std::to_string(time.count()) + " ms";
}

}  // namespace

SharedCache::SharedCache(SharedCacheSettings settings, Log log)
    : settings_(std::move(settings)), log_(std::move(log)), token_(RandomToken()), rest_(settings_.rest) {}

SharedCache::~SharedCache() = default;

std::optional<std::string> SharedCache::Get(const std::string& key, std::size_t maxBytes) const {
    // At most one byte more than allowed: enough to tell a value too long.
    auto reply = Run({"GETRANGE", settings_.prefix + key, "0", std::to_string(maxBytes)});
    if (!reply || reply->kind != RespReply::Kind::Text || reply->text.empty() || reply->text.size() > maxBytes) {
        return std::nullopt;
    }
    return std::move(reply->text);
}

void SharedCache::Set(const std::string& key, const std::string& value, std::chrono::milliseconds keep) const {
    Run({"SET", settings_.prefix + key, value, "PX", Milliseconds(keep)});
}

SharedStore::Claim SharedCache::TryClaim(const std::string& key, std::chrono::milliseconds hold) const {
    const auto reply = Run({"SET", settings_.prefix + key, token_, "NX", "PX", Milliseconds(hold)});
    if (!reply) return Claim::Unavailable;
    if (reply->kind == RespReply::Kind::Status && reply->text == "OK") return Claim::Taken;
    return reply->kind == RespReply::Kind::Nil ? Claim::HeldByAnother : Claim::Unavailable;
}

void SharedCache::Reach() const { Run({"PING"}); }

std::string SharedCache::State() const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!failure_.empty()) return "unreachable since " + failure_;
    return reached_ ? "ok" : "not reached yet";
}

std::optional<RespReply> SharedCache::Run(const std::vector<std::string>& args) const {
    Connection connection;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        const auto usable = [&] { return rest_.Resting() || !idle_.empty() || open_ < settings_.connections; };
        if (!returned_.wait_for(lock, settings_.limits.command, usable) || rest_.Resting()) {
            return std::nullopt;
        }
        if (!idle_.empty()) {
            connection = std::move(idle_.back());
            idle_.pop_back();
        } else {
            ++open_;
            connection.generation = generation_;
        }
    }
    std::string error;
    std::optional<RespReply> reply;
    if (!connection.client) {
        RespConnection connected = RespClient::Connect(settings_.address, settings_.limits);
        if (connected) connection.client = std::move(*connected);
        else error = connected.error().why;
    }
    if (connection.client) {
        RespAnswer answer = connection.client->Command(args);
        if (answer) reply = std::move(*answer);
        else error = answer.error().why;
    }
    if (reply && reply->kind == RespReply::Kind::Error) error = "it answered: " + reply->text;

    std::lock_guard<std::mutex> lock(mutex_);
    returned_.notify_one();
    if (!reply || reply->kind == RespReply::Kind::Error) {
        --open_;
        Failed(connection.generation, error);
        return std::nullopt;
    }
    if (connection.generation != generation_) {  // opened before a failure: of no more use
        --open_;
        return reply;
    }
    idle_.push_back(std::move(connection));
    if (!failure_.empty() && log_) log_("the shared cache at " + settings_.address.Text() + " is reachable again");
    failure_.clear();
    reached_ = true;
    return reply;
}

void SharedCache::Failed(unsigned generation, const std::string& why) const {
    if (generation != generation_) return;  // an earlier failure, already told
    ++generation_;
    open_ -= idle_.size();
    idle_.clear();
    rest_.Start();
    if (!failure_.empty()) return;
    failure_ = UtcNow() + " (" + EscapedForLog(why.substr(0, kMostWhyBytes)) + ")";
    if (log_) log_("the shared cache at " + settings_.address.Text() + " is unreachable: " + why.substr(0, kMostWhyBytes) +
         "; this gateway goes on alone and tries again every " + Duration(settings_.rest));
}

}  // namespace nimbrel::services
