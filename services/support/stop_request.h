#pragma once
// How the services are told to stop, per system: SIGINT or SIGTERM on a
// POSIX system; on Windows Ctrl-C, Ctrl-Break, the console window closed,
// the user logging off, or (for a gateway started at logon, which has no
// console) the stop event that `nimbrel-services --uninstall` sets.

#include <string>

namespace nimbrel::services {

class StopRequest {
public:
    // Before any thread starts: on a POSIX system the signals are blocked
    // here so that every thread leaves them to Wait (and SIGPIPE ignored).
    // listenForUninstall: also stop when the stop event is set (Windows).
    explicit StopRequest(bool listenForUninstall = false);
    StopRequest(const StopRequest&) = delete;
    StopRequest& operator=(const StopRequest&) = delete;

    // Returns when a stop is asked for, with what asked ("SIGTERM",
    // "Ctrl-C", ...), for the log.
    std::string Wait();

    // Sets the stop event of every gateway started at logon in this
    // session; false when none listens (Windows only; false elsewhere).
    static bool StopBackgroundGateways();
};

}  // namespace nimbrel::services
