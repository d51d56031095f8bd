// The plug-in's start-up, publication and tag entry points, driven through
// the host stand-in as the messenger drives them. The published texts and
// the answers to unknown words are checked end to end by
// console_host_test.py.

#include <gtest/gtest.h>

#include <string>

#include "plugin_host.h"
#include "recording_sink.h"
#include "test_paths.h"

using namespace nimbrel::host;

namespace {

struct EntryPoints : ::testing::Test {
    RecordingSink events;
    PluginHost host{events};

    void SetUp() override {
        ASSERT_TRUE(host.Load(PluginPath()));
        ASSERT_EQ(host.Initialize("Default"), TRUE);
    }
};

TEST_F(EntryPoints, PublishingAgainGivesTheSameRows) {
    LoadedEvent first = host.Publish();
    LoadedEvent second = host.Publish();
    ASSERT_EQ(first.commands.size(), 14u);
    ASSERT_EQ(second.commands.size(), 14u);
    for (std::size_t i = 0; i < first.commands.size(); ++i) {
        EXPECT_EQ(first.commands[i].command, second.commands[i].command);
        EXPECT_EQ(first.commands[i].description, second.commands[i].description);
        EXPECT_EQ(first.commands[i].parameter, second.commands[i].parameter);
    }
}

TEST_F(EntryPoints, TagsAreNeverExpanded) {
    EXPECT_EQ(host.ParseTag(), 0);
}

TEST_F(EntryPoints, AKeyNameOfAnyLengthIsTaken) {
    EXPECT_EQ(host.Initialize(std::string(4000, 'k')), TRUE);
    EXPECT_EQ(host.Initialize(""), TRUE);
    EXPECT_EQ(host.Publish().commands.size(), 14u);
}

}  // namespace
