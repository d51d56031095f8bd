#pragma once
// Finding a typed name on the service's index page. The page holds each
// name five characters after the start of its two-character code.

#include <string>

namespace nimbrel {

struct IndexLookup {
    enum class Outcome {
        EndSilently,      // empty page, or the name too near its start
        ShowFallback,     // the page does not hold the name
        ReadStationList,  // code holds the two characters
    };
    Outcome outcome;
    std::string code;
};

// The first occurrence of the whole name, matched exactly, decides. One
// found fewer than five characters in has no code before it: the run ends
// with nothing shown, as on the other failures.
IndexLookup LookUpStationName(const std::string& indexPage, const char* name);

}  // namespace nimbrel
