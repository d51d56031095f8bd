#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>

extern char** environ;

namespace nimbrel::process {
namespace {

using Clock = ChildProcess::Clock;

// A one-shot child's output is a few lines; this only stops a runaway one.
constexpr std::size_t kMaxRunOutput = 64u << 20;

struct Pipe {
    UniqueFd read;
    UniqueFd write;
};

bool OpenPipe(Pipe& pipe) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return false;
    pipe.read.reset(fds[0]);
    pipe.write.reset(fds[1]);
    return true;
}

void SetNonBlocking(int fd) {
    if (fd >= 0) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
}

// A child that exits before reading all its input must not take a server
// down with SIGPIPE; children get the default action back.
void IgnoreBrokenPipes() {
    static std::once_flag once;
    std::call_once(once, [] { signal(SIGPIPE, SIG_IGN); });
}

int StatusOf(int waited) { return WIFEXITED(waited) ? WEXITSTATUS(waited) : 128 + WTERMSIG(waited); }

int MillisecondsLeft(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

std::optional<ChildProcess> ChildProcess::Start(const std::vector<std::string>& argv, ErrorOutput errorOutput,
                                                std::string* error) {
    std::string ignored;
    std::string& why = error ? *error : ignored;
    if (argv.empty()) {
        why = "no program to run";
        return std::nullopt;
    }
    IgnoreBrokenPipes();
    const bool pipeErrors = errorOutput == ErrorOutput::Piped;
    Pipe input, output, errors;
    if (!OpenPipe(input) || !OpenPipe(output) || (pipeErrors && !OpenPipe(errors))) {
        why = std::strerror(errno);
        return std::nullopt;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input.read.get(), STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output.write.get(), STDOUT_FILENO);
    if (pipeErrors) posix_spawn_file_actions_adddup2(&actions, errors.write.get(), STDERR_FILENO);
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGCHLD}) sigaddset(&defaults, signal);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);

    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    const int spawned = posix_spawnp(&pid, args[0], &actions, &attributes, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0) {
        why = argv[0] + ": " + std::strerror(spawned);
        return std::nullopt;
    }
    // The child's ends close as the pipes go.
    return ChildProcess(pid, input.write.release(), output.read.release(), errors.read.release());
}

ChildProcess::ChildProcess(pid_t pid, int input, int output, int errors)
    : pid_(pid), input_(input), output_(output), errors_(errors) {
    for (int fd : {input, output, errors}) SetNonBlocking(fd);
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)),
      input_(std::move(other.input_)),
      output_(std::move(other.output_)),
      errors_(std::move(other.errors_)),
      status_(other.status_) {}

// The rest of the group (a pipeline's stages under its shell) outlives the
// shell by a moment and is handed to the system's reaper, which is the
// services themselves when they run as a container's first process: the
// stages are then our children, and are waited for here. By the time the
// shell has been reaped its children have been handed over, and each stage
// hands over its own before it can be reaped, so the loop misses none.
ChildProcess::~ChildProcess() {
    if (pid_ <= 0 || status_) return;
    kill(-pid_, SIGKILL);
    while (waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
    }
    while (waitpid(-pid_, nullptr, 0) > 0 || errno == EINTR) {
    }
}

bool ChildProcess::Write(std::string_view bytes) {
    while (!bytes.empty() && input_) {
        const ssize_t written = ::write(input_.get(), bytes.data(), bytes.size());
        if (written > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(written));
        } else if (written < 0 && errno == EAGAIN) {
            pollfd room{input_.get(), POLLOUT, 0};
            poll(&room, 1, -1);
        } else if (!(written < 0 && errno == EINTR)) {
            return false;
        }
    }
    return bytes.empty();
}

ChildProcess::Exchanged ChildProcess::Exchange(std::string_view input, bool closeInput, Clock::time_point deadline,
                                               std::size_t maxOutput,
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
            } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
                output_.reset();
            }
        }
    }
    return Exchanged::Ended;
}

bool ChildProcess::HasExited() const {
    if (pid_ <= 0 || status_) return true;
    siginfo_t info{};
    return waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid_;
}

std::optional<int> ChildProcess::Ended() {
    if (!status_ && pid_ > 0) {
        int waited = 0;
        if (waitpid(pid_, &waited, WNOHANG) == pid_) status_ = StatusOf(waited);
    }
    return status_;
}

std::optional<int> ChildProcess::WaitUntil(Clock::time_point deadline) {
    while (pid_ > 0 && !Ended() && Clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return Ended();
}

int ChildProcess::Stop(std::chrono::milliseconds grace) {
    if (pid_ <= 0) return status_.value_or(0);
    if (Ended()) return *status_;
    kill(-pid_, SIGTERM);
    const auto deadline = Clock::now() + grace;
    while (!Ended() && Clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    // SIGKILL too for anything it left behind in its group.
    kill(-pid_, SIGKILL);
    if (!Ended()) {
        int waited = 0;
        while (waitpid(pid_, &waited, 0) < 0 && errno == EINTR) {
        }
        status_ = StatusOf(waited);
    }
    return *status_;
}

bool ReadAvailable(int fd, const std::function<void(std::string_view)>& onBytes) {
    char bytes[8192];
    for (;;) {
        const ssize_t got = ::read(fd, bytes, sizeof bytes);
        if (got > 0) {
            onBytes(std::string_view(bytes, static_cast<std::size_t>(got)));
            continue;
        }
        if (got < 0 && errno == EINTR) continue;
        return !(got < 0 && errno == EAGAIN);
    }
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

}  // namespace nimbrel::process
