// The small text tests, at their edges: empty texts, a match as long as
// the text, and case told apart only where asked.

#include "services/support/text_match.h"

#include <gtest/gtest.h>

using namespace nimbrel::services;

TEST(TextMatch, StartsAndEnds) {
    struct Case {
        std::string_view text, part;
        bool starts, ends, startsNoCase;
    };
    const Case cases[] = {
        {"/station/LFMN.html", "/station/", true, false, true},
        {"/station/LFMN.html", ".html", false, true, false},
        {"abc", "abc", true, true, true},
        {"ab", "abc", false, false, false},
        {"", "", true, true, true},
        {"abc", "", true, true, true},
        {"HTTP://host", "http://", false, false, true},
        {"http://host", "HTTP://", false, false, true},
        {"https://host", "http:", false, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StartsWith(c.text, c.part), c.starts) << c.text << " / " << c.part;
        EXPECT_EQ(EndsWith(c.text, c.part), c.ends) << c.text << " / " << c.part;
        EXPECT_EQ(StartsWithNoCase(c.text, c.part), c.startsNoCase) << c.text << " / " << c.part;
    }
}

TEST(TextMatch, CaseAndBlanks) {
    EXPECT_TRUE(EqualsNoCase("United States", "united states"));
    EXPECT_FALSE(EqualsNoCase("United States", "united state"));
    EXPECT_EQ(AsciiLowered("Zh-Hant 1@"), "zh-hant 1@");
    EXPECT_EQ(AsciiUppered("lfmn\xE9"), "LFMN\xE9");  // bytes past ASCII kept
    struct Case {
        std::string_view text, trimmed;
    };
    const Case cases[] = {{" \tgzip\r", "gzip"}, {"a b", "a b"}, {" \t\r", ""}, {"", ""}, {"\nx\n", "\nx\n"}};
    for (const Case& c : cases) EXPECT_EQ(TrimmedBlanks(c.text), c.trimmed) << c.text;
}
