#include "published_info.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace nimbrel::host;

TEST(PublishedInfo, ReadsRowsUpToTheCountAndNullForUntouchedParameters) {
    PublishedInfo info;
    std::strcpy(info.name(), "Name");
    info.table()->count = 2;
    std::strcpy(info.table()->commands[0], "xa");
    std::strcpy(info.table()->descriptions[0], "first");
    std::strcpy(info.table()->parameters[0], "");
    std::strcpy(info.table()->commands[1], "xb");
    std::strcpy(info.table()->descriptions[1], "second");
    info.tags()->count = 0;

    LoadedEvent loaded = info.Read();
    EXPECT_EQ(loaded.name, "Name");
    EXPECT_EQ(loaded.tags, 0);
    ASSERT_EQ(loaded.commands.size(), 2u);
    EXPECT_EQ(loaded.commands[0].command, "xa");
    EXPECT_EQ(loaded.commands[0].parameter, std::string());  // written empty
    EXPECT_EQ(loaded.commands[1].description, "second");
    EXPECT_FALSE(loaded.commands[1].parameter.has_value());  // left untouched
}

TEST(PublishedInfo, ACountBeyondTheTableIsBounded) {
    PublishedInfo info;
    info.table()->count = 1000;
    EXPECT_EQ(info.Read().commands.size(), 50u);
    info.table()->count = -3;
    EXPECT_TRUE(info.Read().commands.empty());
}
