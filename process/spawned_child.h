#pragma once
// Starting a program with its standard streams piped to us, in a process
// group of its own: a whole pipeline can be stopped at once, and a
// terminal's Ctrl-C reaches only us, who decide what stops.

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace nimbrel::process {

// Our ends of the child's pipes, each close-on-exec; errors is -1 when the
// child writes its error output to ours.
struct SpawnedChild {
    pid_t pid = -1;
    int input = -1;
    int output = -1;
    int errors = -1;
};

// Starts argv[0], looked up on PATH, with nothing blocked, the default
// action for SIGINT, SIGTERM, SIGHUP, SIGPIPE and SIGCHLD, and no
// descriptor of ours beyond its three standard streams (a server's
// accepted sockets are not close-on-exec: a child holding one would keep a
// client's connection open). None, with the reason in error, when it
// cannot start.
std::optional<SpawnedChild> SpawnInGroup(const std::vector<std::string>& argv, bool pipeErrors,
                                         std::string& error);

}  // namespace nimbrel::process
