#pragma once
// One warm Apertium pipeline: started on first use, fed one text at a time
// in null-flush mode, killed and started again when it dies or overruns.

#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "child_process.h"

namespace nimbrel::services {

class ApertiumPipeline {
public:
    // command: the argv of a null-flush pipeline (NullFlushCommand).
    ApertiumPipeline(std::vector<std::string> command, std::chrono::milliseconds timeLimit);

    // The translation of a UTF-8 text, blanks at either end kept as they
    // are and NUL bytes read as blanks. nullopt when the pipeline could
    // not start, died, or did not answer within the time limit (waiting
    // for an earlier request included); it is then killed, and the next
    // request starts a new one.
    std::optional<std::string> Translate(std::string_view text);

    // The running pipeline's process group; 0 when none runs.
    pid_t processGroup() const;

private:
    using Child = nimbrel::process::ChildProcess;

    std::optional<std::string> Exchange(std::string_view text, Child::Clock::time_point deadline);

    const std::vector<std::string> command_;
    const std::chrono::milliseconds timeLimit_;
    mutable std::timed_mutex mutex_;
    std::optional<Child> child_;
    unsigned long long requests_ = 0;
};

}  // namespace nimbrel::services
