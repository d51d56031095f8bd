#include "services/stations/live_directory.h"

#include <system_error>

namespace nimbrel::services {
namespace {

constexpr auto kReloadEvery = std::chrono::hours(24);
constexpr auto kRetryAfter = std::chrono::hours(1);
// Nobody waits for it as for a page, but a stalled source must not hold
// the reloading thread for ever either.
constexpr FetchLimits kDirectoryLimits{std::chrono::seconds(20), 4u << 20};

}  // namespace

LiveDirectory::LiveDirectory(UpstreamUrl url, StationLists& lists, Log log, ThreadFactory threads)
    : url_(std::move(url)), lists_(lists), log_(std::move(log)), threads_(std::move(threads)) {}

LiveDirectory::~LiveDirectory() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
}

bool LiveDirectory::Reload() {
    const FetchedBody fetched = BoundedFetch(url_, kDirectoryLimits);
    if (!fetched) {
        log_("station directory: " + fetched.error().why + " (" + url_.Text() + "); lists kept as they were");
        return false;
    }
    if (!IsStationDirectory(*fetched)) {
        log_("station directory: " + url_.Text() + " is not a station directory; lists kept as they were");
        return false;
    }
    const auto stations = ParseStationDirectory(*fetched);
    lists_.Replace(RegionsOf(stations));
    log_("station directory: " + std::to_string(stations.size()) + " stations from " + url_.Text());
    return true;
}

bool LiveDirectory::Start() {
    thread_ = StartThread(threads_, [this] {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!stopping_) {
            lock.unlock();
            const auto pause = Reload() ? kReloadEvery : kRetryAfter;
            lock.lock();
            wake_.wait_for(lock, pause, [this] { return stopping_; });
        }
    });
    if (thread_.joinable()) return true;
    log_("station directory: cannot start the thread that fetches it; lists kept as they are");
    return false;
}

}  // namespace nimbrel::services
