#pragma once
// The plug-in's preferences, in the current user's registry below the
// host's key: the last /xweather station code and language pair, written
// and never read back; and values the user sets, read and never written.

#include <string>

namespace nimbrel {

class PreferencesRegistry;

// Writes TownCode and TranslateCode (each REG_EXPAND_SZ) under
// Software\Quorvel\MsgPlus2\<keyName>\Preferences\Plugins\NimbrelMMPlugin,
// opening the key or else creating it. Each value that cannot be written
// gets its own error box (no owner, OK only), so at most two; the caller is
// never told. A key name is read to at most 127 characters, as
// hostKeyName holds it; null texts count as empty.
void SavePreferences(const char* stationCode, const char* languagePair, const char* keyName) noexcept;

// The same through the given registry.
void SavePreferences(const char* stationCode, const char* languagePair, const char* keyName,
                     PreferencesRegistry& registry) noexcept;

// A value the user may set, as read.
struct PreferenceText {
    enum class State { Absent, Text, Unreadable };
    State state = State::Absent;
    std::string text;   // the text of a string value, as stored (never expanded)
};

// The longest text a preference is read to; a longer value is Unreadable,
// as is one that is not a string (REG_SZ or REG_EXPAND_SZ).
constexpr unsigned long kPreferenceTextMaxBytes = 1024;

// The named value under the same key as SavePreferences writes, read
// on each call; Absent when the key or the value is missing.
PreferenceText ReadPreference(const char* name, const char* keyName) noexcept;

}  // namespace nimbrel
