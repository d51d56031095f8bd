#include "message_box_catcher.h"

#include <cstring>
#include <string>
#include <vector>

namespace nimbrel::host {
namespace {

thread_local MessageBoxCatcher* currentCatcher = nullptr;

// The static control that holds a message box's text.
constexpr int kTextControl = 0xFFFF;

bool IsDialog(HWND window) {
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    return std::strcmp(className, "#32770") == 0;
}

bool IsMessageBox(HWND window) {
    return IsDialog(window) && GetDlgItem(window, kTextControl) != nullptr;
}

// The system's own message box runs a dialog procedure of user32.
bool IsSystemMessageBox(HWND box) {
    const LONG_PTR procedure = GetWindowLongPtrW(box, DWLP_DLGPROC);
    HMODULE owner = nullptr;
    return procedure != 0 &&
           GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              reinterpret_cast<LPCWSTR>(procedure), &owner) &&
           owner == GetModuleHandleW(L"user32.dll");
}

std::string WindowText(HWND window) {
    if (!window) return std::string();
    int length = GetWindowTextLengthA(window);
    std::vector<char> text(length + 2);
    int copied = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    return std::string(text.data(), copied > 0 ? copied : 0);
}

}  // namespace

MessageBoxCatcher::MessageBoxCatcher(EventSink& sink, bool answerBoxes)
    : sink_(sink), answerBoxes_(answerBoxes), previous_(currentCatcher) {
    currentCatcher = this;
    DWORD thread = GetCurrentThreadId();
    cbtHook_.reset(SetWindowsHookExA(WH_CBT, &MessageBoxCatcher::CbtHook, nullptr, thread));
    callWindowHook_.reset(SetWindowsHookExA(WH_CALLWNDPROC, &MessageBoxCatcher::CallWindowHook, nullptr, thread));
}

MessageBoxCatcher::~MessageBoxCatcher() {
    currentCatcher = previous_;
}

LRESULT CALLBACK MessageBoxCatcher::CbtHook(int code, WPARAM wParam, LPARAM lParam) {
    try {
        if (currentCatcher && code == HCBT_ACTIVATE) currentCatcher->Activated(reinterpret_cast<HWND>(wParam));
        if (currentCatcher && code == HCBT_DESTROYWND) currentCatcher->Destroyed(reinterpret_cast<HWND>(wParam));
    } catch (...) {
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK MessageBoxCatcher::CallWindowHook(int code, WPARAM wParam, LPARAM lParam) {
    try {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (currentCatcher && code == HC_ACTION && call->message == WM_INITDIALOG)
            currentCatcher->Initializing(call->hwnd, call->lParam);
    } catch (...) {
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A message box's dialog receives its MSGBOXPARAMSW with WM_INITDIALOG; the
// style flags are read there, since the finished window no longer shows them.
// Any other dialog of the class may pass a parameter of another kind, even
// one that is no address at all, so the record is read only from the
// system's own message box.
void MessageBoxCatcher::Initializing(HWND box, LPARAM parameters) {
    if (!parameters || !IsMessageBox(box) || !IsSystemMessageBox(box)) return;
    const auto* params = reinterpret_cast<const MSGBOXPARAMSW*>(parameters);
    if (params->cbSize == sizeof(MSGBOXPARAMSW)) styles_[box] = params->dwStyle;
}

void MessageBoxCatcher::Activated(HWND box) {
    if (!IsMessageBox(box) || recorded_.count(box)) return;
    recorded_.insert(box);

    MessageBoxEvent event;
    event.caption = WindowText(box);
    event.text = WindowText(GetDlgItem(box, kTextControl));
    event.owner = GetWindow(box, GW_OWNER) != nullptr;
    auto style = styles_.find(box);
    if (style != styles_.end()) event.style = style->second;
    sink_.OnMessageBox(event);

    if (answerBoxes_) {
        LRESULT defaultButton = SendMessageA(box, DM_GETDEFID, 0, 0);
        int button = HIWORD(defaultButton) == DC_HASDEFID ? LOWORD(defaultButton) : IDOK;
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
    }
}

void MessageBoxCatcher::Destroyed(HWND box) {
    recorded_.erase(box);
    styles_.erase(box);
}

}  // namespace nimbrel::host
