#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <thread>

#include "unique_fd.h"

extern char** environ;

namespace services {
namespace {

using Clock = std::chrono::steady_clock;

// A child that exits before reading all its input must not take the whole
// server down with SIGPIPE; children get the default action back.
void IgnoreBrokenPipes() {
    static std::once_flag once;
    std::call_once(once, [] { signal(SIGPIPE, SIG_IGN); });
}

struct Pipe {
    UniqueFd read;
    UniqueFd write;
};

std::optional<Pipe> MakePipe() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return std::nullopt;
    return Pipe{UniqueFd(fds[0]), UniqueFd(fds[1])};
}

class SpawnSetup {
public:
    SpawnSetup(int input, int output) {
        posix_spawn_file_actions_init(&actions_);
        posix_spawn_file_actions_adddup2(&actions_, input, STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions_, output, STDOUT_FILENO);
        posix_spawnattr_init(&attributes_);
        sigset_t none;
        sigemptyset(&none);
        posix_spawnattr_setsigmask(&attributes_, &none);
        sigset_t defaults;
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGPIPE);
        sigaddset(&defaults, SIGINT);
        sigaddset(&defaults, SIGTERM);
        posix_spawnattr_setsigdefault(&attributes_, &defaults);
        // A group of its own, so that a timeout kills the whole pipeline.
        posix_spawnattr_setpgroup(&attributes_, 0);
        posix_spawnattr_setflags(&attributes_,
                                 POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions_);
        posix_spawnattr_destroy(&attributes_);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    const posix_spawn_file_actions_t* actions() const { return &actions_; }
    const posix_spawnattr_t* attributes() const { return &attributes_; }

private:
    posix_spawn_file_actions_t actions_;
    posix_spawnattr_t attributes_;
};

// Reaps the child; kills its group first unless it has already exited.
class ChildGuard {
public:
    explicit ChildGuard(pid_t pid) : pid_(pid) {}
    ~ChildGuard() {
        if (pid_ > 0) {
            kill(-pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    ChildGuard(const ChildGuard&) = delete;
    ChildGuard& operator=(const ChildGuard&) = delete;

    // The exit status once the child has exited by the deadline.
    std::optional<int> WaitUntil(Clock::time_point deadline) {
        while (true) {
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
    }

private:
    pid_t pid_;
};

int MillisecondsLeft(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

std::optional<std::string> RunChild(const std::vector<std::string>& argv, std::string_view input,
                                    std::chrono::milliseconds timeout) {
    if (argv.empty()) return std::nullopt;
    IgnoreBrokenPipes();
    const auto deadline = Clock::now() + timeout;
    auto toChild = MakePipe();
    auto fromChild = MakePipe();
    if (!toChild || !fromChild) return std::nullopt;

    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    {
        SpawnSetup setup(toChild->read.get(), fromChild->write.get());
        if (posix_spawnp(&pid, args[0], setup.actions(), setup.attributes(), args.data(), environ) != 0) {
            return std::nullopt;
        }
    }
    ChildGuard child(pid);
    toChild->read.reset();
    fromChild->write.reset();
    fcntl(toChild->write.get(), F_SETFL, O_NONBLOCK);

    std::string output;
    std::size_t written = 0;
    if (input.empty()) toChild->write.reset();
    while (fromChild->read) {
        pollfd fds[2] = {{fromChild->read.get(), POLLIN, 0}, {toChild->write.get(), POLLOUT, 0}};
        const nfds_t count = toChild->write ? 2 : 1;
        const int ready = poll(fds, count, MillisecondsLeft(deadline));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return std::nullopt;  // overran, or poll failed
        if (count == 2 && fds[1].revents != 0) {
            const ssize_t n = write(toChild->write.get(), input.data() + written, input.size() - written);
            if (n > 0) written += static_cast<std::size_t>(n);
            if (n < 0 && errno != EAGAIN && errno != EINTR) written = input.size();  // it stopped reading
            if (written == input.size()) toChild->write.reset();
        }
        if (fds[0].revents != 0) {
            char buffer[4096];
            const ssize_t n = read(fromChild->read.get(), buffer, sizeof buffer);
            if (n > 0) {
                output.append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                fromChild->read.reset();
            }
        }
    }
    const auto status = child.WaitUntil(deadline);
    if (!status || *status != 0) return std::nullopt;
    return output;
}

}  // namespace services
