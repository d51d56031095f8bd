// stop_request.h on a POSIX system.

#include <pthread.h>
#include <signal.h>

#include "services/support/stop_request.h"

namespace nimbrel::services {
namespace {

sigset_t StopSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    return signals;
}

}  // namespace

StopRequest::StopRequest(bool) {
    const sigset_t signals = StopSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    signal(SIGPIPE, SIG_IGN);
}

std::string StopRequest::Wait() {
    const sigset_t signals = StopSignals();
    int signal = 0;
    sigwait(&signals, &signal);
    return signal == SIGINT ? "SIGINT" : "SIGTERM";
}

bool StopRequest::StopBackgroundGateways() { return false; }

}  // namespace nimbrel::services
