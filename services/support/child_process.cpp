#include "services/support/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <thread>

#include "spawned_child.h"

namespace nimbrel::services {
namespace {

using Clock = ChildProcess::Clock;

// A one-shot child's output is a few lines; this only stops a runaway one.
constexpr std::size_t kMaxRunOutput = 64u << 20;

// A child that exits before reading all its input must not take the whole
// server down with SIGPIPE; children get the default action back.
void IgnoreBrokenPipes() {
    static std::once_flag once;
    std::call_once(once, [] { signal(SIGPIPE, SIG_IGN); });
}

int MillisecondsLeft(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

std::optional<ChildProcess> ChildProcess::Start(const std::vector<std::string>& argv) {
    IgnoreBrokenPipes();
    std::string error;
    // Standard error stays ours: it goes to the services' log.
    const auto child = nimbrel::process::SpawnInGroup(argv, false, error);
    if (!child) return std::nullopt;
    fcntl(child->input, F_SETFL, O_NONBLOCK);
    return ChildProcess(child->pid, UniqueFd(child->input), UniqueFd(child->output));
}

ChildProcess::ChildProcess(pid_t pid, UniqueFd input, UniqueFd output)
    : pid_(pid), input_(std::move(input)), output_(std::move(output)) {}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)), input_(std::move(other.input_)), output_(std::move(other.output_)) {}

// The rest of the group (a pipeline's stages under its shell) outlives the
// shell by a moment and is handed to the system's reaper, which is the
// services themselves when they run as a container's first process: the
// stages are then our children, and are waited for here. By the time the
// shell has been reaped its children have been handed over, and each stage
// hands over its own before it can be reaped, so the loop misses none.
ChildProcess::~ChildProcess() {
    if (pid_ <= 0) return;
    kill(-pid_, SIGKILL);
    while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
    }
    while (waitpid(-pid_, nullptr, 0) > 0 || errno == EINTR) {
    }
}

ChildProcess::Exchanged ChildProcess::Exchange(std::string_view input, bool closeInput,
                                               Clock::time_point deadline, std::size_t maxOutput,
                                               const std::function<bool(std::string_view)>& complete,
                                               std::string& output) {
    std::size_t written = 0;
    if (input.empty() && closeInput) input_.reset();
    while (output_) {
        if (complete && complete(output)) return Exchanged::Complete;
        const bool writing = input_ && written < input.size();
        pollfd fds[2] = {{output_.get(), POLLIN, 0}, {input_.get(), POLLOUT, 0}};
        const int ready = poll(fds, writing ? 2 : 1, MillisecondsLeft(deadline));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return Exchanged::Overran;  // or poll failed: the same to the caller
        if (writing && fds[1].revents != 0) {
            const ssize_t n = write(input_.get(), input.data() + written, input.size() - written);
            if (n > 0) written += static_cast<std::size_t>(n);
            if (n < 0 && errno != EAGAIN && errno != EINTR) input_.reset();  // it stopped reading
            if (written == input.size() && closeInput) input_.reset();
        }
        if (fds[0].revents != 0) {
            char buffer[16384];
            const ssize_t n = read(output_.get(), buffer, sizeof buffer);
            if (n > 0) {
                output.append(buffer, static_cast<std::size_t>(n));
                if (output.size() > maxOutput) return Exchanged::TooLong;
            } else if (n == 0 || errno != EINTR) {
                output_.reset();
            }
        }
    }
    return Exchanged::Ended;
}

bool ChildProcess::HasExited() const {
    if (pid_ <= 0) return true;
    siginfo_t info{};
    return waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid_;
}

std::optional<int> ChildProcess::WaitUntil(Clock::time_point deadline) {
    while (pid_ > 0) {
        int status = 0;
        const pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            pid_ = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        if (done < 0 && errno != EINTR) return std::nullopt;
        if (Clock::now() >= deadline) return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return std::nullopt;
}

std::optional<std::string> RunChild(const std::vector<std::string>& argv, std::string_view input,
                                    std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    auto child = ChildProcess::Start(argv);
    if (!child) return std::nullopt;
    std::string output;
    if (child->Exchange(input, true, deadline, kMaxRunOutput, {}, output) != ChildProcess::Exchanged::Ended) {
        return std::nullopt;
    }
    const auto status = child->WaitUntil(deadline);
    if (!status || *status != 0) return std::nullopt;
    return output;
}

}  // namespace nimbrel::services
