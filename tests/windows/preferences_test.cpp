// The preferences store, against Wine's registry (values read back, a key
// whose access list refuses writes) and against a registry that refuses
// exactly the call a test names. Error boxes are caught on the test thread.

#include <windows.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "common/win32_handles.h"
#include "message_box_catcher.h"
#include "plugin/preferences.h"
#include "plugin/preferences_registry.h"
#include "recording_sink.h"

using namespace nimbrel;
using namespace nimbrel::host;

namespace {

constexpr char kHostRoot[] = "Software\\Quorvel\\MsgPlus2";
constexpr char kTestKeyName[] = "NimbrelPreferencesTest";
constexpr char kTail[] = "\\Preferences\\Plugins\\NimbrelMMPlugin";

const std::string kTestHostKey = std::string(kHostRoot) + "\\" + kTestKeyName;
const std::string kTestPath = kTestHostKey + kTail;

struct StoredValue {
    DWORD type;
    std::u16string text;  // every unit stored, terminating NUL included
};

// Read wide: the registry keeps strings in UTF-16, and an ANSI read adds a
// NUL that was never stored.
std::optional<StoredValue> ReadValue(const wchar_t* name) {
    const std::wstring path(kTestPath.begin(), kTestPath.end());
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return std::nullopt;
    const UniqueKey key(opened);
    char16_t data[64];
    DWORD type = 0, size = sizeof data;
    if (RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS)
        return std::nullopt;
    return StoredValue{type, std::u16string(data, size / sizeof(char16_t))};
}

void ExpectSaveErrorBoxes(const std::vector<MessageBoxEvent>& boxes, size_t count) {
    ASSERT_EQ(boxes.size(), count);
    for (const MessageBoxEvent& box : boxes) {
        EXPECT_EQ(box.caption, "NimbrelMPPlugin error");
        EXPECT_EQ(box.text, "Problem while plugin trying to save preferences");
        EXPECT_FALSE(box.owner);
        EXPECT_EQ(box.style & MB_TYPEMASK, static_cast<uint32_t>(MB_OK));
    }
}

struct Preferences : ::testing::Test {
    RecordingSink events;
    MessageBoxCatcher boxes{events, true};

    static void RemoveTestKeys() {
        RegDeleteTreeA(HKEY_CURRENT_USER, kTestHostKey.c_str());
        // The host's own keys go only when nothing else is below them.
        RegDeleteKeyA(HKEY_CURRENT_USER, kHostRoot);
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Quorvel");
    }
    void SetUp() override { RemoveTestKeys(); }
    void TearDown() override { RemoveTestKeys(); }
};

TEST_F(Preferences, BothValuesAreExpandStringsWithTheirNulCounted) {
    SavePreferences("LFMN", "en_fr", kTestKeyName);
    EXPECT_TRUE(events.boxes.empty());
    auto town = ReadValue(L"TownCode");
    auto pair = ReadValue(L"TranslateCode");
    ASSERT_TRUE(town && pair);
    EXPECT_EQ(town->type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(town->text, std::u16string(u"LFMN", 5));
    EXPECT_EQ(pair->type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(pair->text, std::u16string(u"en_fr", 6));

    // The key is there now, so this call opens it; both values are replaced.
    // The empty pair is the case that shows a byte count without its NUL:
    // for a longer text the registry adds a forgotten NUL itself.
    SavePreferences("KJFK", "", kTestKeyName);
    EXPECT_EQ(ReadValue(L"TownCode")->text, std::u16string(u"KJFK", 5));
    EXPECT_EQ(ReadValue(L"TranslateCode")->text, std::u16string(1, u'\0'));
    EXPECT_TRUE(events.boxes.empty());
}

TEST_F(Preferences, AKeyThatRefusesWritesGetsOneBoxPerValueAndTheCallReturns) {
    HKEY created = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created,
                              nullptr),
              ERROR_SUCCESS);
    UniqueKey key(created);
    // Everyone is denied setting values and creating sub-keys; the rest stays
    // allowed, so the test can still delete the key.
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(D;;0x6;;;WD)(A;;KA;;;WD)", SDDL_REVISION_1,
                                                                     &descriptor, nullptr));
    LONG locked = RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, descriptor);
    LocalFree(descriptor);
    key.reset();
    ASSERT_EQ(locked, ERROR_SUCCESS);

    SavePreferences("LFMN", "en_fr", kTestKeyName);
    ExpectSaveErrorBoxes(events.boxes, 2);
    EXPECT_FALSE(ReadValue(L"TownCode"));
    EXPECT_FALSE(ReadValue(L"TranslateCode"));
}

// Records every call; refuses the ones a test asks it to.
struct ScriptedRegistry : PreferencesRegistry {
    bool openFails = false;
    bool createFails = false;
    std::string refusedValue;
    std::vector<std::string> calls;

