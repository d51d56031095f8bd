// ParseCommand through the host stand-in, with the real DLL and the HTTP
// stand-in as the weather and translation services.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "stations/reference_texts.h"
#include "recording_voice/voice_activation.h"
#include "recording_voice/voice_log.h"
#include "http_standin.h"
#include "common/host_records.h"
#include "common/win32_handles.h"
#include "plugin_host.h"
#include "recording_sink.h"
#include "test_paths.h"
#include "weather/weather_report.h"

using namespace nimbrel;
using namespace nimbrel::host;

namespace {

constexpr char kKeyName[] = "NimbrelDispatcherTest";
constexpr char kHostKey[] = "Software\\Quorvel\\MsgPlus2\\NimbrelDispatcherTest";
constexpr char kPreferencesKey[] =
    "Software\\Quorvel\\MsgPlus2\\NimbrelDispatcherTest\\Preferences\\Plugins\\NimbrelMMPlugin";

std::string Preference(const char* name) {
    char value[256] = "";
    DWORD size = sizeof value;
    if (RegGetValueA(HKEY_CURRENT_USER, kPreferencesKey, name, RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr,
                     value, &size) != ERROR_SUCCESS)
        return "<none>";
    return value;
}

// The user's gateway, as the package's .reg example sets it.
void SetGatewayAddress(const std::string& value) {
    HKEY created = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kPreferencesKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &created,
                              nullptr),
              ERROR_SUCCESS);
    const UniqueKey key(created);
    ASSERT_EQ(RegSetValueExA(key.get(), "GatewayAddress", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                             static_cast<DWORD>(value.size() + 1)),
              ERROR_SUCCESS);
}

// The authority a request went to: the stand-in is the proxy, so targets
// are in absolute form.
std::vector<std::string> RequestHosts(const HttpStandIn& standIn) {
    std::vector<std::string> hosts;
    for (const ReceivedRequest& request : standIn.Requests()) hosts.push_back(request.host);
    return hosts;
}

std::wstring Widen(const std::string& bytes) {
    std::wstring wide;
    for (unsigned char c : bytes) wide += static_cast<wchar_t>(c);
    return wide;
}

struct Dispatcher : ::testing::Test {
    // Workers speak to the recording voice, which logs what it was asked.
    VoiceLog voiceLog;
    VoiceActivation voice{BesideTests(L"recording_voice.manifest")};
    HttpStandIn standIn;
    RecordingSink events;
    PluginHost host{events};
    const std::string page = FixturePage();

    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kHostKey);
        ASSERT_TRUE(host.Load(PluginPath()));
        ASSERT_EQ(host.Initialize(kKeyName), TRUE);
        standIn.Serve("/weather/current/LFMN.html", Answer::Body(page));
    }
    void TearDown() override {
        EXPECT_EQ(host.errors(), 0) << "the host saw a write past its buffer or a missing terminator";
        RegDeleteTreeA(HKEY_CURRENT_USER, kHostKey);
    }
    std::string EnglishReport() {
        char speech[kSpeechTextSize];
        return BuildWeatherReport(page, "", nullptr, speech);
    }
};

TEST_F(Dispatcher, WordsMatchWholeIgnoringCase) {
    CommandEvent weather = host.RunCommand("/XWEATHER", "LFMN");
    EXPECT_EQ(weather.result, 1);
    EXPECT_EQ(weather.output, EnglishReport());
    CommandEvent unknown = host.RunCommand("/xsx", "LFMN");
    EXPECT_EQ(unknown.result, 0);
    EXPECT_FALSE(unknown.output) << "untouched";
    EXPECT_EQ(host.RunCommand("/xweathe", "LFMN").result, 0);
}

TEST_F(Dispatcher, WeatherStoresPreferencesThenAnswers) {
    EXPECT_EQ(host.RunCommand("/xweather", "LFMN").output, EnglishReport());
    EXPECT_EQ(Preference("TownCode"), "LFMN");
    EXPECT_EQ(Preference("TranslateCode"), "");

    standIn.Serve("/tr?", Answer::Template("<td bgcolor=white class=s><div style=padding:10px;>[{pair}]{text}</div></td>"));
    CommandEvent translated = host.RunCommand("/xweather", "LFMN   en_fr");
    ASSERT_TRUE(translated.output);
    EXPECT_NE(translated.output->find("[en_fr]Wind"), std::string::npos) << *translated.output;
    EXPECT_EQ(Preference("TownCode"), "LFMN");
    EXPECT_EQ(Preference("TranslateCode"), "en_fr");
    EXPECT_TRUE(events.toasts.empty());

    // Without a GatewayAddress, each request goes to the service address the
    // build configured.
    const std::vector<ReceivedRequest> requests = standIn.Requests();
    ASSERT_GT(requests.size(), 2u);
    EXPECT_EQ(("http://" + requests[0].host).rfind(NIMBREL_WEATHER_SERVICE_URL, 0), 0u) << requests[0].host;
    EXPECT_EQ(requests[0].path, "/weather/current/LFMN.html");
    EXPECT_EQ(("http://" + requests.back().host).rfind(NIMBREL_TRANSLATION_SERVICE_URL, 0), 0u) << requests.back().host;
}

