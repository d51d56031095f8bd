#include "command_words.h"

struct CommandWordRow {
    const char* text;
    CommandWord word;
};

static const CommandWordRow kCommandWords[] = {
    {"/xs", CommandWord::Speak},
    {"/xsong", CommandWord::Song},
    {"/xadd", CommandWord::Add},
    {"/xplay", CommandWord::Play},
    {"/xpause", CommandWord::Pause},
    {"/xstop", CommandWord::Stop},
    {"/xnext", CommandWord::Next},
    {"/xprev", CommandWord::Previous},
    {"/xwtranshelp", CommandWord::TranslationHelp},
    {"/xwspeechoff", CommandWord::SpeechOff},
    {"/xwspeechon", CommandWord::SpeechOn},
    {"/xweather", CommandWord::Weather},
    {"/xcountry", CommandWord::Country},
    {"/xstates", CommandWord::States},
};

// ASCII only, so that no code page can fold a byte into a letter.
static char FoldCase(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

static bool EqualIgnoringCase(const char* typed, const char* word) {
    for (; *typed && *word; ++typed, ++word)
        if (FoldCase(*typed) != *word) return false;
    return *typed == *word;
}

CommandWord MatchCommandWord(const char* word) {
    if (!word) return CommandWord::None;
    for (const CommandWordRow& row : kCommandWords)
        if (EqualIgnoringCase(word, row.text)) return row.word;
    return CommandWord::None;
}
