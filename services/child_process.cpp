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

extern char** environ;

namespace services {
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
        // The server's sockets are not close-on-exec (cpp-httplib accepts
        // without it): a child holding a client's connection would keep it
        // open after the server has answered and closed it.
        posix_spawn_file_actions_addclosefrom_np(&actions_, STDERR_FILENO + 1);
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

int MillisecondsLeft(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

std::optional<ChildProcess> ChildProcess::Start(const std::vector<std::string>& argv) {
    if (argv.empty()) return std::nullopt;
    IgnoreBrokenPipes();
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
    fcntl(toChild->write.get(), F_SETFL, O_NONBLOCK);
    return ChildProcess(pid, std::move(toChild->write), std::move(fromChild->read));
}

ChildProcess::ChildProcess(pid_t pid, UniqueFd input, UniqueFd output)
    : pid_(pid), input_(std::move(input)), output_(std::move(output)) {}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)), input_(std::move(other.input_)), output_(std::move(other.output_)) {}

ChildProcess::~ChildProcess() {
    if (pid_ > 0) {
        kill(-pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
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

}  // namespace services
