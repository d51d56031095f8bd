#include "preferences_registry.h"

#include <cstring>

namespace nimbrel {

namespace {

class CurrentUser : public PreferencesRegistry {
public:
    HKEY Open(const char* path) override {
        HKEY key = nullptr;
        return RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_WRITE, &key) == ERROR_SUCCESS ? key : nullptr;
    }

    HKEY Create(const char* path) override {
        HKEY key = nullptr;
        LONG status = RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                                      nullptr, &key, nullptr);
        return status == ERROR_SUCCESS ? key : nullptr;
    }

    bool Write(HKEY key, const char* name, const char* text) override {
        std::size_t size = std::strlen(text) + 1;
        if (size > MAXDWORD) return false;
        return RegSetValueExA(key, name, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(text),
                              static_cast<DWORD>(size)) == ERROR_SUCCESS;
    }

    void Close(HKEY key) override { RegCloseKey(key); }
};

}  // namespace

PreferencesRegistry& CurrentUserRegistry() {
    static CurrentUser registry;
    return registry;
}

}  // namespace nimbrel
