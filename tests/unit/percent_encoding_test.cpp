#include "http/percent_encoding.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

using namespace nimbrel;

namespace {

TEST(EncodeRequestTarget, LegalTargetsPassUnchanged) {
    const std::string legal =
        "/weather/current/LFMN.html?a=1&b=%41+x;y,z:@!$'()*~_-.ABCxyz0189";
    EXPECT_EQ(EncodeRequestTarget(legal), legal);
    EXPECT_EQ(EncodeRequestTarget("/tr?trtext=50%25&lp=en_es"), "/tr?trtext=50%25&lp=en_es");
}

TEST(EncodeRequestTarget, NothingCanBreakTheRequestLine) {
    EXPECT_EQ(EncodeRequestTarget("/a b?x=1\r\nX-Injected: yes"), "/a%20b?x=1%0D%0AX-Injected:%20yes");
    EXPECT_EQ(EncodeRequestTarget(std::string("/\x01\t\x7f", 4)), "/%01%09%7F");
    EXPECT_EQ(EncodeRequestTarget("/\xB0\xE9\xFF"), "/%B0%E9%FF");
    EXPECT_EQ(EncodeRequestTarget("/\"#<>[\\]^`{|}"), "/%22%23%3C%3E%5B%5C%5D%5E%60%7B%7C%7D");
}

TEST(EncodeRequestTarget, EveryByteComesOutLegal) {
    std::string all;
    for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
    const std::string target = EncodeRequestTarget(all);
    for (unsigned char c : target) {
        EXPECT_GT(c, 0x20);
        EXPECT_LT(c, 0x7F);
        EXPECT_EQ(std::string("\"#<>[\\]^`{|}").find(static_cast<char>(c)), std::string::npos);
    }
    EXPECT_EQ(target.size(), 255u + 2 * (255u - 82u));   // 82 bytes may stand as they are
}

TEST(PercentEncodeQueryValue, UnreservedBytesStandAsThemselvesEveryOtherAsUpperCaseHex) {
    const char* const unreserved = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~";
    for (int byte = 0; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        char escaped[4];
        std::snprintf(escaped, sizeof escaped, "%%%02X", byte);
        const bool plain = byte != 0 && std::strchr(unreserved, c) != nullptr;
        EXPECT_EQ(PercentEncodeQueryValue(std::string(1, c)), plain ? std::string(1, c) : escaped) << byte;
    }
}

}  // namespace
