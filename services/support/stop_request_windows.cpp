// stop_request.h on Windows.

#include <windows.h>

#include <atomic>

#include "services/support/stop_request.h"
#include "unique_any.h"

namespace nimbrel::services {
namespace {

// Per session ("Local\"): --uninstall stops the gateways of its own user.
constexpr wchar_t kStopEventName[] = L"Local\\nimbrel-services.stop";

// Kept for the life of the process: the console's handler may run on its
// own thread until the very end.
HANDLE consoleStop = nullptr;  // set by the console's handler
HANDLE backgroundStop = nullptr;
std::atomic<DWORD> consoleEvent{CTRL_C_EVENT};

BOOL WINAPI OnConsoleEvent(DWORD event) {
    consoleEvent = event;
    SetEvent(consoleStop);
    // For a closed window, a log-off or a shutdown, the process ends when
    // the handler returns: give the main thread its time to stop first.
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) Sleep(5000);
    return TRUE;
}

}  // namespace

StopRequest::StopRequest(bool listenForUninstall) {
    consoleStop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(&OnConsoleEvent, TRUE);
    if (listenForUninstall) backgroundStop = CreateEventW(nullptr, TRUE, FALSE, kStopEventName);
}

std::string StopRequest::Wait() {
    HANDLE events[] = {consoleStop, backgroundStop};
    if (WaitForMultipleObjects(backgroundStop != nullptr ? 2 : 1, events, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
        return "nimbrel-services --uninstall";
    }
    switch (consoleEvent.load()) {
        case CTRL_C_EVENT: return "Ctrl-C";
        case CTRL_BREAK_EVENT: return "Ctrl-Break";
        case CTRL_CLOSE_EVENT: return "the console window closed";
        default: return "the user logging off or the system shutting down";
    }
}

bool StopRequest::StopBackgroundGateways() {
    const nimbrel::UniqueAny<HANDLE, &CloseHandle> event(OpenEventW(EVENT_MODIFY_STATE, FALSE, kStopEventName));
    return event && SetEvent(event.get());
}

}  // namespace nimbrel::services
