#include "plugin/weather_parameters.h"

#include <gtest/gtest.h>

#include <string>

using namespace nimbrel;

namespace {

struct Split {
    const char* parameters;
    const char* code;
    const char* pair;
    bool stored;
    bool good;
};

void ExpectSplit(const Split& expected) {
    SCOPED_TRACE(std::string("parameters \"") + (expected.parameters ? expected.parameters : "(null)") + "\"");
    WeatherParameters actual = SplitWeatherParameters(expected.parameters);
    EXPECT_EQ(actual.stationCode, expected.code);
    EXPECT_EQ(actual.languagePair, expected.pair);
    EXPECT_EQ(actual.storePreferences, expected.stored);
    EXPECT_EQ(actual.codeIsGood, expected.good);
}

TEST(WeatherParameters, SplitAtTheFirstBlank) {
    ExpectSplit({"LFMN en_fr", "LFMN", "en_fr", true, true});
    ExpectSplit({"LFMN", "LFMN", "", true, true});
    ExpectSplit({"lfmn", "lfmn", "", true, true});
    ExpectSplit({"LFMN   en_fr", "LFMN", "en_fr", true, true});
    // Only the leading white space of the pair goes; the rest stays as typed.
    ExpectSplit({"LFMN \t\n\v\f\ren fr ", "LFMN", "en fr ", true, true});
    ExpectSplit({"LFMN ", "LFMN", "", true, true});
    // Only character 32 splits.
    ExpectSplit({"LFMN\ten_fr", "LFMN\ten_fr", "", true, false});
    ExpectSplit({"AB\tC", "AB\tC", "", true, true});  // four characters, tab included
    ExpectSplit({" LFMN", "", "LFMN", true, false});
}

TEST(WeatherParameters, ShortParameterTextsStoreNothing) {
    ExpectSplit({"LFM", "LFM", "", false, false});
    ExpectSplit({"", "", "", false, false});
    ExpectSplit({nullptr, "", "", false, false});
    // Four characters in all are enough, even when the code is bad.
    ExpectSplit({"AB CD", "AB", "CD", true, false});
    ExpectSplit({"A BC", "A", "BC", true, false});
}

TEST(WeatherParameters, LongFieldsAreKeptWholeAndNeverPassForGood) {
    std::string longWord(5000, 'W');
    std::string longPair(5000, 'p');
    ExpectSplit({"LFMNX en_fr", "LFMNX", "en_fr", true, false});
    ExpectSplit({"LFMN en_frx", "LFMN", "en_frx", true, true});
    std::string both = longWord + " " + longPair;
    ExpectSplit({both.c_str(), longWord.c_str(), longPair.c_str(), true, false});
    ExpectSplit({longWord.c_str(), longWord.c_str(), "", true, false});
}

}  // namespace
