#pragma once
// A stand-in for a media player's main window: a real top-level window of the
// player's class that records the WM_COMMAND and key messages it is given.

#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

struct RecordedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time = 0;  // when a posted message was posted; not compared
};

inline bool operator==(const RecordedMessage& a, const RecordedMessage& b) {
    return a.message == b.message && a.wParam == b.wParam && a.lParam == b.lParam;
}

inline void PrintTo(const RecordedMessage& m, std::ostream* out) {
    *out << "{message 0x" << std::hex << m.message << ", wParam 0x" << m.wParam << ", lParam 0x"
         << m.lParam << std::dec << "}";
}

class FakePlayerWindow {
public:
    enum class Thread {
        Caller,  // the test's thread, which takes the messages in Messages()
        Own,     // a thread of its own with a message loop: sends cross threads, as to a real player
        Stalled,  // a thread of its own that takes no message until Release: a hung player
    };

    // Registers the class (so one window per class at a time) and creates
    // the window with the given text; fails the test if either fails.
    FakePlayerWindow(const char* className, const std::string& text, Thread thread = Thread::Caller);
    // Destroys the window on its own thread, then unregisters the class.
    ~FakePlayerWindow();
    FakePlayerWindow(const FakePlayerWindow&) = delete;
    FakePlayerWindow& operator=(const FakePlayerWindow&) = delete;

    HWND window() const { return window_; }

    // Lets a stalled thread start taking messages.
    void Release();

    // What the window has handled, once everything posted to it before this
    // call has been handled. Not for a stalled window.
    std::vector<RecordedMessage> Messages();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND Create(const std::string& text);
    void Run(const std::string& text, Thread thread);

    struct ClassRegistration {
        explicit ClassRegistration(const char* name);
        ~ClassRegistration();
        std::string name;
        ATOM atom;
    };

    ClassRegistration registration_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool started_ = false;
    bool released_ = false;
    int marksPosted_ = 0;
    int marksHandled_ = 0;
    std::vector<RecordedMessage> messages_;
    HWND window_ = nullptr;
    std::thread thread_;  // not joinable for a window on the caller's thread
};
