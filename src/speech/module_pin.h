#pragma once
// The host may free the library while a worker still runs its code; a
// worker therefore holds a reference to the module until it exits.

#include <windows.h>

#include <memory>
#include <type_traits>

struct ModuleRelease {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};

using PinnedModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleRelease>;

// One more reference to the module that holds the address: the DLL when the
// code is built into one, the program when it is linked in statically.
// Null when no module holds it.
inline PinnedModule PinModuleOf(const void* address) noexcept {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, static_cast<LPCWSTR>(address),
                            &module)) {
        return nullptr;
    }
    return PinnedModule(module);
}
