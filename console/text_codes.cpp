#include "text_codes.h"

#include <cctype>

namespace nimbrel::console {

const PaletteEntry kHostPalette[] = {
    {0, "white", 15},       {1, "black", 16},       {2, "navy", 19},       {3, "green", 34},
    {4, "red", 196},        {5, "brown", 130},      {6, "purple", 127},    {7, "orange", 208},
    {8, "yellow", 226},     {9, "light green", 118}, {10, "teal", 37},     {11, "cyan", 51},
    {12, "light blue", 75}, {13, "pink", 213},      {14, "grey", 244},     {15, "light grey", 250},
    {20, "slate blue", 105},
};
const int kHostPaletteSize = sizeof kHostPalette / sizeof kHostPalette[0];

namespace {

const char* kBold = "\x1b[1m";
const char* kPlain = "\x1b[0m";

bool StartsAt(const std::string& text, std::size_t at, const char* code) {
    return text.compare(at, std::char_traits<char>::length(code), code) == 0;
}

const PaletteEntry* Colour(int number) {
    for (int i = 0; i < kHostPaletteSize; ++i)
        if (kHostPalette[i].number == number) return &kHostPalette[i];
    return nullptr;
}

}  // namespace

std::string RenderTextCodes(const std::string& text, bool colour) {
    std::string out;
    bool styled = false;
    for (std::size_t i = 0; i < text.size();) {
        if (StartsAt(text, i, "(!FB)")) {
            if (colour) out += kBold;
            styled = true;
            i += 5;
        } else if (StartsAt(text, i, "(!FR)")) {
            if (colour) out += kPlain;
            styled = false;
            i += 5;
        } else if (StartsAt(text, i, "(!FC") && i + 7 <= text.size() && std::isdigit(static_cast<unsigned char>(text[i + 4])) &&
                   std::isdigit(static_cast<unsigned char>(text[i + 5])) && text[i + 6] == ')') {
            const PaletteEntry* entry = Colour((text[i + 4] - '0') * 10 + (text[i + 5] - '0'));
            if (colour && entry) {
                out += "\x1b[38;5;" + std::to_string(entry->terminalColour) + "m";
                styled = true;
            }
            i += 7;
        } else {
            out += text[i++];
        }
    }
    if (colour && styled) out += kPlain;
    return out;
}

}  // namespace nimbrel::console
