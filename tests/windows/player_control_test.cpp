// Player control against fake players: real top-level windows of the three
// class names, recording what they are sent. Winamp's is given a thread of
// its own where a send should cross threads, as it does to the real player.

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <initializer_list>
#include <string>
#include <vector>

#include "fake_player_window.h"
#include "player/drive_player.h"
#include "player/find_player.h"

using namespace nimbrel;
using namespace nimbrel::host;

namespace {

struct Operation {
    void (*run)();
    WPARAM winampCommand;
    char key;
};

const Operation kOperations[] = {
    {PlayerAdd, 40029, 'l'},  {PlayerPlay, 40045, 'x'}, {PlayerPause, 40046, 'c'},
    {PlayerStop, 40047, 'v'}, {PlayerNext, 40048, 'b'}, {PlayerPrevious, 40044, 'z'},
};

FakePlayerWindow::Thread ThreadFor(const char* className) {
    return className == kWinampClass ? FakePlayerWindow::Thread::Own : FakePlayerWindow::Thread::Caller;
}

// The three messages one key press should post.
std::vector<RecordedMessage> Keystroke(char character) {
    const WPARAM virtualKey = static_cast<WPARAM>(static_cast<LONG_PTR>(VkKeyScanA(character)));
    const LPARAM scanCode = MapVirtualKeyA(static_cast<UINT>(virtualKey), MAPVK_VK_TO_VSC);
    return {{WM_KEYDOWN, virtualKey, scanCode}, {WM_CHAR, virtualKey, scanCode}, {WM_KEYUP, virtualKey, scanCode}};
}

void Append(std::vector<RecordedMessage>& to, const std::vector<RecordedMessage>& more) {
    to.insert(to.end(), more.begin(), more.end());
}

long long MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

// Every test starts and ends with no window of a player's class, so none
// can steer another test's commands.
struct PlayerWindows : ::testing::Test {
    static void ExpectNoPlayerWindow() {
        for (const char* className : {kSoniqueClass, kStudioClass, kWinampClass}) {
            EXPECT_EQ(FindWindowA(className, nullptr), nullptr) << "a window of class " << className;
        }
    }
    void SetUp() override {
        ExpectNoPlayerWindow();
        ASSERT_FALSE(HasFailure());
    }
    void TearDown() override { ExpectNoPlayerWindow(); }
};

using PlayerSearch = PlayerWindows;
using PlayerWinamp = PlayerWindows;
using PlayerKeystrokes = PlayerWindows;
using PlayerTitle = PlayerWindows;

TEST_F(PlayerSearch, AClosedPlayerIsNoLongerFound) {
    {
        FakePlayerWindow winamp(kWinampClass, "song");
        EXPECT_EQ(FindPlayer(PlayerKind::NoPlayer), winamp.window());
        EXPECT_EQ(CurrentPlayerKind(), PlayerKind::Winamp);
        EXPECT_TRUE(IsPlayerRunning());
    }
    EXPECT_EQ(FindPlayer(PlayerKind::NoPlayer), nullptr);
    EXPECT_EQ(CurrentPlayerKind(), PlayerKind::NoPlayer);
    EXPECT_FALSE(IsPlayerRunning());
    EXPECT_STREQ(GetPlayerTitle(), "Not running");
}

TEST_F(PlayerSearch, SoniqueComesBeforeStudioAndStudioBeforeWinamp) {
    FakePlayerWindow winamp(kWinampClass, "w");
    EXPECT_EQ(FindPlayer(PlayerKind::NoPlayer), winamp.window());
    EXPECT_EQ(CurrentPlayerKind(), PlayerKind::Winamp);

    FakePlayerWindow studio(kStudioClass, "s");
    EXPECT_EQ(FindPlayer(PlayerKind::NoPlayer), studio.window());
    EXPECT_EQ(CurrentPlayerKind(), PlayerKind::Studio);

    FakePlayerWindow sonique(kSoniqueClass, "q");
    EXPECT_EQ(FindPlayer(PlayerKind::NoPlayer), sonique.window());
    EXPECT_EQ(CurrentPlayerKind(), PlayerKind::Sonique);
}

TEST_F(PlayerSearch, AFilterTriesOnlyItsOwnClass) {
    FakePlayerWindow winamp(kWinampClass, "w");
    FakePlayerWindow studio(kStudioClass, "s");
    EXPECT_EQ(FindPlayer(PlayerKind::Winamp), winamp.window());
    EXPECT_EQ(CurrentPlayerKind(), PlayerKind::Winamp);
    EXPECT_EQ(FindPlayer(PlayerKind::Sonique), nullptr);
    EXPECT_EQ(CurrentPlayerKind(), PlayerKind::NoPlayer);
}

TEST_F(PlayerSearch, CommandsGoToTheChosenPlayerOnly) {
    FakePlayerWindow winamp(kWinampClass, "w");
    FakePlayerWindow studio(kStudioClass, "s");
    {
        FakePlayerWindow sonique(kSoniqueClass, "q");
        PlayerPlay();
        PlayerStop();
        std::vector<RecordedMessage> expected = Keystroke('x');
        Append(expected, Keystroke('v'));
        EXPECT_EQ(sonique.Messages(), expected);
        EXPECT_TRUE(studio.Messages().empty());
    }
    PlayerPlay();
    EXPECT_EQ(studio.Messages(), Keystroke('x'));
    EXPECT_TRUE(winamp.Messages().empty());
}

TEST_F(PlayerWinamp, EachOperationSendsItsCommandNumber) {
    FakePlayerWindow winamp(kWinampClass, "song", FakePlayerWindow::Thread::Own);
    std::vector<RecordedMessage> expected;
    for (const Operation& operation : kOperations) {
        operation.run();
        expected.push_back({WM_COMMAND, operation.winampCommand, 0});
    }
    EXPECT_EQ(winamp.Messages(), expected);
}

TEST_F(PlayerWinamp, AHungPlayerHoldsTheCallerOnlyForABoundedTime) {
    FakePlayerWindow winamp(kWinampClass, "song", FakePlayerWindow::Thread::Stalled);
    const auto start = std::chrono::steady_clock::now();
    std::future<void> call = std::async(std::launch::async, PlayerPlay);
    const auto bound = std::chrono::milliseconds(kPlayerCommandTimeoutMs) + std::chrono::seconds(10);
    const bool returned = call.wait_for(bound) == std::future_status::ready;
    const long long elapsedMs = MillisecondsSince(start);
    // Either way, let the window take its message so that the call can end.
    winamp.Release();
    call.wait();
    EXPECT_TRUE(returned) << "PlayerPlay still blocked after " << elapsedMs << " ms";
    RecordProperty("blockedMs", static_cast<int>(elapsedMs));
}

TEST_F(PlayerKeystrokes, EachOperationPostsOneKeyPress) {
    for (const char* className : {kStudioClass, kSoniqueClass}) {
        FakePlayerWindow player(className, "song");
        std::vector<RecordedMessage> expected;
        for (const Operation& operation : kOperations) {
            if (operation.run == PlayerPrevious) continue;  // see below
            operation.run();
            Append(expected, Keystroke(operation.key));
        }
        EXPECT_EQ(player.Messages(), expected) << className;
    }
}

TEST_F(PlayerKeystrokes, TheCharMessageCarriesTheVirtualKeyAndTheBareScanCode) {
    ASSERT_EQ(VkKeyScanA('x'), 0x58) << "these values hold for a US keyboard layout";
    const LPARAM scanCode = MapVirtualKeyA(0x58, MAPVK_VK_TO_VSC);
    ASSERT_NE(scanCode, 0);

    FakePlayerWindow studio(kStudioClass, "song");
    PlayerPlay();
    const std::vector<RecordedMessage> messages = studio.Messages();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[1].message, static_cast<UINT>(WM_CHAR));
    EXPECT_EQ(messages[1].wParam, 0x58u);  // not the character 0x78
    for (const RecordedMessage& message : messages) {
        EXPECT_EQ(message.lParam, scanCode);  // not moved into bits 16 to 23, no flags
    }
}