    HKEY Open(const char* path) override { return Call("open ", path, openFails ? nullptr : kOpened); }
    HKEY Create(const char* path) override { return Call("create ", path, createFails ? nullptr : kCreated); }
    bool Write(HKEY key, const char* name, const char* text) override {
        calls.push_back(Name(key) + " " + name + "=" + text);
        return name != refusedValue;
    }
    void Close(HKEY key) override { calls.push_back("close " + Name(key)); }

    HKEY const kOpened = reinterpret_cast<HKEY>(0x100);
    HKEY const kCreated = reinterpret_cast<HKEY>(0x200);
    HKEY Call(const char* what, const char* path, HKEY answer) {
        calls.push_back(what + std::string(path));
        return answer;
    }
    std::string Name(HKEY key) const { return key == kOpened ? "opened" : key == kCreated ? "created" : "other"; }
};

TEST_F(Preferences, TheKeyIsOpenedOrElseCreatedWrittenAndClosedOnce) {
    ScriptedRegistry opens;
    SavePreferences("LFMN", "en_fr", "Default", opens);
    const std::string path = "Software\\Quorvel\\MsgPlus2\\Default\\Preferences\\Plugins\\NimbrelMMPlugin";
    EXPECT_EQ(opens.calls, (std::vector<std::string>{"open " + path, "opened TownCode=LFMN",
                                                     "opened TranslateCode=en_fr", "close opened"}));

    ScriptedRegistry creates;
    creates.openFails = true;
    SavePreferences("AB", "CD", "", creates);
    // An empty key name leaves two backslashes in the path.
    const std::string bare = "Software\\Quorvel\\MsgPlus2\\\\Preferences\\Plugins\\NimbrelMMPlugin";
    EXPECT_EQ(creates.calls, (std::vector<std::string>{"open " + bare, "create " + bare, "created TownCode=AB",
                                                       "created TranslateCode=CD", "close created"}));

    ScriptedRegistry longName;
    SavePreferences("LFMN", "", std::string(300, 'k').c_str(), longName);
    EXPECT_EQ(longName.calls.at(0), "open " + std::string(kHostRoot) + "\\" + std::string(127, 'k') + kTail);
    EXPECT_TRUE(events.boxes.empty());
}

TEST_F(Preferences, ARefusedWriteGetsItsBoxAndTheOtherValueIsStillWritten) {
    ScriptedRegistry registry;
    registry.refusedValue = "TownCode";
    SavePreferences("LFMN", "", "Default", registry);
    ExpectSaveErrorBoxes(events.boxes, 1);
    EXPECT_EQ(registry.calls.size(), 4u);
    EXPECT_EQ(registry.calls.at(2), "opened TranslateCode=");
}

TEST_F(Preferences, NoKeyAtAllGetsTwoBoxesAndNothingIsClosed) {
    ScriptedRegistry registry;
    registry.openFails = registry.createFails = true;
    SavePreferences("LFMN", "en_fr", "Default", registry);
    ExpectSaveErrorBoxes(events.boxes, 2);
    EXPECT_EQ(registry.calls.size(), 2u);  // open and create only
}

}  // namespace

namespace {

// A value the user sets is read as stored, each call afresh; a value that
// is not a string, or longer than the bound, is no text at all.
TEST_F(Preferences, ReadTakesStringsAsStoredAndNothingElse) {
    using State = PreferenceText::State;
    EXPECT_EQ(ReadPreference("GatewayAddress", kTestKeyName).state, State::Absent) << "no key";
    HKEY created = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created,
                              nullptr),
              ERROR_SUCCESS);
    const UniqueKey key(created);
    EXPECT_EQ(ReadPreference("GatewayAddress", kTestKeyName).state, State::Absent) << "no value";

    const std::string longest(kPreferenceTextMaxBytes - 1, 'x');
    const struct {
        DWORD type;
        std::string stored;
        State state;
        std::string text;
    } cases[] = {
        {REG_SZ, std::string("http://a.example", 17), State::Text, "http://a.example"},
        {REG_EXPAND_SZ, std::string("%TEMP%", 7), State::Text, "%TEMP%"},   // never expanded
        {REG_SZ, "no NUL", State::Text, "no NUL"},
        {REG_SZ, std::string("a\0b", 4), State::Text, std::string("a\0b", 3)},
        {REG_SZ, longest + '\0', State::Text, longest},
        {REG_SZ, longest + "x" + '\0', State::Unreadable, ""},
        {REG_DWORD, std::string(4, '\1'), State::Unreadable, ""},
        {REG_BINARY, "http://a.example", State::Unreadable, ""},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(RegSetValueExA(key.get(), "GatewayAddress", 0, c.type, reinterpret_cast<const BYTE*>(c.stored.data()),
                                 static_cast<DWORD>(c.stored.size())),
                  ERROR_SUCCESS);
        const PreferenceText read = ReadPreference("GatewayAddress", kTestKeyName);
        EXPECT_EQ(read.state, c.state) << c.stored.substr(0, 40);
        EXPECT_EQ(read.text, c.text) << c.stored.substr(0, 40);
    }
    EXPECT_EQ(ReadPreference("GatewayAddress", "AnotherKeyName").state, State::Absent) << "the key name's own key";
}

}  // namespace
