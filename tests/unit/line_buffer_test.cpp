#include "line_buffer.h"

#include <gtest/gtest.h>

using namespace nimbrel::host;

TEST(LineBuffer, HandsOutWholeLinesAsTheyArriveAndTheRestAtTheEnd) {
    LineBuffer buffer;
    buffer.Append("/xs he");
    EXPECT_FALSE(buffer.Next()) << "half a line waits for its end";
    buffer.Append("llo\r\n\nchat\rtext\nlast\r");
    EXPECT_EQ(buffer.Next(), "/xs hello") << "CR LF ends a line";
    EXPECT_EQ(buffer.Next(), "");
    EXPECT_EQ(buffer.Next(), "chat\rtext") << "a CR inside a line stays";
    EXPECT_FALSE(buffer.Next());
    EXPECT_EQ(buffer.Rest(), "last") << "the pipe's end ends the last line";
    EXPECT_FALSE(buffer.Rest());
}
