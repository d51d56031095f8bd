#include "command_words.h"

namespace nimbrel {

namespace {

// The words of CommandWord::Speak to CommandWord::States, in that order,
// which is the order a typed word is compared with them.
constexpr const char* kCommandWords[] = {
    "xs", "xsong", "xadd", "xplay", "xpause", "xstop", "xnext", "xprev",
    "xwtranshelp", "xwspeechoff", "xwspeechon", "xweather", "xcountry", "xstates",
};
constexpr int kWordCount = static_cast<int>(sizeof kCommandWords / sizeof kCommandWords[0]);
static_assert(static_cast<int>(CommandWord::States) == kWordCount, "one word for each CommandWord but None");

constexpr char kCommandStart = '/';

// ASCII only, so that no code page can fold a byte into a letter.
char FoldCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualIgnoringCase(const char* typed, const char* word) {
    for (; *typed && *word; ++typed, ++word)
        if (FoldCase(*typed) != *word) return false;
    return *typed == *word;
}

}  // namespace

const char* CommandWordText(CommandWord word) {
    const int index = static_cast<int>(word) - 1;
    return index >= 0 && index < kWordCount ? kCommandWords[index] : "";
}

CommandWord MatchCommandWord(const char* typed) {
    if (!typed || *typed != kCommandStart) return CommandWord::None;
    for (int index = 0; index < kWordCount; ++index)
        if (EqualIgnoringCase(typed + 1, kCommandWords[index])) return static_cast<CommandWord>(index + 1);
    return CommandWord::None;
}

}  // namespace nimbrel
