// The host's JSON events read back: what JsonEventWriter wrote comes back
// as the same event, bytes and wide texts alike.

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "json_event_reader.h"
#include "json_events.h"
#include "recording_sink.h"

namespace nimbrel::console {
namespace {

using namespace host;

// Writes events with the host's writer and reads each line back.
std::vector<std::string> RoundTrip(void (*write)(EventSink&), RecordingSink& read) {
    std::ostringstream json;
    JsonEventWriter writer(json);
    write(writer);
    std::vector<std::string> names;
    std::istringstream lines(json.str());
    for (std::string line; std::getline(lines, line);) names.push_back(ReadJsonEvent(line, read));
    return names;
}

TEST(JsonEventReader, EveryEventComesBackAsItWasWritten) {
    RecordingSink read;
    const std::vector<std::string> names = RoundTrip(
        [](EventSink& sink) {
            sink.OnLoaded({"N\xB0", {{"xa", "d", std::string("p")}, {"xb", "e", std::nullopt}}, 3});
            sink.OnCommand({"/x \x80\xFF", "/x", "\x80\xFF", 1, std::string("\x12speak\x01\"\\"), 2.5});
            sink.OnCommand({"/y", "/y", "", 0, std::nullopt, 0});
            sink.OnNotify({"speak", "d", 1, std::nullopt});
            ToastEvent wide;
            wide.title = "T";
            wide.wide = true;
            wide.wideMessage = u"\U0001F600\u20AC";
            wide.flag = -1;
            sink.OnToast(wide);
            sink.OnMessageBox({"C", "a\r\nb", true, 0x31});
            sink.OnChat({"caf\xE9"});
            sink.OnError({"e"});
            sink.OnSpeech({u"s\u00E9"});
            sink.OnDone({"/x \x80\xFF"});
        },
        read);
    EXPECT_EQ(names, (std::vector<std::string>{"loaded", "command", "command", "notify", "toast", "messagebox", "chat",
                                               "error", "speech", "done"}));
    ASSERT_EQ(read.loaded.size(), 1u);
    EXPECT_EQ(read.loaded[0].name, "N\xB0");
    EXPECT_EQ(read.loaded[0].tags, 3);
    ASSERT_EQ(read.loaded[0].commands.size(), 2u);
    EXPECT_EQ(read.loaded[0].commands[0].parameter, std::string("p"));
    EXPECT_FALSE(read.loaded[0].commands[1].parameter);
    ASSERT_EQ(read.commands.size(), 2u);
    EXPECT_EQ(read.commands[0].line, "/x \x80\xFF");
    EXPECT_EQ(read.commands[0].output, std::string("\x12speak\x01\"\\"));
    EXPECT_EQ(read.commands[0].ms, 2.5);
    EXPECT_EQ(read.commands[1].result, 0);
    EXPECT_FALSE(read.commands[1].output);
    ASSERT_EQ(read.notifications.size(), 1u);
    EXPECT_EQ(read.notifications[0].name, "speak");
    EXPECT_FALSE(read.notifications[0].output);
    ASSERT_EQ(read.toasts.size(), 1u);
    EXPECT_TRUE(read.toasts[0].wide);
    EXPECT_EQ(read.toasts[0].wideMessage, u"\U0001F600\u20AC");
    EXPECT_EQ(read.toasts[0].flag, -1);
    ASSERT_EQ(read.boxes.size(), 1u);
    EXPECT_EQ(read.boxes[0].text, "a\r\nb");
    EXPECT_TRUE(read.boxes[0].owner);
    EXPECT_EQ(read.boxes[0].style, 0x31u);
    ASSERT_EQ(read.speech.size(), 1u);
    EXPECT_EQ(read.speech[0].text, u"s\u00E9");
    ASSERT_EQ(read.chats.size(), 1u);
    EXPECT_EQ(read.chats[0].text, "caf\xE9");
    ASSERT_EQ(read.errors.size(), 1u);
    ASSERT_EQ(read.done.size(), 1u);
    EXPECT_EQ(read.done[0].line, "/x \x80\xFF");
}

TEST(JsonEventReader, ALoneSurrogateInAWideTextDoesNotLoseTheEvent) {
    RecordingSink read;
    RoundTrip(
        [](EventSink& sink) {
            ToastEvent toast;
            toast.wide = true;
            toast.wideMessage = std::u16string(u"a") + char16_t(0xD83D) + u"b\\uD800";
            sink.OnToast(toast);
        },
        read);
    ASSERT_EQ(read.toasts.size(), 1u);
    EXPECT_EQ(read.toasts[0].wideMessage, u"a\uFFFDb\\uD800") << "an escaped backslash is no escape";
}

TEST(JsonEventReader, WhatIsNoEventIsLeftAlone) {
    RecordingSink read;
    for (const char* line : {"", "wine: something", "{\"event\":", "[1,2]", "{\"name\":\"x\"}", "{\"event\":7}"})
        EXPECT_EQ(ReadJsonEvent(line, read), "") << line;
    EXPECT_EQ(ReadJsonEvent("{\"event\":\"future\",\"x\":1}", read), "future");
    EXPECT_TRUE(read.chats.empty() && read.errors.empty() && read.done.empty());
}

}  // namespace
}  // namespace nimbrel::console
