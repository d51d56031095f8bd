#pragma once
// The plug-in's code page, Windows-1252 (the ANSI code page of the Wine
// prefix): its bytes as code points and back.

#include <string>
#include <string_view>

namespace nimbrel::text {

// 0x80-0x9F through the code page's table (the five bytes it leaves
// undefined stay the C1 controls of the same value, as Windows converts
// them); the rest as Latin-1.
char32_t FromWindows1252(unsigned char byte);

// The plug-in's bytes as UTF-8, each byte one character.
std::string Windows1252ToUtf8(std::string_view bytes);

// UTF-8 as the plug-in reads text: "?" for each character the code page
// lacks, and for each byte that is no UTF-8.
std::string Utf8ToWindows1252(std::string_view utf8);

}  // namespace nimbrel::text
