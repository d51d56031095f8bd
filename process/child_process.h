#pragma once
// A program run with its standard streams piped to us, in a process group
// of its own: a whole pipeline can be stopped at once, and a terminal's
// Ctrl-C reaches only us, who decide what stops. The front end runs the
// host, the stand-in player and espeak-ng this way, the services their
// Apertium pipelines.

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "unique_fd.h"

namespace nimbrel::process {

class ChildProcess {
public:
    using Clock = std::chrono::steady_clock;

    // Whether the child's error output is a pipe of ours or our own error
    // output (the services' log).
    enum class ErrorOutput { Ours, Piped };

    enum class Exchanged {
        Complete,  // the output is whole, as the caller's test says
        Ended,     // the child closed its output
        Overran,   // the deadline passed
        TooLong,   // more output than the caller allows
    };

    // Starts argv[0], looked up on PATH, with nothing blocked, the default
    // action for SIGINT, SIGTERM, SIGHUP, SIGPIPE and SIGCHLD, and no
    // descriptor of ours beyond its three standard streams (a server's
    // accepted sockets are not close-on-exec: a child holding one would
    // keep a client's connection open). None, with the reason in *error
    // when asked, when it cannot start. SIGPIPE is ignored in this process
    // from then on: a child that stops reading is seen by its end.
    static std::optional<ChildProcess> Start(const std::vector<std::string>& argv,
                                             ErrorOutput errorOutput = ErrorOutput::Ours,
                                             std::string* error = nullptr);

    ChildProcess(ChildProcess&& other) noexcept;
    ChildProcess& operator=(ChildProcess&&) = delete;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    // Unless it has been reaped: kills its group and reaps every process
    // of it that is ours (see the .cpp).
    ~ChildProcess();

    // Our ends of its output and error output, non-blocking, to wait on;
    // -1 once closed (errors: or never piped).
    int output() const { return output_.get(); }
    int errors() const { return errors_.get(); }
    void CloseOutput() { output_.reset(); }
    void CloseErrors() { errors_.reset(); }
    // Its end of input: a program reading lines sees the end and leaves.
    void CloseInput() { input_.reset(); }

    // Writes all of the bytes, waiting while the pipe is full; false when
    // the program no longer reads.
    bool Write(std::string_view bytes);

    // Writes input while reading the output into `output`, until complete()
    // holds for what was read, the output ends, the deadline passes or the
    // output exceeds maxOutput bytes. closeInput closes the child's input
    // once all is written. A child that stops reading is no error here:
    // its output ends soon after.
    Exchanged Exchange(std::string_view input, bool closeInput, Clock::time_point deadline,
                       std::size_t maxOutput, const std::function<bool(std::string_view)>& complete,
                       std::string& output);

    // True once the child has exited; it is not reaped, so its group
    // cannot be taken by another process before it is killed.
    bool HasExited() const;
    // Its exit status (128 + the signal that ended it) once it has ended,
    // reaped; none while it runs.
    std::optional<int> Ended();
    // The exit status once it has ended by the deadline (then reaped).
    std::optional<int> WaitUntil(Clock::time_point deadline);
    // Ends its process group (SIGTERM, then SIGKILL after the grace time)
    // and answers its exit status.
    int Stop(std::chrono::milliseconds grace = std::chrono::seconds(2));

    // Its process group, led by the child; 0 once reaped.
    pid_t processGroup() const { return status_ || pid_ <= 0 ? 0 : pid_; }

private:
    ChildProcess(pid_t pid, int input, int output, int errors);

    pid_t pid_ = -1;
    UniqueFd input_;
    UniqueFd output_;
    UniqueFd errors_;
    std::optional<int> status_;
};

// Reads all that a non-blocking pipe holds now, handing each piece on;
// true once the pipe has ended (or failed), false while more may come.
bool ReadAvailable(int fd, const std::function<void(std::string_view)>& onBytes);

// The output when the program (found on PATH) ran and exited with status 0
// in time; none when it could not start, failed or overran, in which case
// it and its process group are killed.
std::optional<std::string> RunChild(const std::vector<std::string>& argv, std::string_view input,
                                    std::chrono::milliseconds timeout);

}  // namespace nimbrel::process
