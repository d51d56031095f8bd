#pragma once

#include <windows.h>

#include <optional>
#include <string>

// The text in UTF-16 as the code page reads it: at most one unit for each
// character. Nothing when the conversion fails.
std::optional<std::wstring> ToWideText(const char* text, UINT codePage);
