#pragma once
// A translator that holds each translation while closed (20 s at most, so
// that a server that waits for it fails the test instead of hanging it),
// then gives the text back as its own translation.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>

#include "services/translation/translator.h"

class GatedTranslator : public nimbrel::services::Translator {
public:
    explicit GatedTranslator(bool open = false) : open_(open) {}

    nimbrel::services::Translation Translate(const std::string& text, const std::string&) const override {
        std::unique_lock<std::mutex> lock(mutex_);
        ++callers_;
        changed_.notify_all();
        changed_.wait_for(lock, std::chrono::seconds(20), [this] { return open_; });
        return {nimbrel::services::Translation::Outcome::Translated, text};
    }
    bool WaitForCaller() {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(10), [this] { return callers_ > 0; });
    }
    void Open(bool open = true) {
        std::lock_guard<std::mutex> lock(mutex_);
        open_ = open;
        changed_.notify_all();
    }

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    mutable int callers_ = 0;
    bool open_;
};
