#pragma once
// The blanks at either end of a text, kept aside while only its words are
// translated: the plug-in's pieces end in line breaks and begin with
// blanks that shape the report, and translators drop or move them.

#include <string>
#include <string_view>

namespace nimbrel::services {

struct EdgeBlanks {
    std::string_view lead;
    std::string_view words;  // empty when the text is all blanks
    std::string_view trail;
};

EdgeBlanks SplitEdgeBlanks(std::string_view text);

// The translated words between the text's own blanks.
std::string WithEdgeBlanks(const EdgeBlanks& edges, std::string_view translatedWords);

}  // namespace nimbrel::services