TEST_F(Dispatcher, BadStationCodesShowTheToastAndLeaveTheOutput) {
    const std::string listPage = std::string(NIMBREL_WEATHER_SERVICE_URL) + "/international.html";
    for (const char* parameters : {"LFM", "AB CD", "", "LFMNX en_fr", "L"}) {
        events.toasts.clear();
        CommandEvent command = host.RunCommand("/xweather", parameters);
        EXPECT_EQ(command.result, 1);
        EXPECT_FALSE(command.output) << parameters;
        ASSERT_EQ(events.toasts.size(), 1u) << parameters;
        EXPECT_EQ(events.toasts[0].title, "Bad Code Town");
        EXPECT_EQ(events.toasts[0].message, "Please check your town's code at\r\n" + listPage);
        EXPECT_EQ(events.toasts[0].link, listPage);
        EXPECT_EQ(events.toasts[0].flag, 0);
    }
    // Stored before the code was judged, once the text has four characters.
    EXPECT_EQ(Preference("TownCode"), "LFMNX");
    EXPECT_EQ(Preference("TranslateCode"), "en_fr");
    EXPECT_EQ(standIn.Requests().size(), 0u);
}

TEST_F(Dispatcher, AGatewayAddressIsTheHostOfEveryRequest) {
    SetGatewayAddress("http://gateway.example:8642/");
    standIn.Serve("/tr?", Answer::Template("<td bgcolor=white class=s><div style=padding:10px;>[{pair}]{text}</div></td>"));
    standIn.Serve("/international.html", Answer::Body("<SELECT>\n<OPTION VALUE=\"FR\"> France\n</SELECT>"));
    standIn.Serve("/cgi-bin/cc_sel_cntry.pl?country=FR", Answer::Body("<select><option selected>x\n</select>"));

    EXPECT_EQ(host.RunCommand("/xweather", "LFMN").output, EnglishReport());
    CommandEvent translated = host.RunCommand("/xweather", "LFMN en_fr");
    ASSERT_TRUE(translated.output);
    EXPECT_NE(translated.output->find("[en_fr]Wind"), std::string::npos) << *translated.output;
    host.RunCommand("/xcountry", "France");
    const std::vector<std::string> hosts = RequestHosts(standIn);
    ASSERT_GT(hosts.size(), 4u);   // two reports, a translation, the index and the list
    EXPECT_EQ(hosts, std::vector<std::string>(hosts.size(), "gateway.example:8642"));

    // Where the station codes are looked up is the gateway's page too.
    host.RunCommand("/xweather", "LF");
    ASSERT_EQ(events.toasts.size(), 1u);
    EXPECT_EQ(events.toasts[0].link, "http://gateway.example:8642/international.html");
}

TEST_F(Dispatcher, ABadGatewayAddressIsNamedOnceAndTheBuildsAddressesAnswer) {
    SetGatewayAddress("http://user@gateway.example\x1b[2J:8642");
    const std::string told = "GatewayAddress \"http://user@gateway.example?[2J:8642\" is not like "
                             "http://192.168.1.20:8642\r\nThe built-in address is used";
    standIn.Serve("/tr?", Answer::Template("<td bgcolor=white class=s><div style=padding:10px;>{text}</div></td>"));
    EXPECT_EQ(host.RunCommand("/xweather", "LFMN").output, EnglishReport());
    ASSERT_EQ(events.toasts.size(), 1u);
    EXPECT_EQ(events.toasts[0].message, told);
    EXPECT_EQ(events.toasts[0].title, "Nimbrel Plugin's options");

    EXPECT_TRUE(host.RunCommand("/xweather", "LFMN en_fr").output);
    EXPECT_EQ(events.toasts.size(), 1u) << "told once per load";
    const std::vector<std::string> hosts = RequestHosts(standIn);
    ASSERT_GT(hosts.size(), 2u);
    EXPECT_EQ(("http://" + hosts.front()).rfind(NIMBREL_WEATHER_SERVICE_URL, 0), 0u) << hosts.front();
    EXPECT_EQ(("http://" + hosts.back()).rfind(NIMBREL_TRANSLATION_SERVICE_URL, 0), 0u) << hosts.back();

    // A new load of the library tells again.
    host.Unload();
    ASSERT_TRUE(host.Load(PluginPath()));
    ASSERT_EQ(host.Initialize(kKeyName), TRUE);
    EXPECT_EQ(host.RunCommand("/xweather", "LFMN").output, EnglishReport());
    ASSERT_EQ(events.toasts.size(), 2u);
    EXPECT_EQ(events.toasts[1].message, told);
}

