#pragma once
// Owning wrappers for the few Win32 handles the host stand-in holds, made
// from the plug-in's one handle template.

#include <windows.h>

#include "common/win32_handles.h"

using UniqueModule = nimbrel::UniqueModule;
using UniqueWindow = nimbrel::UniqueAny<HWND, &DestroyWindow>;
using UniqueHook = nimbrel::UniqueAny<HHOOK, &UnhookWindowsHookEx>;
