#include "player_window.h"

#include <chrono>


namespace nimbrel::host {
namespace {

// Posted behind the messages under test: once handled, so are they.
constexpr UINT kMarkMessage = WM_APP;
constexpr UINT kQuitMessage = WM_APP + 1;

constexpr std::chrono::seconds kHandlingBound{10};

bool IsRecorded(UINT message) {
    return message == WM_COMMAND || message == WM_KEYDOWN || message == WM_CHAR || message == WM_KEYUP;
}

}  // namespace

PlayerWindow::ClassRegistration::ClassRegistration(const char* className) : name(className) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &PlayerWindow::WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = name.c_str();
    atom = RegisterClassA(&windowClass);
}

PlayerWindow::ClassRegistration::~ClassRegistration() {
    if (atom != 0) UnregisterClassA(name.c_str(), GetModuleHandleA(nullptr));
}

PlayerWindow::PlayerWindow(const char* className, const std::string& text, Thread thread, Observer observer)
    : registration_(className), observer_(std::move(observer)) {
    if (registration_.atom == 0) return;
    if (thread == Thread::Caller) {
        ownWindow_.reset(Create(text));
        window_ = ownWindow_.get();
    } else {
        thread_ = std::thread(&PlayerWindow::Run, this, text, thread);
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return started_; });
    }
}

PlayerWindow::~PlayerWindow() {
    if (!thread_.joinable()) return;  // the window goes with ownWindow_
    Release();
    if (window_ != nullptr) PostMessageA(window_, kQuitMessage, 0, 0);
    thread_.join();
}

void PlayerWindow::Release() {
    std::lock_guard<std::mutex> lock(mutex_);
    released_ = true;
    changed_.notify_all();
}

std::optional<std::vector<RecordedMessage>> PlayerWindow::Messages() {
    if (!thread_.joinable()) {
        MSG message;
        while (PeekMessageA(&message, window_, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        return messages_;
    }
    std::unique_lock<std::mutex> lock(mutex_);
    const int mark = ++marksPosted_;
    PostMessageA(window_, kMarkMessage, 0, 0);
    if (!changed_.wait_for(lock, kHandlingBound, [&] { return marksHandled_ >= mark; })) return std::nullopt;
    return messages_;
}

HWND PlayerWindow::Create(const std::string& text) {
    return CreateWindowExA(0, registration_.name.c_str(), text.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                           CW_USEDEFAULT, 200, 100, nullptr, nullptr, GetModuleHandleA(nullptr), this);
}

// A window belongs to the thread that made it, and is destroyed there.
void PlayerWindow::Run(const std::string& text, Thread thread) {
    UniqueWindow window(Create(text));
    std::unique_lock<std::mutex> lock(mutex_);
    window_ = window.get();
    started_ = true;
    changed_.notify_all();
    if (!window) return;
    if (thread == Thread::Stalled) changed_.wait(lock, [this] { return released_; });
    lock.unlock();

    // No TranslateMessage: it would add a WM_CHAR of its own to each key press.
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
}

LRESULT CALLBACK PlayerWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<PlayerWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self != nullptr && (IsRecorded(message) || message == kMarkMessage)) {
        const RecordedMessage recorded{message, wParam, lParam, static_cast<DWORD>(GetMessageTime())};
        {
            std::lock_guard<std::mutex> lock(self->mutex_);
            if (message == kMarkMessage) {
                ++self->marksHandled_;
                self->changed_.notify_all();
                return 0;
            }
            self->messages_.push_back(recorded);
        }
        if (self->observer_) self->observer_(recorded);
        return 0;
    }
    if (message == kQuitMessage) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace nimbrel::host
