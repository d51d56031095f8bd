#pragma once
// The signals the front end answers (Ctrl-C, SIGTERM, SIGHUP, a child's
// end), turned into bytes on a pipe that the session's wait watches.
// SIGPIPE is ignored: a program that stops reading is seen by its end.

#include <csignal>

#include "unique_fd.h"

namespace nimbrel::console {

class WakeSignals {
public:
    WakeSignals();
    ~WakeSignals();
    WakeSignals(const WakeSignals&) = delete;
    WakeSignals& operator=(const WakeSignals&) = delete;

    // Readable once a signal has come.
    int fd() const { return read_.get(); }
    // Empties the pipe; answers the signal that asks the session to stop,
    // 0 while none has come.
    int Drain();

private:
    UniqueFd read_;
    UniqueFd write_;
};

}  // namespace nimbrel::console
