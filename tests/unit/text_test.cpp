// The conversions between the plug-in's code page, UTF-8 and UTF-16 that the
// host stand-in, the front end and the services share.

#include <gtest/gtest.h>

#include "unicode_text.h"
#include "windows_1252.h"

using namespace nimbrel::text;

namespace {

TEST(Windows1252, ConvertsToUtf8ByteForByte) {
    EXPECT_EQ(Windows1252ToUtf8("80\xB0 \x80 \x93x\x94"), "80\u00B0 \u20AC \u201Cx\u201D");
    // The five bytes the code page leaves undefined stay C1 controls.
    EXPECT_EQ(Windows1252ToUtf8("\x81\x9D"), "\u0081\u009D");
}

TEST(Windows1252, TypedTextIsConvertedWithAQuestionMarkForWhatItLacks) {
    EXPECT_EQ(Utf8ToWindows1252("caf\xC3\xA9"), "caf\xE9");
    EXPECT_EQ(Utf8ToWindows1252("\xE2\x82\xAC \xE2\x80\x93 \xC5\x92"), "\x80 \x96 \x8C");
    EXPECT_EQ(Utf8ToWindows1252("Kil\u00F3metros \u00BFS\u00ED? \u2014 \u20AC"), "Kil\xF3metros \xBFS\xED? \x97 \x80");
    EXPECT_EQ(Utf8ToWindows1252("\xF0\x9F\x98\x80!"), "?!");
    EXPECT_EQ(Utf8ToWindows1252("\xE2\x98\x83"), "?");
    EXPECT_EQ(Utf8ToWindows1252("a\u4E2Db\xC3"), "a?b?");
    EXPECT_EQ(Utf8ToWindows1252("/xs hi"), "/xs hi");
    // Malformed UTF-8: a question mark for each byte that cannot be read.
    EXPECT_EQ(Utf8ToWindows1252("a\xC3 \xFF\xC0\xAF"), "a? ???");
    // Overlong forms of a NUL and a "<" are no characters.
    EXPECT_EQ(Utf8ToWindows1252("a\xC0\x80" "b\xE0\x80\xBC"), "a??b???");
}

TEST(Windows1252, EveryByteComesBackFromItsCodePoint) {
    for (int byte = 0; byte < 256; ++byte) {
        const std::string one(1, static_cast<char>(byte));
        EXPECT_EQ(EncodeUtf8(std::u32string(1, FromWindows1252(static_cast<unsigned char>(byte)))),
                  Windows1252ToUtf8(one)) << byte;
        EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(one)), one) << byte;
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

TEST(UnicodeText, Utf16SurrogatePairsAreJoinedAndLoneOnesKeptApart) {
    const std::u16string text = u"a\U0001F600" + std::u16string(1, char16_t(0xDC00)) + u"b";
    std::size_t at = 1;
    EXPECT_EQ(NextUtf16(text, at), U'\U0001F600');
    EXPECT_EQ(at, 3u);
    EXPECT_EQ(NextUtf16(text, at), char32_t(0xDC00)) << "as it stands, for a caller to escape";
    EXPECT_EQ(DecodeUtf16(text), U"a\U0001F600\uFFFDb");
    EXPECT_EQ(EncodeUtf8(U"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(EncodeUtf8(std::u32string(1, char32_t(0xD800))), "\xEF\xBF\xBD");
}

}  // namespace
