#include "plugin/command_words.h"

#include <gtest/gtest.h>

using namespace nimbrel;

namespace {

TEST(CommandWords, AllFourteenMatchWholeIgnoringCase) {
    struct {
        const char* typed;
        CommandWord word;
    } const cases[] = {
        {"/xs", CommandWord::Speak},           {"/XSONG", CommandWord::Song},
        {"/xAdd", CommandWord::Add},           {"/xplay", CommandWord::Play},
        {"/xPAUSE", CommandWord::Pause},       {"/xstop", CommandWord::Stop},
        {"/Xnext", CommandWord::Next},         {"/xprev", CommandWord::Previous},
        {"/xWTransHelp", CommandWord::TranslationHelp},
        {"/xwspeechoff", CommandWord::SpeechOff},
        {"/XWSPEECHON", CommandWord::SpeechOn}, {"/XWEATHER", CommandWord::Weather},
        {"/xcountry", CommandWord::Country},   {"/xStates", CommandWord::States},
    };
    for (const auto& c : cases) EXPECT_EQ(MatchCommandWord(c.typed), c.word) << c.typed;
}

TEST(CommandWords, WordsThatOnlyBeginOrEndLikeOneAreNotOurs) {
    const char* const others[] = {
        "/xsx", "/xweathe", "/xweathers", "xweather", "/x", "", "/xs ", " /xs", "/xspeechon", "/xsong\t",
    };
    for (const char* other : others) EXPECT_EQ(MatchCommandWord(other), CommandWord::None) << other;
    EXPECT_EQ(MatchCommandWord(nullptr), CommandWord::None);
}

}  // namespace
