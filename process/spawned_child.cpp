#include "spawned_child.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace nimbrel::process {
namespace {

struct Pipe {
    int read = -1;
    int write = -1;
};

void CloseAll(std::initializer_list<int> fds) {
    for (int fd : fds)
        if (fd >= 0) ::close(fd);
}

}  // namespace

std::optional<SpawnedChild> SpawnInGroup(const std::vector<std::string>& argv, bool pipeErrors,
                                         std::string& error) {
    if (argv.empty()) {
        error = "no program to run";
        return std::nullopt;
    }
    Pipe input, output, errors;
    for (Pipe* pipe : {&input, &output, &errors}) {
        if (pipe == &errors && !pipeErrors) break;
        int fds[2];
        if (pipe2(fds, O_CLOEXEC) != 0) {
            error = std::strerror(errno);
            CloseAll({input.read, input.write, output.read, output.write});
            return std::nullopt;
        }
        *pipe = {fds[0], fds[1]};
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input.read, STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output.write, STDOUT_FILENO);
    if (pipeErrors) posix_spawn_file_actions_adddup2(&actions, errors.write, STDERR_FILENO);
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
    CloseAll({input.read, output.write, errors.write});
    if (spawned != 0) {
        CloseAll({input.write, output.read, errors.read});
        error = argv[0] + ": " + std::strerror(spawned);
        return std::nullopt;
    }
    return SpawnedChild{pid, input.write, output.read, errors.read};
}

}  // namespace nimbrel::process
