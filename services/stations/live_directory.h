#pragma once
// The station directory fetched from the source (nsd_cccc.txt): at start,
// then once a day. A fetch that fails, or an answer that is no directory,
// leaves the lists as they are (at first the archive's) and is tried again
// an hour later.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "services/support/log_text.h"
#include "services/upstream/bounded_fetch.h"
#include "services/stations/station_lists.h"
#include "services/support/thread_factory.h"
#include "services/upstream/upstream_url.h"

namespace nimbrel::services {

class LiveDirectory {
public:
    LiveDirectory(UpstreamUrl url, StationLists& lists, Log log, ThreadFactory threads = SystemThreads());
    ~LiveDirectory();
    LiveDirectory(const LiveDirectory&) = delete;
    LiveDirectory& operator=(const LiveDirectory&) = delete;

    // One fetch, now, on the calling thread; true when the lists were replaced.
    bool Reload();
    // Reloads on a thread of its own until destroyed. False, and logged,
    // when that thread cannot start: the lists then stay as they are.
    bool Start();

private:
    UpstreamUrl url_;
    StationLists& lists_;
    Log log_;
    ThreadFactory threads_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace nimbrel::services