TEST_F(Dispatcher, ShortTextStoresNothing) {
    host.RunCommand("/xweather", "LFM");
    EXPECT_EQ(Preference("TownCode"), "<none>");
}

TEST_F(Dispatcher, SpeechSwitchesToastAndLeaveTheOutput) {
    CommandEvent on = host.RunCommand("/xwspeechon", "");
    CommandEvent off = host.RunCommand("/xwspeechoff", "");
    EXPECT_EQ(on.result, 1);
    EXPECT_FALSE(on.output);
    EXPECT_FALSE(off.output);
    ASSERT_EQ(events.toasts.size(), 2u);
    EXPECT_EQ(events.toasts[0].message, "NimbrelPlugin will speech english results");
    EXPECT_EQ(events.toasts[1].message, "NimbrelPlugin will not speech results");
    EXPECT_EQ(events.toasts[1].title, "Nimbrel Plugin's options");
    EXPECT_FALSE(events.toasts[1].link);
}

TEST_F(Dispatcher, TranslationHelpBox) {
    CommandEvent help = host.RunCommand("/xwtranshelp", "");
    EXPECT_EQ(help.output, "");
    ASSERT_EQ(events.boxes.size(), 1u);
    EXPECT_EQ(events.boxes[0].text, LanguageCodeHelp);
    EXPECT_EQ(events.boxes[0].caption, kLanguageCodeHelpCaption);
    EXPECT_FALSE(events.boxes[0].owner);
    EXPECT_EQ(events.boxes[0].style, static_cast<uint32_t>(MB_OK));
}

TEST_F(Dispatcher, StationListsFromTheService) {
    standIn.Serve("/international.html", Answer::Body("<SELECT>\n<OPTION VALUE=\"FR\"> France\n</SELECT>"));
    standIn.Serve("/cgi-bin/cc_sel_cntry.pl?country=FR",
                  Answer::Body("<select><option selected>Select a location\n<OPTION VALUE=\"LFMN\">Nice\n"
                               "<OPTION VALUE=\"LFPG\">Paris\n</select>"));
    CommandEvent country = host.RunCommand("/xcountry", "France");
    EXPECT_EQ(country.output, "");
    ASSERT_EQ(events.boxes.size(), 1u);
    EXPECT_EQ(events.boxes[0].text, "\nLFMNNice | LFPGParis\n");
    EXPECT_EQ(events.boxes[0].caption, "");

    events.boxes.clear();
    host.RunCommand("/xcountry", "");   // the placeholder matches no name
    ASSERT_EQ(events.boxes.size(), 1u);
    EXPECT_EQ(events.boxes[0].text, CountryListText);
    EXPECT_EQ(standIn.Requests().back().path, "/international.html");
}

TEST_F(Dispatcher, PlayerCommandsWithoutAPlayer) {
    for (const char* word : {"/xsong", "/xadd", "/xplay", "/xpause", "/xstop", "/xnext", "/xprev"}) {
        events.toasts.clear();
        CommandEvent command = host.RunCommand(word, "");
        EXPECT_EQ(command.result, 1);
        EXPECT_EQ(command.output, "") << word;
        ASSERT_EQ(events.toasts.size(), 1u) << word;
        EXPECT_EQ(events.toasts[0].title, "Command error");
    }
}

TEST_F(Dispatcher, LongReportIsCutAtItsLastWholeLine) {
    std::string rows;
    while (rows.size() < 8 * kOutputCapacity)
        rows += "<FONT COLOR=\"#0000A0\"><FONT FACE=\"Arial,Helvetica\"> Visibility </FONT></FONT></TD>"
                "<TD><FONT FACE=\"Arial,Helvetica\">greater than 7 mile(s)</FONT></TD>\n";
    const std::string longPage = "<B>Current Weather Conditions:<BR>Long Station</B>\n" + rows;
    standIn.Serve("/weather/current/LONG.html", Answer::Body(longPage));
    char speech[kSpeechTextSize];
    const std::string report = BuildWeatherReport(longPage, "", nullptr, speech);
    ASSERT_GT(report.size(), 2 * kOutputCapacity);

    CommandEvent command = host.RunCommand("/xweather", "LONG");
    ASSERT_TRUE(command.output);
    const std::string& output = *command.output;
    EXPECT_LT(output.size(), kOutputCapacity);
    EXPECT_GT(output.size(), kOutputCapacity - 200);
    EXPECT_EQ(report.compare(0, output.size(), output), 0);
    EXPECT_TRUE(report[output.size()] == '\n' || report[output.size()] == '\r') << "cut inside a line";
}

