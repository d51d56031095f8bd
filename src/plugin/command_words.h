#pragma once
// The fourteen command words that ParseCommand answers.

enum class CommandWord {
    None,  // not one of the fourteen
    Speak,
    Song,
    Add,
    Play,
    Pause,
    Stop,
    Next,
    Previous,
    TranslationHelp,
    SpeechOff,
    SpeechOn,
    Weather,
    Country,
    States,
};

// The typed word, leading slash included, compared whole and ignoring the
// case of ASCII letters with each word in turn; the first equal one wins.
CommandWord MatchCommandWord(const char* word);
