#include "services/support/log_writer.h"

#include "services/support/log_text.h"

namespace nimbrel::services {

LogWriter::LogWriter(std::FILE* to, const ThreadFactory& threads, std::FILE* copy) : to_(to), copy_(copy) {
    thread_ = StartThread(threads, [this] { Run(); });
}

LogWriter::~LogWriter() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    if (thread_.joinable()) thread_.join();
    Flush();
}

void LogWriter::Write(std::string_view line) {
    std::string text = LogLine(line);
    if (!thread_.joinable()) return WriteBatch(text);
    std::lock_guard<std::mutex> lock(mutex_);
    if (pending_.size() + text.size() > kPendingBytes) {
        ++dropped_;
        return;
    }
    pending_ += text;
}

void LogWriter::Flush() {
    std::string batch;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        batch = TakePending();
    }
    WriteBatch(batch);
}

void LogWriter::WriteBatch(const std::string& batch) {
    if (batch.empty()) return;
    for (std::FILE* to : {to_, copy_}) {
        if (to == nullptr) continue;
        std::fwrite(batch.data(), 1, batch.size(), to);
        std::fflush(to);
    }
}

std::string LogWriter::TakePending() {
    std::string batch;
    batch.swap(pending_);
    if (dropped_ > 0) {
        batch += LogLine(std::to_string(dropped_) + " log lines dropped: the log could not keep up");
        dropped_ = 0;
    }
    return batch;
}

void LogWriter::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopping_) {
        // Woken only to stop: a line costs whoever logs it no more than an
        // append, and the batch of a busy second a few writes.
        wake_.wait_for(lock, kInterval, [this] { return stopping_; });
        const std::string batch = TakePending();
        lock.unlock();
        WriteBatch(batch);
        lock.lock();
    }
}

}  // namespace nimbrel::services
