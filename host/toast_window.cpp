#include "toast_window.h"

#include <cwchar>

#include "common/host_records.h"

namespace nimbrel::host {
namespace {

void RegisterToastClass(WNDPROC procedure) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kToastWindowClass;
    RegisterClassA(&windowClass);  // fails harmlessly when already registered
}

}  // namespace

ToastWindow::ToastWindow(EventSink& sink)
    : sink_(sink), message_(RegisterWindowMessageA(kToastMessageName)) {
    RegisterToastClass(&ToastWindow::Procedure);
    // A top-level window, not a message-only one: broadcasts reach only
    // top-level windows. It is never shown.
    window_.reset(CreateWindowExA(0, kToastWindowClass, "", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr));
    if (window_) SetWindowLongPtrA(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

LRESULT CALLBACK ToastWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ToastWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && message == self->message_) {
        try {
            self->Record(reinterpret_cast<const void*>(wParam), lParam);
        } catch (...) {
        }
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void ToastWindow::Record(const void* address, LPARAM lParam) {
    ToastEvent toast;
    if (!address) {
        sink_.OnError({"toast message without a ToastRequest"});
        return;
    }
    const auto* request = static_cast<const ToastRequest*>(address);
    toast.title = request->title ? request->title : "";
    toast.wide = lParam == 1;
    if (request->message) {
        if (toast.wide) {
            const auto* wide = static_cast<const wchar_t*>(request->message);
            toast.wideMessage.assign(wide, wide + std::wcslen(wide));
        } else {
            toast.message = static_cast<const char*>(request->message);
        }
    }
    if (request->link) toast.link = std::string(request->link);
    toast.flag = request->flag;
    sink_.OnToast(toast);
}

}  // namespace nimbrel::host
