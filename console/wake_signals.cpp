#include "wake_signals.h"

#include <fcntl.h>
#include <unistd.h>

namespace nimbrel::console {
namespace {

constexpr int kAnswered[] = {SIGINT, SIGTERM, SIGHUP, SIGCHLD};

// The write end, for the handler: a copy of what write_ owns.
int wakeWrite = -1;
volatile std::sig_atomic_t stopSignal = 0;

void OnSignal(int signal) {
    if (signal != SIGCHLD) stopSignal = signal;
    const char byte = 0;
    if (wakeWrite >= 0) (void)!::write(wakeWrite, &byte, 1);
}

}  // namespace

WakeSignals::WakeSignals() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
        read_.reset(fds[0]);
        write_.reset(fds[1]);
        wakeWrite = write_.get();
    }
    struct sigaction action {};
    action.sa_handler = &OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_NOCLDSTOP;  // no SA_RESTART: a blocked call returns
    for (int signal : kAnswered) sigaction(signal, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

WakeSignals::~WakeSignals() {
    // The handlers go before the pipe they write to.
    for (int signal : kAnswered) std::signal(signal, SIG_DFL);
    wakeWrite = -1;
}

int WakeSignals::Drain() {
    char bytes[64];
    while (::read(read_.get(), bytes, sizeof bytes) > 0) {
    }
    return stopSignal;
}

}  // namespace nimbrel::console
