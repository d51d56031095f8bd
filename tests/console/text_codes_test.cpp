#include "text_codes.h"

#include <gtest/gtest.h>

namespace nimbrel::console {
namespace {

TEST(RenderTextCodes, CodesBecomeTerminalStyles) {
    EXPECT_EQ(RenderTextCodes("#(!FC04)(!FB)Wind: (!FR)from the W", true),
              "#\x1b[38;5;196m\x1b[1mWind: \x1b[0mfrom the W");
    // A text that ends styled is brought back to plain.
    EXPECT_EQ(RenderTextCodes("(!FB)bold", true), "\x1b[1mbold\x1b[0m");
}

TEST(RenderTextCodes, WithoutColourTheCodesGo) {
    EXPECT_EQ(RenderTextCodes("#(!FC04)(!FB)Wind: (!FR)from the W (st)", false), "#Wind: from the W (st)");
}

TEST(RenderTextCodes, EveryReportColourIsInThePalette) {
    for (const char* code : {"(!FC02)", "(!FC03)", "(!FC04)", "(!FC05)", "(!FC06)", "(!FC07)", "(!FC09)", "(!FC20)"})
        EXPECT_NE(RenderTextCodes(std::string(code) + "x", true), "x") << code;
}

TEST(RenderTextCodes, AnythingThatIsNotAWholeCodeStays) {
    for (const char* text : {"(!FC4)x", "(!FCab)x", "(!FC04", "(!FX)", "(!F", "(!FC)"})
        EXPECT_EQ(RenderTextCodes(text, true), text);
    EXPECT_EQ(RenderTextCodes("(!FC99)x", true), "x") << "unknown colours keep the current one";
}

}  // namespace
}  // namespace nimbrel::console
