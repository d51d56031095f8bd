#pragma once
// The player stand-in's window for tests: a window that cannot be created,
// or that does not take its messages, fails the test.

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "stand_in_player/player_window.h"

namespace nimbrel::host {

inline void PrintTo(const RecordedMessage& m, std::ostream* out) {
    *out << "{message 0x" << std::hex << m.message << ", wParam 0x" << m.wParam << ", lParam 0x" << m.lParam
         << std::dec << "}";
}

class FakePlayerWindow : public PlayerWindow {
public:
    FakePlayerWindow(const char* className, const std::string& text, Thread thread = Thread::Caller)
        : PlayerWindow(className, text, thread) {
        EXPECT_TRUE(registered()) << "class " << className << " registered twice?";
        EXPECT_NE(window(), nullptr) << "no window of class " << className;
    }

    std::vector<RecordedMessage> Messages() {
        std::optional<std::vector<RecordedMessage>> messages = PlayerWindow::Messages();
        EXPECT_TRUE(messages) << "the window did not take its messages";
        return messages.value_or(std::vector<RecordedMessage>());
    }
};

}  // namespace nimbrel::host
