#pragma once
// Owning wrappers for the few Win32 handles the host stand-in holds.

#include <windows.h>

#include <memory>
#include <type_traits>

struct ModuleCloser {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
struct WindowCloser {
    void operator()(HWND window) const { DestroyWindow(window); }
};
struct HookCloser {
    void operator()(HHOOK hook) const { UnhookWindowsHookEx(hook); }
};

using UniqueModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleCloser>;
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowCloser>;
using UniqueHook = std::unique_ptr<std::remove_pointer_t<HHOOK>, HookCloser>;
