#pragma once
// A stand-in for a media player's main window: a real top-level window of
// the player's class that records the WM_COMMAND and key messages it is
// given, and can report each one as it is handled. The Windows tests drive
// the plug-in against it; nimbrel-player.exe lets a person do the same.

#include <windows.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "win_handles.h"

namespace nimbrel::host {

// The class names of the three players' main windows.
constexpr char kSoniqueClass[] = "Sonique Window Class";
constexpr char kStudioClass[] = "Studio";
constexpr char kWinampClass[] = "Winamp v1.x";

struct RecordedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time = 0;  // when a posted message was posted; not compared
};

inline bool operator==(const RecordedMessage& a, const RecordedMessage& b) {
    return a.message == b.message && a.wParam == b.wParam && a.lParam == b.lParam;
}

class PlayerWindow {
public:
    enum class Thread {
        Caller,  // the creating thread, which takes the messages when it dispatches them
        Own,     // a thread of its own with a message loop: sends cross threads, as to a real player
        Stalled,  // a thread of its own that takes no message until Release: a hung player
    };
    // Called on the window's thread with each message recorded.
    using Observer = std::function<void(const RecordedMessage&)>;

    // Registers the class (so one window per class at a time) and creates
    // the window with the given text.
    PlayerWindow(const char* className, const std::string& text, Thread thread = Thread::Caller,
                 Observer observer = {});
    // Destroys the window on its own thread, then unregisters the class.
    ~PlayerWindow();
    PlayerWindow(const PlayerWindow&) = delete;
    PlayerWindow& operator=(const PlayerWindow&) = delete;

    // False when the class was registered already (another window has it).
    bool registered() const { return registration_.atom != 0; }
    HWND window() const { return window_; }

    // Lets a stalled thread start taking messages.
    void Release();

    // What the window has handled, once everything posted to it before this
    // call has been handled; none when that took too long. Not for a
    // stalled window.
    std::optional<std::vector<RecordedMessage>> Messages();

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
    Observer observer_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool started_ = false;
    bool released_ = false;
    int marksPosted_ = 0;
    int marksHandled_ = 0;
    std::vector<RecordedMessage> messages_;
    UniqueWindow ownWindow_;  // the window on the caller's thread
    HWND window_ = nullptr;   // the window, on whichever thread
    std::thread thread_;      // not joinable for a window on the caller's thread
};

}  // namespace nimbrel::host
