// Toasts and notifications through the real DLL: DisplayToast and
// DisplayToastW found by name, ReceiveNotify called by the host stand-in,
// whose hidden window records every ToastRequest it is sent.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "common/win32_handles.h"
#include "plugin/toast.h"
#include "plugin_host.h"
#include "recording_sink.h"
#include "test_paths.h"

using namespace nimbrel::host;

using nimbrel::kToastTimeoutMs;
using nimbrel::UniqueHandle;

namespace {

// Letters that repeat only every 676 characters, so a cut or shift shows.
std::string Letters(size_t count) {
    std::string text(count, ' ');
    for (size_t i = 0; i < count; ++i) text[i] = static_cast<char>('a' + (i + i / 26) % 26);
    return text;
}

// A page followed by one that faults on any access: a text placed at the
// very end of the first shows whether a reader stops at its NUL.
struct PageBeforeAGuard {
    char* base = static_cast<char*>(VirtualAlloc(nullptr, 2 * kPage, MEM_COMMIT, PAGE_READWRITE));
    static constexpr size_t kPage = 4096;
    PageBeforeAGuard() {
        DWORD old;
        if (base) VirtualProtect(base + kPage, kPage, PAGE_NOACCESS, &old);
    }
    ~PageBeforeAGuard() { VirtualFree(base, 0, MEM_RELEASE); }
    template <typename Char>
    const Char* AtEnd(const std::basic_string<Char>& text) {
        const size_t bytes = (text.size() + 1) * sizeof(Char);
        return static_cast<const Char*>(std::memcpy(base + kPage - bytes, text.c_str(), bytes));
    }
};

struct Toasts : ::testing::Test {
    RecordingSink events;
    PluginHost host{events};
    decltype(&::DisplayToast) displayToast = nullptr;
    decltype(&::DisplayToastW) displayToastW = nullptr;

