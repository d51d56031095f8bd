#pragma once
// How an observation value is reworded for the report and for speech.

#include <string>
#include <string_view>

namespace nimbrel {

// "<BR>", "mile(s)", the degree units and "in. Hg" reworded, each at its
// first occurrence only, in that order.
void ApplyValueSubstitutions(std::string& value);

// The emoticon code of each of "clear", "rain" and "thunder" that the value
// holds, in that order.
void AppendEmoticonCodes(std::string& report, std::string_view value);

// "hPa)" is read aloud as "hecto Pascal)"; the first occurrence only.
void SpellPressureUnit(std::string& value);

}  // namespace nimbrel
