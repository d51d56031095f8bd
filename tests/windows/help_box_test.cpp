// Configure through the real DLL: the guide as the box shows it, its
// caption and buttons, and which window owns it.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plugin_host.h"
#include "recording_sink.h"
#include "test_paths.h"

using namespace nimbrel;
using namespace nimbrel::host;

namespace {

// Every line but the credit, whose wording is free.
std::string GuideBeforeCredit() {
    const std::vector<std::string> lines = {
        "Little Help:", "", "", "",
        "/xweather   TOWN_CODE   LANGUAGE_CODE",
        "TOWN_CODE is a 4 characters code long.",
        "LANGUAGE_CODE is a 5 characters code long.",
        "You can keep empty the LANGUAGE_CODE parameter to view",
        "weather in english.", "",
        "ex:",
        "/xweather LFMN en_fr",
        "will give weather of Nice, France... IN FRENCH!",
        "To find language code to translate the weather in your own language:",
        "/xwtranshelp   -> will display all valid codes", "",
        "You can find your town code with the 2 following commands:", "",
        "/xcountry Country",
        "Country is the country name where you",
        "want to list towns codes", "",
        "ex:",
        "/xcountry France",
        "Use it without parameter to view all country list", "", "",
        "/xstates State",
        "State is the American united state name that you",
        "want to list towns codes", "",
        "ex:",
        "/xstates Alaska",
        "Use it without parameter to view all states list", "", "",
        "You can also control Sonique 1.x and Winamp 3 to 5", "",
        "/xsong to send toast with your playing song",
        "/xplay, /xpause, /xstop, /xnext, /xprev, /xadd",
        "are the others commands to player control", "",
        "You can also use /xs before text to speech",
        "All weather infos are taken at:",
        NIMBREL_WEATHER_SERVICE_URL,  // as the build configured it
        "A futur release will include dialog to choose the correct town, language...", "",
    };
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    return text + "\t\t";
}

struct HelpBox : ::testing::Test {
    RecordingSink events;
    PluginHost host{events};

    void SetUp() override {
        ASSERT_TRUE(host.Load(PluginPath()));
        ASSERT_EQ(host.Initialize("Default"), TRUE);
    }
};

TEST_F(HelpBox, ShowsTheGuideWithItsCaptionAndAnOkButton) {
    ASSERT_EQ(GetActiveWindow(), nullptr);
    host.Configure();
    ASSERT_EQ(events.boxes.size(), 1u);
    const MessageBoxEvent& box = events.boxes[0];
    EXPECT_EQ(box.caption, "About Nimbrel's Plugin v.1.1");
    EXPECT_EQ(box.style & MB_TYPEMASK, static_cast<uint32_t>(MB_OK));

    const std::string before = GuideBeforeCredit();
    ASSERT_GT(box.text.size(), before.size());
    EXPECT_EQ(box.text.substr(0, before.size()), before);
    const std::string credit = box.text.substr(before.size());
    EXPECT_EQ(credit.find_first_of("\r\n\t"), std::string::npos) << "the credit is one line, the last";

    EXPECT_FALSE(box.owner);  // no window of this thread is active
}

TEST_F(HelpBox, IsOwnedByTheActiveWindow) {
    UniqueWindow window(CreateWindowExA(0, "STATIC", "conversation", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                                        100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
    ASSERT_TRUE(window);
    SetActiveWindow(window.get());
    ASSERT_EQ(GetActiveWindow(), window.get());

    host.Configure();
    ASSERT_EQ(events.boxes.size(), 1u);
    EXPECT_TRUE(events.boxes[0].owner);
}

}  // namespace
