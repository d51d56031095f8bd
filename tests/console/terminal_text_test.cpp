// The conversions between the plug-in's code page, UTF-16 and the
// terminal's UTF-8, with control characters shown rather than obeyed.

#include <gtest/gtest.h>

#include "terminal_text.h"
#include "unicode_text.h"
#include "windows_1252.h"

namespace console {
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

TEST(Windows1252, TypedTextIsConvertedWithAQuestionMarkForWhatItLacks) {
    EXPECT_EQ(ToWindows1252("caf\xC3\xA9"), "caf\xE9");
    EXPECT_EQ(ToWindows1252("\xE2\x82\xAC \xE2\x80\x93 \xC5\x92"), "\x80 \x96 \x8C");
    EXPECT_EQ(ToWindows1252("\xF0\x9F\x98\x80!"), "?!");
    EXPECT_EQ(ToWindows1252("\xE2\x98\x83"), "?");
    EXPECT_EQ(ToWindows1252("/xs hi"), "/xs hi");
    // Malformed UTF-8: a question mark for each byte that cannot be read.
    EXPECT_EQ(ToWindows1252("a\xC3 \xFF\xC0\xAF"), "a? ???");
}

TEST(Windows1252, EveryByteComesBackFromItsCodePoint) {
    for (int byte = 0; byte < 256; ++byte) {
        const std::string utf8 = EncodeUtf8(std::u32string(1, FromWindows1252(static_cast<unsigned char>(byte))));
        EXPECT_EQ(ToWindows1252(utf8), std::string(1, static_cast<char>(byte))) << byte;
    }
}

TEST(UnicodeText, MalformedUtf8BecomesReplacementCharacters) {
    EXPECT_EQ(DecodeUtf8("\xE2\x82\xAC"), U"\u20AC");
    EXPECT_EQ(DecodeUtf8("\xC0\x80"), std::u32string(2, kReplacementCharacter)) << "overlong";
    EXPECT_EQ(DecodeUtf8("\xED\xA0\x80"), std::u32string(3, kReplacementCharacter)) << "a surrogate";
    EXPECT_EQ(DecodeUtf8("\xF4\x90\x80\x80"), std::u32string(4, kReplacementCharacter)) << "past U+10FFFF";
    EXPECT_EQ(DecodeUtf8("\xE2\x82"), std::u32string(2, kReplacementCharacter)) << "cut short";
    EXPECT_EQ(EncodeUtf16(DecodeUtf8("\xF0\x9F\x98\x80")), u"\U0001F600");
}

}  // namespace
}  // namespace console
