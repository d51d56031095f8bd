#pragma once
// The last /xweather station code and language pair, written to the current
// user's registry below the host's key and never read back.

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

}  // namespace nimbrel
