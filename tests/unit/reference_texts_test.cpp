#include "stations/reference_texts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

using namespace nimbrel;

namespace {

// Lines split at each line feed; a text ending in one gives a last empty line.
std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts(1);
    for (char c : text) {
        if (c == separator)
            parts.emplace_back();
        else
            parts.back() += c;
    }
    return parts;
}

// The box shows the text up to its NUL; lines end with a line feed alone.
void ExpectPlainText(const char* text, std::size_t length) {
    EXPECT_EQ(std::strlen(text), length);
    EXPECT_EQ(std::string(text).find('\r'), std::string::npos);
}

TEST(ReferenceTexts, LanguageCodeHelp) {
    ExpectPlainText(LanguageCodeHelp, 467);
    std::vector<std::string> lines = Split(LanguageCodeHelp, '\n');
    ASSERT_EQ(lines.size(), 18u);  // 17 lines, each ending in a line feed
    EXPECT_EQ(lines[17], "");
    EXPECT_EQ(lines[0], "Here the language codes avaible:");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[14], "");
    std::string codes;
    for (int i = 2; i < 14; ++i) {
        EXPECT_EQ(lines[i].substr(5, 14), " ->English to ") << lines[i];
        codes += lines[i].substr(0, 5) + " ";
    }
    EXPECT_EQ(codes, "en_zh en_zt en_nl en_fr en_de en_el en_it en_ja en_ko en_pt en_ru en_es ");
    EXPECT_EQ(lines[2], "en_zh ->English to simple chinese");
}

TEST(ReferenceTexts, CountryListText) {
    ExpectPlainText(CountryListText, 2047);
    std::vector<std::string> lines = Split(CountryListText, '\n');
    ASSERT_EQ(lines.size(), 2u + 67u + 1u);
    EXPECT_EQ(lines[0], "Find your country and use it with /xcountry");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines.back(), "");

    std::vector<std::string> entries;
    std::map<std::size_t, int> linesByCount;
    for (std::size_t i = 2; i + 1 < lines.size(); ++i) {
        std::vector<std::string> onLine = Split(lines[i], '\t');
        ++linesByCount[onLine.size()];
        for (const std::string& entry : onLine) {
            EXPECT_FALSE(entry.empty()) << "line " << i;
            entries.push_back(entry);
        }
        if (onLine[0] == "Fiji") {
            EXPECT_EQ(onLine, (std::vector<std::string>{"Fiji", "Finland", "FranceFrench Guiana", "French Polynesia", "Gabon"}));
        }
    }
    EXPECT_EQ(entries.size(), 190u);
    EXPECT_EQ(linesByCount, (std::map<std::size_t, int>{{1, 2}, {2, 12}, {3, 49}, {4, 3}, {5, 1}}));
    EXPECT_TRUE(std::is_sorted(entries.begin(), entries.end()));
    for (const char* kept : {"Bahamas, The", "Macedonia, The Republic of"})
        EXPECT_NE(std::find(entries.begin(), entries.end(), kept), entries.end()) << kept;
    EXPECT_EQ(std::find(entries.begin(), entries.end(), "France"), entries.end());
}

TEST(ReferenceTexts, StateListText) {
    ExpectPlainText(StateListText, 571);
    const std::string text = StateListText;
    EXPECT_EQ(text.substr(0, 24), "\tStates List from USA:\n\n");
    EXPECT_EQ(text.substr(text.size() - 8), "\nWyoming");

    std::vector<std::string> lines = Split(text, '\n');
    ASSERT_EQ(lines.size(), 21u);
    std::vector<std::string> names;
    for (std::size_t i = 2; i < lines.size(); ++i) {
        std::vector<std::string> onLine = Split(lines[i], '\t');
        EXPECT_EQ(onLine.size(), i + 1 < lines.size() ? 3u : 1u) << lines[i];
        names.insert(names.end(), onLine.begin(), onLine.end());
    }
    EXPECT_EQ(names.size(), 55u);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_NE(std::find(names.begin(), names.end(), "Virgin Islands, U.S."), names.end());
}

}  // namespace
