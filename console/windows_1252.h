#pragma once
// The plug-in's code page, Windows-1252 (the ANSI code page of the Wine
// prefix): its bytes as code points and back.

#include <string>
#include <string_view>

namespace console {

// 0x80-0x9F through the code page's table (the five bytes it leaves
// undefined stay the C1 controls of the same value); the rest as Latin-1.
char32_t FromWindows1252(unsigned char byte);

// A typed line, in UTF-8, as the plug-in reads text: "?" for each character
// the code page lacks (and for each malformed byte).
std::string ToWindows1252(std::string_view utf8);

}  // namespace console