    void SetUp() override {
        ASSERT_TRUE(host.Load(PluginPath()));
        ASSERT_EQ(host.Initialize("Default"), TRUE);
        displayToast = reinterpret_cast<decltype(displayToast)>(
            reinterpret_cast<void*>(GetProcAddress(host.module(), "DisplayToast")));
        displayToastW = reinterpret_cast<decltype(displayToastW)>(
            reinterpret_cast<void*>(GetProcAddress(host.module(), "DisplayToastW")));
        ASSERT_TRUE(displayToast && displayToastW);
    }
};

TEST_F(Toasts, TheRecordCarriesEachFieldAndTheFlagAsAllBitsOrNone) {
    // The host's toast window answers 1.
    EXPECT_EQ(displayToast("body", "caption", "http://weather.example/x", true), 1);
    EXPECT_EQ(displayToast("second", "again", nullptr, false), 1);
    ASSERT_EQ(events.toasts.size(), 2u);

    const ToastEvent& flagged = events.toasts[0];
    EXPECT_EQ(flagged.title, "caption");
    EXPECT_EQ(flagged.message, "body");
    EXPECT_EQ(flagged.link, std::string("http://weather.example/x"));
    EXPECT_EQ(flagged.flag, -1);
    EXPECT_FALSE(flagged.wide);

    EXPECT_EQ(events.toasts[1].message, "second");
    EXPECT_FALSE(events.toasts[1].link.has_value());
    EXPECT_EQ(events.toasts[1].flag, 0);
}

TEST_F(Toasts, ALongMessageIsCutTo255CharactersNarrowAndWide) {
    const std::string text = Letters(300);
    const std::u16string first255(text.begin(), text.begin() + 255);
    displayToast(text.c_str(), "t", nullptr, false);
    displayToast(text.substr(0, 255).c_str(), "t", nullptr, false);
    displayToastW(std::wstring(text.begin(), text.end()).c_str(), "w", "l", true);
    ASSERT_EQ(events.toasts.size(), 3u);

    EXPECT_EQ(events.toasts[0].message, text.substr(0, 255));
    EXPECT_EQ(events.toasts[1].message, text.substr(0, 255));
    const ToastEvent& wide = events.toasts[2];
    EXPECT_TRUE(wide.wide);
    EXPECT_EQ(wide.wideMessage, first255);
    EXPECT_EQ(wide.title, "w");
    EXPECT_EQ(wide.link, std::string("l"));
    EXPECT_EQ(wide.flag, -1);

    // U+1F600 as its two units, the 255th and 256th: the pair goes whole.
    displayToastW((std::wstring(254, L'a') + L"\xD83D\xDE00 tail").c_str(), "t", nullptr, false);
    EXPECT_EQ(events.toasts.back().wideMessage, std::u16string(254, u'a'));
}

TEST_F(Toasts, NoTextIsReadPastItsTerminatingNul) {
    PageBeforeAGuard page;
    ASSERT_NE(page.base, nullptr);
    displayToast(page.AtEnd(std::string("short narrow")), "t", nullptr, false);
    displayToastW(page.AtEnd(std::wstring(L"short wide")), "t", nullptr, false);
    ASSERT_EQ(events.toasts.size(), 2u);
    EXPECT_EQ(events.toasts[0].message, "short narrow");
    EXPECT_EQ(events.toasts[1].wideMessage, u"short wide");
}

TEST_F(Toasts, SoniqShowsTheSongToastAndEmptiesTheOutput) {
    NotifyEvent notify = host.Notify("soniq", "Artist - Title");
    EXPECT_EQ(notify.result, 1);
    EXPECT_EQ(notify.output, std::string());
    host.Notify("soniq", "");
    host.Notify("soniq", Letters(300));
    ASSERT_EQ(events.toasts.size(), 3u);

    const ToastEvent& toast = events.toasts[0];
    EXPECT_EQ(toast.title, "Current Playing Song");
    EXPECT_EQ(toast.message, "Artist - Title");
    EXPECT_EQ(toast.link, std::string());  // an empty text, not a null link
    EXPECT_EQ(toast.flag, 0);
    EXPECT_FALSE(toast.wide);
    EXPECT_EQ(events.toasts[1].message, "");
    EXPECT_EQ(events.toasts[2].message, Letters(255));
    EXPECT_TRUE(events.errors.empty());
}

TEST_F(Toasts, SpeakAnswersWithAnEmptyOutputAndNoToast) {
    NotifyEvent notify = host.Notify("speak", "hello there");
    EXPECT_EQ(notify.result, 1);
    EXPECT_EQ(notify.output, std::string());
    EXPECT_TRUE(events.toasts.empty());
}

TEST_F(Toasts, OnlyTheExactNamesAreHandled) {
    for (const char* name : {"Soniq", "SPEAK", "soniqx", "spea", "speak ", ""}) {
        NotifyEvent notify = host.Notify(name, "data");
        EXPECT_EQ(notify.result, 0) << name;
        EXPECT_FALSE(notify.output.has_value()) << name;
    }
    EXPECT_TRUE(events.toasts.empty());
    EXPECT_TRUE(events.errors.empty());
}

// window_process.exe, started for one test: another program's windows,
// one of them hung until Release.
class WindowProcess {
public:
    WindowProcess() {
        const std::string name = "NimbrelWindowProcess" + std::to_string(GetCurrentProcessId());
        ready_.reset(CreateEventA(nullptr, TRUE, FALSE, (name + "Ready").c_str()));
        release_.reset(CreateEventA(nullptr, TRUE, FALSE, (name + "Release").c_str()));
        stop_.reset(CreateEventA(nullptr, TRUE, FALSE, (name + "Stop").c_str()));
        std::string command = "\"" + BesideTests("window_process.exe") + "\" " + name;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                            &startup, &started))
            return;
        CloseHandle(started.hThread);
        process_.reset(started.hProcess);
        HANDLE waited[] = {ready_.get(), process_.get()};
        ready = WaitForMultipleObjects(2, waited, FALSE, 60000) == WAIT_OBJECT_0;
    }
    ~WindowProcess() {
        if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) TerminateProcess(process_.get(), 1);
    }

    void Release() { SetEvent(release_.get()); }

    // Ends the program; the toast messages its windows were sent, or -1.
    int Stop() {
        SetEvent(stop_.get());
        DWORD code = 0;
        if (WaitForSingleObject(process_.get(), 30000) != WAIT_OBJECT_0 || !GetExitCodeProcess(process_.get(), &code))
            return -1;
        return static_cast<int>(code);
    }

    bool ready = false;

