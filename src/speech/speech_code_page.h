#pragma once

#include <windows.h>

// The code page a worker reads its text in: the ANSI code page of the
// calling thread's locale, or the system's when the locale names none.
UINT ThreadAnsiCodePage() noexcept;
