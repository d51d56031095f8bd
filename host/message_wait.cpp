#include "message_wait.h"

namespace nimbrel::host {

// No TranslateMessage: nothing here is typed into, and a stand-in player
// must see a posted key press exactly as posted, without a WM_CHAR of its own.
void WaitDispatchingMessages(HANDLE object) {
    while (MsgWaitForMultipleObjects(1, &object, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
}

}  // namespace nimbrel::host
