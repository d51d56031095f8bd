#pragma once
// The fourteen command words: the one list that the published command
// table and the matcher of typed words both read.

namespace nimbrel {

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

// The word as the command table publishes it, without the slash that a
// typed word begins with; "" for None.
const char* CommandWordText(CommandWord word);

// The typed word, leading slash included, compared whole and ignoring the
// case of ASCII letters with each word in turn, in the order "/xs",
// "/xsong", ... "/xstates"; the first equal one wins.
CommandWord MatchCommandWord(const char* typed);

}  // namespace nimbrel
