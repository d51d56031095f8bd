#include "preferences.h"

#include <windows.h>

#include <cstdio>

#include "module_state.h"
#include "preferences_registry.h"

namespace {

constexpr char kHostRegistryRoot[] = "Software\\Quorvel\\MsgPlus2";
constexpr char kPreferencesBelowHostKey[] = "\\Preferences\\Plugins\\NimbrelMMPlugin";
constexpr char kTownCodeValue[] = "TownCode";
constexpr char kTranslateCodeValue[] = "TranslateCode";
constexpr char kSaveErrorText[] = "Problem while plugin trying to save preferences";
constexpr char kSaveErrorCaption[] = "NimbrelMPPlugin error";

// Root, a backslash, at most 127 characters of key name, the tail: 189
// characters at most.
constexpr int kKeyNameMaxLength = static_cast<int>(kHostKeyNameSize - 1);
constexpr std::size_t kKeyPathSize = 256;

// Closes the key it holds, and only a key that was opened.
class OpenedKey {
public:
    OpenedKey(PreferencesRegistry& registry, HKEY key) : registry_(registry), key_(key) {}
    ~OpenedKey() {
        if (key_) registry_.Close(key_);
    }
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;
    HKEY get() const { return key_; }

private:
    PreferencesRegistry& registry_;
    HKEY key_;
};

void ShowSaveError() {
    MessageBoxA(nullptr, kSaveErrorText, kSaveErrorCaption, MB_OK);
}

void WriteOrComplain(PreferencesRegistry& registry, HKEY key, const char* name, const char* text) {
    if (!key || !registry.Write(key, name, text)) ShowSaveError();
}

}  // namespace

void SavePreferences(const char* stationCode, const char* languagePair, const char* keyName) noexcept {
    SavePreferences(stationCode, languagePair, keyName, CurrentUserRegistry());
}

void SavePreferences(const char* stationCode, const char* languagePair, const char* keyName,
                     PreferencesRegistry& registry) noexcept {
    char path[kKeyPathSize];
    std::snprintf(path, sizeof path, "%s\\%.*s%s", kHostRegistryRoot, kKeyNameMaxLength, keyName ? keyName : "",
                  kPreferencesBelowHostKey);

    HKEY key = registry.Open(path);
    if (!key) key = registry.Create(path);
    OpenedKey opened(registry, key);

    // The second value is written whatever became of the first.
    WriteOrComplain(registry, opened.get(), kTownCodeValue, stationCode ? stationCode : "");
    WriteOrComplain(registry, opened.get(), kTranslateCodeValue, languagePair ? languagePair : "");
}