// Every control byte but CR, LF and tab in a text from the network.
bool HasForeignControl(const std::string& text) {
    for (unsigned char c : text)
        if (c < 0x20 && c != '\r' && c != '\n' && c != '\t') return true;
    return false;
}

// Text from the network never brings a notification request, or any other
// control byte, into the conversation or a box: only the plug-in's own /xs
// and /xsong answers begin with 0x12.
TEST_F(Dispatcher, NetworkTextCarriesNoControlBytesIntoTheConversation) {
    standIn.Serve("/international.html", Answer::Body("<OPTION VALUE=\"FR\"> France\n"));
    standIn.Serve("/cgi-bin/cc_sel_cntry.pl?country=FR",
                  Answer::Body("<select><option selected>Select a location\n<OPTION VALUE=\"LF\x1b[2JMN\">Ni\x07" "ce\n</select>"));
    host.RunCommand("/xcountry", "France");
    ASSERT_EQ(events.boxes.size(), 1u);
    EXPECT_EQ(events.boxes[0].text, "\nLF[2JMNNice | ");

    std::string marked = page;
    marked.replace(marked.find("Current Weather Conditions:<BR>") + 31, 0, "\x12speak\x1b[31m");
    marked.replace(marked.find("</FONT></TD>"), 0, std::string("\x08\x00\x1f", 3));
    standIn.Serve("/weather/current/MARK.html", Answer::Body(marked));
    CommandEvent english = host.RunCommand("/xweather", "MARK");
    ASSERT_TRUE(english.output);
    EXPECT_FALSE(HasForeignControl(*english.output)) << *english.output;

    // Last: a 0x12 that got through would have the host start a speech worker.
    standIn.Serve("/tr?", Answer::Template("<td bgcolor=white class=s><div style=padding:10px;>\x12speak{text}</div></td>"));
    CommandEvent translated = host.RunCommand("/xweather", "LFMN en_fr");
    ASSERT_TRUE(translated.output);
    EXPECT_FALSE(HasForeignControl(*translated.output)) << *translated.output;
    EXPECT_EQ(translated.output->rfind("speakCurrent Weather Conditions", 0), 0u);
    EXPECT_TRUE(events.notifications.empty());
}

// Under the emulator, network calls after a worker thread has started can
// break the calling thread (tests/windows/run_group.py): the cases that
// speak come last, the one that also fetches a report first among them.
TEST_F(Dispatcher, ReportsAreSpokenWhenTheSwitchIsOnAndNoPairIsAsked) {
    ASSERT_TRUE(voice.active());
    standIn.Serve("/tr?", Answer::Template("<td bgcolor=white class=s><div style=padding:10px;>{text}</div></td>"));
    host.RunCommand("/xweather", "LFMN");   // off since loading
    host.RunCommand("/xwspeechon", "");
    host.RunCommand("/xwspeechoff", "");
    host.RunCommand("/xweather", "LFMN");
    host.RunCommand("/xwspeechon", "");
    host.RunCommand("/xweather", "LFMN en_fr");
    EXPECT_TRUE(voiceLog.Read().empty()) << "spoken with the switch off, or with a pair";

    host.RunCommand("/xweather", "LFMN");
    std::vector<SpokenText> spoken = voiceLog.WaitForEnded(1, 30000);
    ASSERT_EQ(spoken.size(), 1u);
    char speech[kSpeechTextSize];
    BuildWeatherReport(page, "", nullptr, speech);
    EXPECT_EQ(spoken[0].text, Widen(speech));
}

TEST_F(Dispatcher, SpeakBecomesANotificationThatIsSpoken) {
    ASSERT_TRUE(voice.active());
    CommandEvent speak = host.RunCommand("/xs", "hello");
    EXPECT_EQ(speak.output, "\x12speakhello");
    ASSERT_EQ(events.notifications.size(), 1u);
    EXPECT_EQ(events.notifications[0].name, "speak");
    EXPECT_EQ(events.notifications[0].data, "hello");
    std::vector<SpokenText> spoken = voiceLog.WaitForEnded(1, 30000);
    ASSERT_EQ(spoken.size(), 1u);
    EXPECT_EQ(spoken[0].text, L"hello");
}

}  // namespace
