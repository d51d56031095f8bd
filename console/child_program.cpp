#include "child_program.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>
#include <utility>

#include "spawned_child.h"

namespace nimbrel::console {
namespace {

constexpr std::chrono::milliseconds kStopGrace{2000};

void Close(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

int StatusOf(int waited) {
    return WIFEXITED(waited) ? WEXITSTATUS(waited) : 128 + WTERMSIG(waited);
}

}  // namespace

std::optional<ChildProgram> ChildProgram::Start(const std::vector<std::string>& argv, std::string& error) {
    const auto child = process::SpawnInGroup(argv, true, error);
    if (!child) return std::nullopt;
    for (int fd : {child->output, child->errors}) fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    return ChildProgram(child->pid, child->input, child->output, child->errors);
}

ChildProgram::ChildProgram(ChildProgram&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)),
      input_(std::exchange(other.input_, -1)),
      output_(std::exchange(other.output_, -1)),
      errors_(std::exchange(other.errors_, -1)),
      status_(other.status_) {}

ChildProgram::~ChildProgram() {
    if (pid_ > 0 && !Ended()) Stop();
    Close(input_);
    Close(output_);
    Close(errors_);
}

void ChildProgram::CloseOutput() { Close(output_); }
void ChildProgram::CloseErrors() { Close(errors_); }
void ChildProgram::CloseInput() { Close(input_); }

bool ChildProgram::Write(std::string_view bytes) {
    while (!bytes.empty() && input_ >= 0) {
        const ssize_t written = ::write(input_, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return bytes.empty();
}

std::optional<int> ChildProgram::Ended() {
    if (!status_ && pid_ > 0) {
        int waited = 0;
        if (waitpid(pid_, &waited, WNOHANG) == pid_) status_ = StatusOf(waited);
    }
    return status_;
}

int ChildProgram::Stop() {
    if (Ended()) return *status_;
    ::kill(-pid_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + kStopGrace;
    while (!Ended() && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    // SIGKILL too for anything it left behind in its group.
    ::kill(-pid_, SIGKILL);
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

}  // namespace nimbrel::console
