// Toasts and notifications through the real DLL: DisplayToast and
// DisplayToastW found by name, ReceiveNotify called by the host stand-in,
// whose hidden window records every ToastRequest it is sent.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "plugin_host.h"
#include "recording_sink.h"
#include "test_paths.h"

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
    // Wine answers a broadcast with 1, whatever the windows answered.
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

}  // namespace
