#pragma once
// The four registry calls the preferences store makes, behind an interface
// so that a test can refuse any one of them.

#include <windows.h>

namespace nimbrel {

class PreferencesRegistry {
public:
    virtual ~PreferencesRegistry() = default;
    // A key below HKEY_CURRENT_USER open for writing, or null.
    virtual HKEY Open(const char* path) = 0;
    // Creates the key and every key above it that is missing; null on failure.
    virtual HKEY Create(const char* path) = 0;
    // Stores the text as REG_EXPAND_SZ, its terminating NUL included.
    virtual bool Write(HKEY key, const char* name, const char* text) = 0;
    virtual void Close(HKEY key) = 0;
};

// The current user's registry.
PreferencesRegistry& CurrentUserRegistry();

}  // namespace nimbrel
