#pragma once
// Waiting on the thread that owns windows: a window whose thread stops
// taking messages holds up every program that sends to it.

#include <windows.h>

namespace nimbrel::host {

// Returns once the object is signalled, dispatching this thread's messages
// in the meantime.
void WaitDispatchingMessages(HANDLE object);

}  // namespace nimbrel::host
