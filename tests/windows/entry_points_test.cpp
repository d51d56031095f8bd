// The plug-in's start-up, publication and tag entry points, driven through
// the host stand-in as the messenger drives them.

#include <gtest/gtest.h>

#include <string>

#include "plugin_host.h"
#include "recording_sink.h"
#include "test_paths.h"

namespace {

struct EntryPoints : ::testing::Test {
    RecordingSink events;
    PluginHost host{events};

    void SetUp() override {
        ASSERT_TRUE(host.Load(PluginPath()));
        ASSERT_EQ(host.Initialize("Default"), TRUE);
    }
};

TEST_F(EntryPoints, PublishesTheNameAndFourteenCommands) {
    LoadedEvent published = host.Publish();
    EXPECT_EQ(published.name, "Nimbrel' s Plugin v.1.1");
    EXPECT_EQ(published.tags, 0);
    ASSERT_EQ(published.commands.size(), 14u);
    EXPECT_EQ(published.commands[0].command, "xweather");
    EXPECT_EQ(published.commands[1].description, "To view all towns by country with code ");
    EXPECT_EQ(published.commands[4].command, "xs");
    EXPECT_EQ(published.commands[4].parameter, std::string("text to speech"));
    EXPECT_EQ(published.commands[13].command, "xwspeechon");
    // Commands without a parameter leave their rows as the host had them.
    const int parameterRows[] = {0, 1, 2, 4};
    for (int i = 0; i < 14; ++i) {
        bool hasParameter = std::find(std::begin(parameterRows), std::end(parameterRows), i) != std::end(parameterRows);
        EXPECT_EQ(published.commands[i].parameter.has_value(), hasParameter) << "row " << i;
    }
    EXPECT_TRUE(events.errors.empty());
}

TEST_F(EntryPoints, PublishingAgainGivesTheSameRows) {
    LoadedEvent first = host.Publish();
    LoadedEvent second = host.Publish();
    ASSERT_EQ(first.commands.size(), second.commands.size());
    for (std::size_t i = 0; i < first.commands.size(); ++i) {
        EXPECT_EQ(first.commands[i].command, second.commands[i].command);
        EXPECT_EQ(first.commands[i].description, second.commands[i].description);
        EXPECT_EQ(first.commands[i].parameter, second.commands[i].parameter);
    }
}

TEST_F(EntryPoints, TagsAreNeverExpanded) {
    EXPECT_EQ(host.ParseTag(), 0);
}

TEST_F(EntryPoints, AnUnknownCommandOrNotificationIsNotHandled) {
    CommandEvent command = host.RunCommand("/xsx", "LFMN");
    EXPECT_EQ(command.result, 0);
    EXPECT_FALSE(command.output.has_value());

    NotifyEvent notify = host.Notify("Speak", "hello");
    EXPECT_EQ(notify.result, 0);
    EXPECT_FALSE(notify.output.has_value());
    EXPECT_TRUE(events.errors.empty());
}

TEST_F(EntryPoints, AKeyNameOfAnyLengthIsTaken) {
    EXPECT_EQ(host.Initialize(std::string(4000, 'k')), TRUE);
    EXPECT_EQ(host.Initialize(""), TRUE);
    EXPECT_EQ(host.Publish().commands.size(), 14u);
}

}  // namespace
