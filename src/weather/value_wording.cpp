#include "value_wording.h"

#include "replace_first.h"

namespace nimbrel {

namespace {

// A text to look for in a value, and the text that it brings.
struct Cue {
    const char* find;
    const char* text;
};

// Order matters: " C)" goes before " F (" so "59 F (15 C)" keeps both.
constexpr Cue kSubstitutions[] = {
    {"<BR>", "\r\n"},
    {"mile(s)", "miles"},
    {" C)", "\xB0 Celsius)"},
    {" F (", "\xB0 Fahrenheit ("},
    {"in. Hg", "inches of mercury"},
};

constexpr Cue kEmoticons[] = {
    {"clear", "(#)"},
    {"rain", "(st)"},
    {"thunder", "(li)"},
};

constexpr std::string_view kPressureUnit = "hPa)";
constexpr char kSpokenPressureUnit[] = "hecto Pascal";

}  // namespace

void ApplyValueSubstitutions(std::string& value) {
    for (const Cue& substitution : kSubstitutions) ReplaceFirst(value, substitution.find, substitution.text);
}

void AppendEmoticonCodes(std::string& report, std::string_view value) {
    for (const Cue& emoticon : kEmoticons)
        if (value.find(emoticon.find) != std::string_view::npos) report += emoticon.text;
}

void SpellPressureUnit(std::string& value) {
    const std::size_t at = value.find(kPressureUnit);
    // Only "hPa": the closing parenthesis stays.
    if (at != std::string::npos) value.replace(at, kPressureUnit.size() - 1, kSpokenPressureUnit);
}

}  // namespace nimbrel
