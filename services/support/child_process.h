#pragma once
// Child processes with their standard input and output piped to us: run
// once with a text (RunChild), or kept running and fed request after
// request (ChildProcess). Each runs in a process group of its own, so that
// killing it takes its whole pipeline, and inherits no descriptor beyond
// its three standard streams (standard error is ours).

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "services/support/unique_fd.h"

namespace nimbrel::services {

class ChildProcess {
public:
    using Clock = std::chrono::steady_clock;

    enum class Exchanged {
        Complete,  // the output is whole, as the caller's test says
        Ended,     // the child closed its output
        Overran,   // the deadline passed
        TooLong,   // more output than the caller allows
    };

    // Starts argv[0], found on PATH; nullopt when it cannot be started.
    static std::optional<ChildProcess> Start(const std::vector<std::string>& argv);

    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&& other) = delete;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    // Kills the group unless the child has been reaped, and reaps every
    // process of it that is ours (see the .cpp).
    ~ChildProcess();

    // Writes input while reading the output into `output`, until complete()
    // holds for what was read, the output ends, the deadline passes or the
    // output exceeds maxOutput bytes. closeInput closes the child's input
    // once all is written. A child that stops reading is no error here:
    // its output ends soon after.
    Exchanged Exchange(std::string_view input, bool closeInput, Clock::time_point deadline,
                       std::size_t maxOutput, const std::function<bool(std::string_view)>& complete,
                       std::string& output);

    // True once the child has exited; it is not reaped, so its group
    // cannot be taken by another process before the destructor kills it.
    bool HasExited() const;

    // The exit status, once the child has exited by the deadline (then
    // reaped); nullopt otherwise.
    std::optional<int> WaitUntil(Clock::time_point deadline);

    // Its process group, led by the child; 0 once reaped.
    pid_t processGroup() const { return pid_ > 0 ? pid_ : 0; }

private:
    ChildProcess(pid_t pid, UniqueFd input, UniqueFd output);

    pid_t pid_;
    UniqueFd input_;
    UniqueFd output_;
};

// The output when the program (found on PATH) ran and exited with status 0
// in time; nullopt when it could not start, failed or overran, in which case
// it and its process group are killed.
std::optional<std::string> RunChild(const std::vector<std::string>& argv, std::string_view input,
                                    std::chrono::milliseconds timeout);

}  // namespace nimbrel::services
