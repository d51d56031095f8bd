// What a person sees of each event.

#include <gtest/gtest.h>

#include <sstream>

#include "console_view.h"

namespace nimbrel::console {
namespace {

using namespace host;

struct View : ::testing::Test {
    std::ostringstream out;
    std::string Render(ViewStyle style, void (*render)(ConsoleView&)) {
        out.str("");
        ConsoleView view(out, style);
        render(view);
        return out.str();
    }
};

CommandEvent Answer(const std::string& output) {
    CommandEvent command;
    command.result = 1;
    command.output = output;
    return command;
}

ViewStyle Colour() {
    ViewStyle style;
    style.echoInput = false;
    style.colour = true;
    return style;
}

TEST_F(View, AReportIsInColourWithItsLineBreaksAndDegreeSigns) {
    const std::string shown = Render(Colour(), [](ConsoleView& view) {
        view.OnCommand(Answer("Current\r\n#(!FC04)(!FB)Wind: (!FR)calm\r\n(!FB)Temperature: (!FR)80\xB0 F"));
    });
    EXPECT_EQ(shown, "Current\n#\x1B[38;5;196m\x1B[1mWind: \x1B[0mcalm\n\x1B[1mTemperature: \x1B[0m80\xC2\xB0 F\n");
}

TEST_F(View, NoEscapeOfThePluginReachesTheTerminal) {
    const std::string shown = Render(Colour(), [](ConsoleView& view) {
        view.OnCommand(Answer("a\x1B]0;owned\x07(!FB)b\x1B[2J"));
        ToastEvent toast;
        toast.title = "t\x1B[31m";
        toast.message = "m\x9B";
        view.OnToast(toast);
        view.OnMessageBox({"c\x1B", "x\r\ny\x08", false, 0});
        view.OnSpeech({u"s\u001B[5m"});
    });
    EXPECT_EQ(shown,
              "a^[]0;owned^G\x1B[1mb^[[2J\x1B[0m\n"
              "  +-- toast: t^[[31m\n  | m\xE2\x80\xBA\n  +--\n"
              "  +-- message box: c^[\n  | x\n  | y^H\n  +--\n"
              "  +-- read aloud\n  | s^[[5m\n  +--\n");
}

TEST_F(View, AWideToastOutsideTheBasicPlaneIsProperUtf8) {
    const std::string shown = Render(Colour(), [](ConsoleView& view) {
        ToastEvent toast;
        toast.title = "T";
        toast.wide = true;
        toast.wideMessage = u"\U0001F600 ok\r\nnext";
        toast.link = "http://x";
        view.OnToast(toast);
    });
    EXPECT_EQ(shown, "  +-- toast: T\n  | \xF0\x9F\x98\x80 ok\n  | next\n  | -> http://x\n  +--\n");
}

TEST_F(View, PlainTextEchoesTypedLinesButNotTheirNotificationRequests) {
    ViewStyle plain;
    plain.times = true;
    const std::string shown = Render(plain, [](ConsoleView& view) {
        view.Typed("/xs hi");
        CommandEvent request = Answer("\x12speakhi");
        request.ms = 6.4;
        view.OnCommand(request);
        view.Typed("hello");  // chat: shown by its event
        view.OnChat({"hello"});
        view.Typed(":quit");
        CommandEvent unknown;
        view.OnCommand(unknown);
    });
    EXPECT_EQ(shown, "> /xs hi\n  (6 ms in the plug-in)\nhello\n  (not a command of the plug-in)\n  (0 ms in the plug-in)\n");
}

TEST_F(View, AtATerminalTypedLinesAreNotShownTwice) {
    const std::string shown = Render(Colour(), [](ConsoleView& view) {
        view.Typed("/xweather LFMN");
        view.OnChat({"hello"});
        view.OnCommand(Answer("(!FC04)red"));
    });
    EXPECT_EQ(shown, "\x1B[38;5;196mred\x1B[0m\n");
}

}  // namespace
}  // namespace nimbrel::console