private:
    UniqueHandle ready_, release_, stop_, process_;
};

// A window of this process whose procedure takes longer than a toast may
// wait, and only then reads the toast: as a host might that shows it first.
class SlowToastWindow {
public:
    SlowToastWindow() : thread_([this] { Run(); }) { WaitForSingleObject(standing_.get(), 30000); }
    ~SlowToastWindow() {
        PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
        thread_.join();
    }

    // What it read, once it has read a toast; "" when it read none in time.
    std::string ReadMessage(DWORD timeoutMs) {
        return WaitForSingleObject(read_.get(), timeoutMs) == WAIT_OBJECT_0 ? message_ : "";
    }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<SlowToastWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self && message == RegisterWindowMessageA(nimbrel::kToastMessageName)) {
            Sleep(kToastTimeoutMs + 1000);
            const auto* request = reinterpret_cast<const nimbrel::ToastRequest*>(wParam);
            self->message_ = std::string(request->title) + ": " + static_cast<const char*>(request->message);
            SetEvent(self->read_.get());
            return 1;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    void Run() {
        threadId_ = GetCurrentThreadId();
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &SlowToastWindow::Procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "NimbrelSlowToastWindow";
        RegisterClassA(&windowClass);
        UniqueWindow window(CreateWindowExA(0, windowClass.lpszClassName, "", WS_OVERLAPPED, 0, 0, 0, 0, nullptr,
                                            nullptr, windowClass.hInstance, nullptr));
        SetWindowLongPtrA(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue, for WM_QUIT
        SetEvent(standing_.get());
        while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    }

    UniqueHandle standing_{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    UniqueHandle read_{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    std::string message_;
    DWORD threadId_ = 0;
    std::thread thread_;
};

// Takes this thread's messages (the host's toast window is here) until the
// event is set or the time is up.
bool TakeMessagesUntil(HANDLE event, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) return WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
        const DWORD waited = MsgWaitForMultipleObjects(1, &event, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
        if (waited == WAIT_OBJECT_0) return true;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
}

// A toast means something only to this process: it goes to this process's
// top-level windows, each given a bounded time, and to no other program,
// least of all a hung one.
TEST_F(Toasts, GoToThisProcessOnlyAndNoHungWindowHoldsTheCaller) {
    WindowProcess other;
    ASSERT_TRUE(other.ready) << "window_process.exe did not start";
    SlowToastWindow slow;

    // From a thread of its own, as a toast sent while this thread keeps
    // taking messages for the host's window.
    UniqueHandle done(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    int answer = -1;
    const DWORD start = GetTickCount();
    std::thread caller([&] {
        answer = displayToast("hello", "t", nullptr, false);
        SetEvent(done.get());
    });
    const bool returned = TakeMessagesUntil(done.get(), 4 * kToastTimeoutMs);
    const DWORD elapsed = GetTickCount() - start;
    // Either way, let the hung window take its messages so that the call can end.
    other.Release();
    TakeMessagesUntil(done.get(), 60000);
    caller.join();
    const int otherProcessToasts = other.Stop();
    std::printf("DisplayToast returned after %lu ms; the other program's windows got %d toasts\n", elapsed,
                otherProcessToasts);

    EXPECT_TRUE(returned) << "DisplayToast still blocked after " << elapsed << " ms";
    EXPECT_EQ(answer, 1) << "the host's window answers 1";
    ASSERT_EQ(events.toasts.size(), 1u);
    EXPECT_EQ(events.toasts[0].message, "hello");
    EXPECT_EQ(otherProcessToasts, 0) << "another program's windows were handed a pointer into this one";

    // The slow window reads the toast after the call has returned and the
    // caller's thread has gone: what it reads must still be there.
    EXPECT_EQ(slow.ReadMessage(10000), "t: hello");
}

}  // namespace
