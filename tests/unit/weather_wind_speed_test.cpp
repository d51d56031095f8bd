#include "weather/decimal_number.h"
#include "weather/wind_speed.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace nimbrel;

namespace {

TEST(WindSpeed, ListedConversions) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"0", "   0"}, {"1", "1.8532"}, {"5", "9.266"}, {"10", "18.532"},
        {"13", "24.0916"}, {"35", "64.862"}, {"100", "185.32"}};
    for (const auto& [knots, kilometers] : cases) EXPECT_EQ(KilometersPerHour(knots), kilometers) << knots;
}

// The figure must read exactly as the C library's "%*g" with width 4 writes it.
TEST(WindSpeed, WrittenAsPrintfWidthFourG) {
    std::vector<std::string> texts = {"0.001", "0.00001", "7e-5", "-3", "-0", "2.5", "539611", "539612", "1e300"};
    for (int knots = 0; knots <= 3000; knots += 7) {
        texts.push_back(std::to_string(knots));
        texts.push_back(std::to_string(knots) + ".35");
    }
    for (const std::string& text : texts) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "%*g", 4, std::strtod(text.c_str(), nullptr) * 1.8532);
        EXPECT_EQ(KilometersPerHour(text), expected) << text;
    }
}

TEST(WindSpeed, KnotsTextFollowsTheFirstMphUpToTheFirstKnotsAfterIt) {
    EXPECT_EQ(KnotsText("from the W (270 degrees) at 9 MPH (8 KT)"), "8");
    EXPECT_EQ(KnotsText("at 15 MPH (13 KT) gusting to 23 MPH (20 KT)"), "13");
    EXPECT_EQ(KnotsText("was 1 KT) now 9 MPH (8 KT)"), "8");
    EXPECT_EQ(KnotsText("at 9 MPH (8 knots)"), "8 knots)");
    EXPECT_FALSE(KnotsText("Calm:0").has_value());
    EXPECT_FALSE(KnotsText("at 9 mph (8 KT)").has_value());
}

TEST(DecimalNumber, ReadsTheLeadingNumberAsTheCLibraryDoes) {
    for (const std::string text : {"8", " \t\r\n8 KT", "+3", "-2.5", ".5", "5.", "1e2", "2E-1", "1e", "1e+", "3e+x",
                                   "12abc", "8,5", "1.2.3", "", "abc", ".", "-", "+-5", "- 5", "0012", "1e-400",
                                   "1e999", "-0.001e400", "0.0000000000000000000000000000001e-300"}) {
        EXPECT_EQ(ReadDecimalNumber(text), std::strtod(text.c_str(), nullptr)) << text;
    }
    // Where the C library goes further, a wind speed does not.
    EXPECT_EQ(ReadDecimalNumber("0x1A"), 0.0);
    EXPECT_EQ(ReadDecimalNumber("inf"), 0.0);
    EXPECT_EQ(ReadDecimalNumber("nan"), 0.0);
    EXPECT_EQ(ReadDecimalNumber(std::string_view("123", 2)), 12.0);  // the view's end is the number's end
}

}  // namespace
