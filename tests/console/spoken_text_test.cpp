// What the voice is handed of a spoken text: UTF-8 with no control
// character left for espeak-ng to obey.

#include <gtest/gtest.h>

#include "spoken_text.h"

namespace nimbrel::console {
namespace {

TEST(SpokenText, IsUtf8WithSurrogatePairsJoined) {
    EXPECT_EQ(SpokenText(u"caf\u00E9 80\u00B0 \u20AC"), "caf\xC3\xA9 80\xC2\xB0 \xE2\x82\xAC");
    EXPECT_EQ(SpokenText(u"\U0001F600"), "\xF0\x9F\x98\x80");
    EXPECT_EQ(SpokenText(std::u16string(1, char16_t(0xD83D)) + u"!"), "\xEF\xBF\xBD!") << "a lone surrogate";
}

TEST(SpokenText, EveryControlCharacterBecomesABlank) {
    EXPECT_EQ(SpokenText(u"a\x1B[2Jb\x07"), "a [2Jb ");
    EXPECT_EQ(SpokenText(std::u16string(u"one\r\ntwo\tthree\0!", 16)), "one  two three !");
    EXPECT_EQ(SpokenText(u"\u007F\u0085\u009B\u00A0"), "   \xC2\xA0") << "DEL and C1 controls; not a no-break space";
    EXPECT_EQ(SpokenText(u"-w /tmp/x"), "-w /tmp/x") << "the text is never an argument, so it stays as it is";
}

}  // namespace
}  // namespace nimbrel::console
