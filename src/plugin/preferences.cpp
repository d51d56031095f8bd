#include "preferences.h"

#include <windows.h>

#include <cstdio>

#include "common/module_state.h"
#include "common/unique_any.h"
#include "preferences_registry.h"

namespace nimbrel {

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

// A key is closed through the registry that opened it, and only a key that
// was opened.
struct RegistryKey {
    PreferencesRegistry* registry;
    HKEY key;
};

void CloseRegistryKey(RegistryKey opened) { opened.registry->Close(opened.key); }
bool IsOpenKey(RegistryKey opened) { return opened.key != nullptr; }

using OpenedKey = UniqueAny<RegistryKey, &CloseRegistryKey, &IsOpenKey>;

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
    OpenedKey opened(RegistryKey{&registry, key});

    // The second value is written whatever became of the first.
    WriteOrComplain(registry, key, kTownCodeValue, stationCode ? stationCode : "");
    WriteOrComplain(registry, key, kTranslateCodeValue, languagePair ? languagePair : "");
}

}  // namespace nimbrel
