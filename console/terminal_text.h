#pragma once
// Text from other programs made safe and readable for a terminal, as UTF-8.
// Control characters other than line feed and tab are shown, never obeyed:
// C0 controls and DEL in caret notation (ESC is "^["), C1 controls as
// "<U+009B>". A plug-in's text can then neither move the cursor nor
// change colours, titles or modes.

#include <string>
#include <string_view>

namespace nimbrel::console {

// The plug-in's single-byte text (Windows-1252).
std::string TerminalText(std::string_view bytes);
// A wide text (UTF-16), surrogate pairs joined.
std::string TerminalText(std::u16string_view utf16);
// A program's own message in UTF-8, such as Wine's on its error output.
std::string TerminalTextFromUtf8(std::string_view utf8);

}  // namespace nimbrel::console