TEST_F(PlayerKeystrokes, PreviousPressesTwiceWithAWaitForSoniqueOnly) {
    std::vector<RecordedMessage> once = Keystroke('z');
    std::vector<RecordedMessage> twice = once;
    Append(twice, once);
    {
        FakePlayerWindow sonique(kSoniqueClass, "song");
        PlayerPrevious();
        const std::vector<RecordedMessage> messages = sonique.Messages();
        EXPECT_EQ(messages, twice);
        ASSERT_EQ(messages.size(), 6u);
        // Posting times: the first key-up, then the second key-down.
        const DWORD waitedMs = messages[3].time - messages[2].time;
        EXPECT_GE(waitedMs, 800u);
        RecordProperty("soniqueWaitMs", static_cast<int>(waitedMs));
    }
    FakePlayerWindow studio(kStudioClass, "song");
    const auto start = std::chrono::steady_clock::now();
    PlayerPrevious();
    EXPECT_LT(MillisecondsSince(start), 800);
    EXPECT_EQ(studio.Messages(), once);
}

TEST_F(PlayerTitle, IsTheWindowTextOfWhicheverPlayerRuns) {
    const std::string text = "  12. Some Artist - Some Song (3:45)  ";
    for (const char* className : {kSoniqueClass, kStudioClass, kWinampClass}) {
        FakePlayerWindow player(className, text, ThreadFor(className));
        EXPECT_EQ(std::string(GetPlayerTitle()), text) << className;
    }
}

TEST_F(PlayerTitle, AnEmptyTextIsNone) {
    FakePlayerWindow studio(kStudioClass, "");
    EXPECT_STREQ(GetPlayerTitle(), "None");
}

TEST_F(PlayerTitle, ALongTextIsCutAt2047Characters) {
    std::string text;
    for (int i = 0; i < 3000; ++i) text += static_cast<char>('a' + i % 26);
    FakePlayerWindow winamp(kWinampClass, text, FakePlayerWindow::Thread::Own);
    EXPECT_EQ(std::string(GetPlayerTitle()), text.substr(0, 2047));
}

}  // namespace
