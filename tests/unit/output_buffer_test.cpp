#include "output_buffer.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace nimbrel::host;

TEST(OutputBuffer, TellsUntouchedFromEmpty) {
    OutputBuffer buffer(16);
    EXPECT_TRUE(buffer.Untouched());
    EXPECT_FALSE(buffer.Text().has_value());

    buffer.data()[0] = '\0';
    EXPECT_FALSE(buffer.Untouched());
    EXPECT_EQ(buffer.Text(), std::string());

    std::strcpy(buffer.data(), "abc");
    EXPECT_EQ(buffer.Text(), std::string("abc"));

    buffer.Reset();
    EXPECT_TRUE(buffer.Untouched());
}

TEST(OutputBuffer, GuardShowsAWritePastTheCapacity) {
    OutputBuffer buffer(16);
    std::memset(buffer.data(), 'x', 15);
    buffer.data()[15] = '\0';
    EXPECT_TRUE(buffer.GuardIntact());
    EXPECT_TRUE(buffer.Terminated());
    EXPECT_EQ(buffer.Text()->size(), 15u);

    buffer.data()[16] = 'y';
    EXPECT_FALSE(buffer.GuardIntact());
}

TEST(OutputBuffer, UnterminatedTextIsCutAtTheCapacity) {
    OutputBuffer buffer(8);
    std::memset(buffer.data(), 'z', 8);
    EXPECT_FALSE(buffer.Terminated());
    EXPECT_EQ(buffer.Text(), std::string(8, 'z'));
}
