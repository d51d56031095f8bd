#include "http/network_text.h"

#include <gtest/gtest.h>

#include <string>

using namespace nimbrel;

namespace {

TEST(NetworkText, DropsEveryC0ControlButTabLineFeedAndCarriageReturn) {
    std::string all;
    for (int byte = 0; byte < 256; ++byte) all += static_cast<char>(byte);
    std::string text = "kept:";
    AppendNetworkText(text, all.data(), all.size());
    EXPECT_EQ(text, "kept:" + std::string("\t\n\r") + all.substr(0x20));

    text.clear();
    const char answer[] = "\x12speak\x1b[31mred\x00!";
    AppendNetworkText(text, answer, sizeof answer - 1);
    EXPECT_EQ(text, "speak[31mred!");
}

}  // namespace
