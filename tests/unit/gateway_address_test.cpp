#include "http/gateway_address.h"

#include <gtest/gtest.h>

#include <string>

using namespace nimbrel;

namespace {

TEST(GatewayAddress, HostAndOptionalPortOnly) {
    const std::string label(63, 'a');
    const std::string longest = "http://" + label + "." + label + "." + label + "." + std::string(56, 'b');
    ASSERT_EQ(longest.size(), kGatewayAddressMaxLength);
    const struct {
        std::string text;
        bool good;
    } cases[] = {
        {"http://192.168.1.20:8642", true},
        {"https://gateway.example", true},
        {"http://gateway-1.example:1/", true},
        {"http://localhost:65535", true},
        {longest, true},
        {longest + "b", false},                          // too long
        {"http://" + std::string(64, 'a'), false},       // a label past 63
        {"", false},
        {"192.168.1.20:8642", false},                    // no scheme
        {"ftp://gateway.example", false},
        {"HTTP://gateway.example", false},
        {"http://", false},
        {"http:///", false},
        {"http://:8642", false},
        {"http://gateway.example:", false},
        {"http://gateway.example:0", false},
        {"http://gateway.example:65536", false},
        {"http://gateway.example:123456", false},
        {"http://gateway.example:86a2", false},
        {"http://gateway.example:+86", false},
        {"http://gateway.example/weather", false},       // a path
        {"http://gateway.example//", false},
        {"http://gateway.example?x=1", false},
        {"http://gateway.example#x", false},
        {"http://user@gateway.example", false},
        {"http://user:pw@gateway.example:8642", false},
        {"http://gateway..example", false},
        {"http://.gateway.example", false},
        {"http://gateway.example.", false},
        {"http://gate way.example", false},
        {"http://gateway.example\r\nHost: x", false},
        {std::string("http://gateway.example\0", 23), false},
        {"http://gateway.example\x7f", false},
        {"http://[::1]:8642", false},                    // the client splits no IPv6 literal
        {"http://g\xe9.example", false},
        {" http://gateway.example", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsGatewayAddress(c.text), c.good) << '"' << c.text << '"';
}

TEST(GatewayAddress, BaseDropsTheTrailingSlash) {
    EXPECT_EQ(GatewayBase("http://gateway.example:8642/"), "http://gateway.example:8642");
    EXPECT_EQ(GatewayBase("http://gateway.example:8642"), "http://gateway.example:8642");
}

TEST(GatewayAddress, PrintableValueHidesControlsAndCuts) {
    EXPECT_EQ(PrintableValue("http://a\x1b[2J\r\n\x7f\t.example", 64), "http://a?[2J????.example");
    EXPECT_EQ(PrintableValue(std::string("a\0b", 3), 64), "a?b");
    EXPECT_EQ(PrintableValue("abcdef", 4), "abcd...");
    EXPECT_EQ(PrintableValue("abcd", 4), "abcd");
    EXPECT_EQ(PrintableValue("caf\xe9", 8), "caf\xe9");   // Windows-1252 letters stay
}

}  // namespace
