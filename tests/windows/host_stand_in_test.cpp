// The host stand-in's own checks, proved against plug-ins that misbehave on
// purpose (fixtures/).

#include <gtest/gtest.h>

#include <string>

#include "plugin_host.h"
#include "recording_sink.h"
#include "test_paths.h"

using namespace nimbrel::host;

namespace {

struct HostStandIn : ::testing::Test {
    RecordingSink events;
    PluginHost host{events};

    void SetUp() override {
        ASSERT_TRUE(host.Load(BesideTests("fixture_plugin.dll")));
        host.Initialize("Default");
    }
};

TEST(HostLoading, AMissingPluginIsAnErrorNamingThePath) {
    RecordingSink events;
    PluginHost host(events);
    EXPECT_FALSE(host.Load("C:\\nowhere\\missing plugin.dll"));
    ASSERT_EQ(events.errors.size(), 1u);
    EXPECT_NE(events.errors[0].message.find("C:\\nowhere\\missing plugin.dll"), std::string::npos);
    EXPECT_EQ(host.errors(), 1);
}

TEST(HostLoading, AMissingExportIsAnErrorNamingTheExport) {
    RecordingSink events;
    PluginHost host(events);
    EXPECT_FALSE(host.Load(BesideTests("partial_plugin.dll")));
    ASSERT_EQ(events.errors.size(), 1u);
    EXPECT_NE(events.errors[0].message.find("ParseCommand"), std::string::npos);
    EXPECT_EQ(host.module(), nullptr);
}

TEST_F(HostStandIn, ReadsOnlyThePublishedRows) {
    LoadedEvent published = host.Publish();
    EXPECT_EQ(published.name, "Fixture");
    EXPECT_EQ(published.tags, 3);
    ASSERT_EQ(published.commands.size(), 1u);
    EXPECT_FALSE(published.commands[0].parameter.has_value());
}

TEST_F(HostStandIn, TellsAnUntouchedOutputFromAnEmptyOne) {
    EXPECT_FALSE(host.RunCommand("/keep", "").output.has_value());
    EXPECT_EQ(host.RunCommand("/empty", "").output, std::string());
    EXPECT_TRUE(events.errors.empty());
}

TEST_F(HostStandIn, AWritePastTheOutputBufferIsReported) {
    host.RunCommand("/overrun", "");
    ASSERT_EQ(events.errors.size(), 1u);
    EXPECT_NE(events.errors[0].message.find("wrote past the end"), std::string::npos);
}

TEST_F(HostStandIn, AnUnterminatedOutputIsReported) {
    CommandEvent command = host.RunCommand("/unterminated", "");
    EXPECT_EQ(command.output->size(), nimbrel::kOutputCapacity);
    ASSERT_EQ(events.errors.size(), 1u);
    EXPECT_NE(events.errors[0].message.find("terminating NUL"), std::string::npos);
}

TEST_F(HostStandIn, ANotificationRequestReachesReceiveNotify) {
    host.RunCommand("/notify", "hello there");
    ASSERT_EQ(events.notifications.size(), 1u);
    const NotifyEvent& notify = events.notifications[0];
    EXPECT_EQ(notify.name, "speak");
    EXPECT_EQ(notify.data, "hello there");
    EXPECT_EQ(notify.result, 1);
    EXPECT_EQ(notify.output, std::string("heard hello there"));
    // The command's own event comes first, with the request as its output.
    ASSERT_EQ(events.commands.size(), 1u);
    EXPECT_EQ(events.commands[0].output, std::string("\x12speakhello there"));
}

TEST_F(HostStandIn, MessageBoxesAreCapturedAndAnsweredWithTheirDefaultButton) {
    CommandEvent command = host.RunCommand("/box", "Box text\nsecond line");
    ASSERT_EQ(events.boxes.size(), 1u);
    const MessageBoxEvent& box = events.boxes[0];
    EXPECT_EQ(box.caption, "Fixture caption");
    EXPECT_EQ(box.text, "Box text\nsecond line");
    EXPECT_FALSE(box.owner);
    EXPECT_EQ(box.style, static_cast<uint32_t>(MB_OKCANCEL | MB_ICONWARNING));
    EXPECT_EQ(command.output, std::string("answer 1"));  // IDOK
}

TEST_F(HostStandIn, ADialogOfTheBoxClassWithAnotherParameterIsReadWithoutIt) {
    CommandEvent command = host.RunCommand("/dialog", "");
    ASSERT_EQ(events.boxes.size(), 1u);
    EXPECT_EQ(events.boxes[0].caption, "Fixture dialog");
    EXPECT_EQ(events.boxes[0].text, "dialog text");
    EXPECT_EQ(events.boxes[0].style, 0u) << "no style without a message box's record";
    EXPECT_EQ(command.output, std::string("dialog 1"));  // answered with IDOK
}

TEST_F(HostStandIn, ConfigureBoxesAreCapturedToo) {
    host.Configure();
    ASSERT_EQ(events.boxes.size(), 1u);
    EXPECT_EQ(events.boxes[0].caption, "Fixture configure");
    EXPECT_EQ(events.boxes[0].style, static_cast<uint32_t>(MB_OK));
}

TEST_F(HostStandIn, ToastsAreRecordedFromTheBroadcast) {
    CommandEvent command = host.RunCommand("/toast", "59\xB0 F");
    ASSERT_EQ(events.toasts.size(), 1u);
    const ToastEvent& toast = events.toasts[0];
    EXPECT_EQ(toast.title, "Fixture title");
    EXPECT_EQ(toast.message, "59\xB0 F");
    EXPECT_FALSE(toast.link.has_value());
    EXPECT_EQ(toast.flag, -1);
    EXPECT_FALSE(toast.wide);
    EXPECT_EQ(command.output, std::string("sent 1"));
}

TEST_F(HostStandIn, WideToastsAreReadAsUtf16) {
    host.RunCommand("/toastw", "");
    ASSERT_EQ(events.toasts.size(), 1u);
    const ToastEvent& toast = events.toasts[0];
    EXPECT_TRUE(toast.wide);
    EXPECT_EQ(toast.wideMessage, std::u16string(u"wide \u00e9\u20ac"));
    EXPECT_EQ(toast.link, std::string());
    EXPECT_EQ(toast.flag, 0);
}

}  // namespace
