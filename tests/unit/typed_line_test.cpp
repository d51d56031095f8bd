#include "typed_line.h"

#include <gtest/gtest.h>

using namespace nimbrel::host;

TEST(TypedLine, CommandSplitsAtTheFirstBlankAndKeepsTheRestAsTyped) {
    TypedLine line = ParseTypedLine("/xweather LFMN   en_fr ");
    EXPECT_EQ(line.kind, TypedLine::Kind::Command);
    EXPECT_EQ(line.word, "/xweather");
    EXPECT_EQ(line.params, "LFMN   en_fr ");

    line = ParseTypedLine("/xcountry");
    EXPECT_EQ(line.word, "/xcountry");
    EXPECT_EQ(line.params, "");

    line = ParseTypedLine("/xs  two leading");
    EXPECT_EQ(line.params, " two leading");

    // Only the blank separates: a tab stays in the word.
    line = ParseTypedLine("/xs\thello");
    EXPECT_EQ(line.word, "/xs\thello");
    EXPECT_EQ(line.params, "");
}

TEST(TypedLine, HostDirectivesAndChat) {
    EXPECT_EQ(ParseTypedLine(":configure").kind, TypedLine::Kind::Configure);
    EXPECT_EQ(ParseTypedLine(":quit").kind, TypedLine::Kind::Quit);

    TypedLine notify = ParseTypedLine(":notify speak hello there");
    EXPECT_EQ(notify.kind, TypedLine::Kind::Notify);
    EXPECT_EQ(notify.word, "speak");
    EXPECT_EQ(notify.params, "hello there");

    TypedLine bare = ParseTypedLine(":notify soniq");
    EXPECT_EQ(bare.word, "soniq");
    EXPECT_EQ(bare.params, "");

    TypedLine chat = ParseTypedLine("hello /xweather");
    EXPECT_EQ(chat.kind, TypedLine::Kind::Chat);
    EXPECT_EQ(chat.params, "hello /xweather");
    EXPECT_EQ(ParseTypedLine(":configured").kind, TypedLine::Kind::Chat);
    EXPECT_EQ(ParseTypedLine("").kind, TypedLine::Kind::Chat);
}
