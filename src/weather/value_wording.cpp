#include "value_wording.h"

#include "replace_first.h"

namespace {

struct Substitution {
    const char* find;
    const char* replaceWith;
};

// Order matters: " C)" goes before " F (" so "59 F (15 C)" keeps both.
constexpr Substitution kSubstitutions[] = {
    {"<BR>", "\r\n"},
    {"mile(s)", "miles"},
    {" C)", "\xB0 Celsius)"},
    {" F (", "\xB0 Fahrenheit ("},
    {"in. Hg", "inches of mercury"},
};

struct Emoticon {
    const char* word;
    const char* code;
};

constexpr Emoticon kEmoticons[] = {
    {"clear", "(#)"},
    {"rain", "(st)"},
    {"thunder", "(li)"},
};

constexpr std::string_view kPressureUnit = "hPa)";
constexpr char kSpokenPressureUnit[] = "hecto Pascal";

}  // namespace

void ApplyValueSubstitutions(std::string& value) {
    for (const Substitution& substitution : kSubstitutions)
        ReplaceFirst(value, substitution.find, substitution.replaceWith);
}

void AppendEmoticonCodes(std::string& report, std::string_view value) {
    for (const Emoticon& emoticon : kEmoticons)
        if (value.find(emoticon.word) != std::string_view::npos) report += emoticon.code;
}

void SpellPressureUnit(std::string& value) {
    const std::size_t at = value.find(kPressureUnit);
    // Only "hPa": the closing parenthesis stays.
    if (at != std::string::npos) value.replace(at, kPressureUnit.size() - 1, kSpokenPressureUnit);
}
