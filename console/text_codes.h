#pragma once
// The host's text codes as a terminal shows them: "(!FCnn)" switches to
// colour nn of a fixed palette, "(!FB)" to bold, "(!FR)" back to plain.

#include <string>

namespace nimbrel::console {

struct PaletteEntry {
    int number;
    const char* name;
    int terminalColour;   // 256-colour terminal code
};

// The colours the console host knows, by host colour number.
extern const PaletteEntry kHostPalette[];
extern const int kHostPaletteSize;

// The text with its codes turned into terminal escapes (colour true) or
// removed (colour false). A colour number outside the palette keeps the
// current colour; anything that is not a whole code stays as it is. With
// colour on, the text ends in plain style.
std::string RenderTextCodes(const std::string& text, bool colour);

}  // namespace nimbrel::console
