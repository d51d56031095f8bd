#pragma once
// The plug-in's texts are single-byte Windows-1252 (the degree sign is the
// byte 0xB0); Apertium reads and writes UTF-8.

#include <string>
#include <string_view>

namespace services {

std::string AnsiToUtf8(std::string_view ansi);

// Characters that Windows-1252 lacks, and bytes that are no UTF-8, become "?".
std::string Utf8ToAnsi(std::string_view utf8);

}  // namespace services
