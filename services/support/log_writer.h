#pragma once
// Log lines written by a thread of their own, in batches. A request's log
// line, written where it was answered, cost the io thread a write to the
// file or terminal under stdio's lock: with it a small page's p99 was half
// again nginx's at 8 connections, without it a third of nginx's.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "services/support/thread_factory.h"

namespace nimbrel::services {

class LogWriter {
public:
    // Lines waiting beyond this many bytes are dropped, and counted in a
    // line of their own: a log that cannot keep up never holds up a request.
    static constexpr std::size_t kPendingBytes = 1024 * 1024;
    // How long a line may wait to be written.
    static constexpr std::chrono::milliseconds kInterval{100};

    // Without a thread (the factory failed) each line is written at once.
    // A copy, when given, receives every batch too (a log file beside the
    // console).
    explicit LogWriter(std::FILE* to, const ThreadFactory& threads = SystemThreads(), std::FILE* copy = nullptr);
    ~LogWriter();  // writes what is pending
    LogWriter(const LogWriter&) = delete;
    LogWriter& operator=(const LogWriter&) = delete;

    // As WriteLogLine (log_text.h), soon after; safe from any thread.
    void Write(std::string_view line);
    // Writes what is pending now (before a process leaves with _Exit).
    void Flush();

private:
    void Run();
    std::string TakePending();  // with mutex_ held

    void WriteBatch(const std::string& batch);

    std::FILE* to_;
    std::FILE* copy_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::string pending_;
    std::size_t dropped_ = 0;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace nimbrel::services
