#pragma once
// The Win32 handles the host stand-in and its voice own besides those of
// common/win32_handles.h, made from the one handle template (support/).

#include <windows.h>

#include "common/win32_handles.h"

namespace nimbrel::host {

using UniqueWindow = UniqueAny<HWND, &DestroyWindow>;
using UniqueHook = UniqueAny<HHOOK, &UnhookWindowsHookEx>;
// Memory the system allocated for us (FormatMessage's text).
using UniqueLocal = UniqueAny<HLOCAL, &LocalFree>;
// CreateActCtxW reports a failure as INVALID_HANDLE_VALUE.
using UniqueActivationContext = UniqueAny<HANDLE, &ReleaseActCtx, nullptr, &IsOpenHandle>;

}  // namespace nimbrel::host
