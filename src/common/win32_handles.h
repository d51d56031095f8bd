#pragma once
// The Win32 handles the plug-in owns, each with its own notion of "none".

#include <windows.h>
#include <wininet.h>

#include "unique_any.h"

namespace nimbrel {

// Kernel objects and WinINet report a failure as null or as all bits set
// (INVALID_HANDLE_VALUE), depending on the call: neither is closed.
inline bool IsOpenHandle(HANDLE handle) noexcept {
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

using UniqueHandle = UniqueAny<HANDLE, &CloseHandle, nullptr, &IsOpenHandle>;
using UniqueInternet = UniqueAny<HINTERNET, &InternetCloseHandle, nullptr, &IsOpenHandle>;
using UniqueKey = UniqueAny<HKEY, &RegCloseKey>;
using UniqueModule = UniqueAny<HMODULE, &FreeLibrary>;

}  // namespace nimbrel
