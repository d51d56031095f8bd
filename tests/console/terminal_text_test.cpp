// The plug-in's texts as a terminal shows them: UTF-8, with control
// characters shown rather than obeyed.

#include <gtest/gtest.h>

#include "terminal_text.h"

namespace nimbrel::console {
namespace {

TEST(TerminalText, TheCodePageBecomesUtf8) {
    EXPECT_EQ(TerminalText(std::string("80\xB0 F")), "80\xC2\xB0 F");
    EXPECT_EQ(TerminalText(std::string("\x80 \x93x\x94 \x85")), "\xE2\x82\xAC \xE2\x80\x9Cx\xE2\x80\x9D \xE2\x80\xA6");
    EXPECT_EQ(TerminalText(std::string("caf\xE9 \xFF")), "caf\xC3\xA9 \xC3\xBF");
}

TEST(TerminalText, ControlsOtherThanLineFeedAndTabAreShown) {
    EXPECT_EQ(TerminalText(std::string("a\x1B[2Jb\x07")), "a^[[2Jb^G");
    EXPECT_EQ(TerminalText(std::string("\r\x7F\x00!", 4)), "^M^?^@!");
    EXPECT_EQ(TerminalText(std::string("one\ntwo\tthree")), "one\ntwo\tthree");
    // The five bytes the code page leaves undefined are C1 controls.
    EXPECT_EQ(TerminalText(std::string("\x81\x9D")), "<U+0081><U+009D>");
    EXPECT_EQ(TerminalText(std::u16string(u"\u009B2J\u001B")), "<U+009B>2J^[");
    EXPECT_EQ(TerminalTextFromUtf8("wine: \x1B]0;title\x07"), "wine: ^[]0;title^G");
}

TEST(TerminalText, WideTextOutsideTheBasicPlaneIsOneUtf8Sequence) {
    EXPECT_EQ(TerminalText(std::u16string(u"\U0001F600 \u00E9")), "\xF0\x9F\x98\x80 \xC3\xA9");
    // A lone surrogate cannot be UTF-8.
    EXPECT_EQ(TerminalText(std::u16string(1, char16_t(0xDC00))), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace nimbrel::console
