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

#include "log_text.h"
#include "bounded_fetch.h"
#include "station_lists.h"
#include "upstream_url.h"

namespace services {

// Starts a thread that runs the function, as std::thread does (which throws
// std::system_error when the system has none to give).
using StartThread = std::function<std::thread(std::function<void()>)>;

class LiveDirectory {
public:
    LiveDirectory(UpstreamUrl url, StationLists& lists, Log log,
                  StartThread startThread = [](std::function<void()> run) { return std::thread(std::move(run)); });
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
    StartThread startThread_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace services
