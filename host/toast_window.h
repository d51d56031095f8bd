#pragma once
// A hidden top-level window that answers the host's registered toast
// message, as the host does, and reports each ToastRequest it receives.

#include <windows.h>

#include "host_events.h"
#include "win_handles.h"

namespace nimbrel::host {

// The window's class, by which another program can find the host.
constexpr char kToastWindowClass[] = "NimbrelHostToastWindow";

class ToastWindow {
public:
    explicit ToastWindow(EventSink& sink);
    HWND handle() const { return window_.get(); }
    UINT message() const { return message_; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Record(const void* request, LPARAM lParam);

    EventSink& sink_;
    UINT message_;
    UniqueWindow window_;
};

}  // namespace nimbrel::host
