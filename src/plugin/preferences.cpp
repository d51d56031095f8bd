#include "preferences.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "common/export_guard.h"
#include "common/module_state.h"
#include "common/win32_handles.h"
#include "preferences_registry.h"
#include "unique_any.h"

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

void CloseRegistryKey(const RegistryKey* opened) { opened->registry->Close(opened->key); }
bool IsOpenKey(const RegistryKey* opened) { return opened && opened->key != nullptr; }

using OpenedKey = UniqueAny<const RegistryKey*, &CloseRegistryKey, nullptr, &IsOpenKey>;

// The plug-in's key below HKEY_CURRENT_USER for the host's key name.
std::string PreferencesKeyPath(const char* keyName) {
    char path[kKeyPathSize];
    std::snprintf(path, sizeof path, "%s\\%.*s%s", kHostRegistryRoot, kKeyNameMaxLength, keyName ? keyName : "",
                  kPreferencesBelowHostKey);
    return path;
}

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
    const std::string path = PreferencesKeyPath(keyName);
    HKEY key = registry.Open(path.c_str());
    if (!key) key = registry.Create(path.c_str());
    const RegistryKey held{&registry, key};
    OpenedKey opened(&held);

    // The second value is written whatever became of the first.
    WriteOrComplain(registry, key, kTownCodeValue, stationCode ? stationCode : "");
    WriteOrComplain(registry, key, kTranslateCodeValue, languagePair ? languagePair : "");
}

PreferenceText ReadPreference(const char* name, const char* keyName) noexcept {
    return Guarded(PreferenceText{}, [&] {
        PreferenceText read;
        HKEY opened = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, PreferencesKeyPath(keyName).c_str(), 0, KEY_QUERY_VALUE, &opened) !=
            ERROR_SUCCESS)
            return read;
        const UniqueKey key(opened);
        char text[kPreferenceTextMaxBytes];
        DWORD type = 0, size = sizeof text;
        const LONG status = RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size);
        if (status == ERROR_FILE_NOT_FOUND) return read;
        if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
            read.state = PreferenceText::State::Unreadable;
            return read;
        }
        // A stored string need not end with its NUL, nor stop at the first.
        read.state = PreferenceText::State::Text;
        read.text.assign(text, size);
        while (!read.text.empty() && read.text.back() == '\0') read.text.pop_back();
        return read;
    });
}

}  // namespace nimbrel
