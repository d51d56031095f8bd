#include "fake_player_window.h"

#include <gtest/gtest.h>

#include <chrono>

#include "win_handles.h"

namespace {

// Posted behind the messages under test: once handled, so are they.
constexpr UINT kMarkMessage = WM_APP;
constexpr UINT kQuitMessage = WM_APP + 1;

constexpr std::chrono::seconds kHandlingBound{10};

bool IsRecorded(UINT message) {
    return message == WM_COMMAND || message == WM_KEYDOWN || message == WM_CHAR || message == WM_KEYUP;
}

}  // namespace

FakePlayerWindow::ClassRegistration::ClassRegistration(const char* className) : name(className) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &FakePlayerWindow::WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = name.c_str();
    atom = RegisterClassA(&windowClass);
}

FakePlayerWindow::ClassRegistration::~ClassRegistration() {
    if (atom != 0) UnregisterClassA(name.c_str(), GetModuleHandleA(nullptr));
}

FakePlayerWindow::FakePlayerWindow(const char* className, const std::string& text, Thread thread)
    : registration_(className) {
    EXPECT_NE(registration_.atom, 0) << "class " << className << " registered twice?";
    if (registration_.atom == 0) return;
    if (thread == Thread::Caller) {
        window_ = Create(text);
    } else {
        thread_ = std::thread(&FakePlayerWindow::Run, this, text, thread);
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return started_; });
    }
    EXPECT_NE(window_, nullptr) << "no window of class " << className;
}

FakePlayerWindow::~FakePlayerWindow() {
    if (!thread_.joinable()) {
        if (window_ != nullptr) DestroyWindow(window_);
        return;
    }
    Release();
    if (window_ != nullptr) PostMessageA(window_, kQuitMessage, 0, 0);
    thread_.join();
}

void FakePlayerWindow::Release() {
    std::lock_guard<std::mutex> lock(mutex_);
    released_ = true;
    changed_.notify_all();
}

std::vector<RecordedMessage> FakePlayerWindow::Messages() {
    if (!thread_.joinable()) {
        MSG message;
        while (PeekMessageA(&message, window_, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        return messages_;
    }
    std::unique_lock<std::mutex> lock(mutex_);
    const int mark = ++marksPosted_;
    PostMessageA(window_, kMarkMessage, 0, 0);
    EXPECT_TRUE(changed_.wait_for(lock, kHandlingBound, [&] { return marksHandled_ >= mark; }))
        << "the window did not take its messages";
    return messages_;
}

HWND FakePlayerWindow::Create(const std::string& text) {
    return CreateWindowExA(0, registration_.name.c_str(), text.c_str(), WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                           CW_USEDEFAULT, 200, 100, nullptr, nullptr, GetModuleHandleA(nullptr), this);
}

void FakePlayerWindow::Run(const std::string& text, Thread thread) {
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

LRESULT CALLBACK FakePlayerWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<FakePlayerWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self != nullptr && (IsRecorded(message) || message == kMarkMessage)) {
        std::lock_guard<std::mutex> lock(self->mutex_);
        if (message == kMarkMessage) {
            ++self->marksHandled_;
            self->changed_.notify_all();
        } else {
            self->messages_.push_back({message, wParam, lParam, static_cast<DWORD>(GetMessageTime())});
        }
        return 0;
    }
    if (message == kQuitMessage) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
