#pragma once
// Paging a station list into the texts of its message boxes.

#include <cstddef>
#include <string>
#include <vector>

namespace nimbrel {

// A remaining list this long or longer is cut behind the first option
// marker that starts at or after this position.
constexpr std::size_t kBoxThreshold = 4096;

extern const char kOptionMarker[];    // begins each entry, before its value
extern const char kOptionValueEnd[];  // ends the value, before the label
extern const char kLineJoiner[];      // replaces every second line feed

// The box texts, in order: each cut as above (a list with no marker past
// the threshold is shown whole as the last box), every option marker and
// then every value end removed until none is left, and the line feeds of
// each box numbered from 1 with the even ones replaced by the joiner, so
// that entries stand two to a line. Linear in the length of the list.
std::vector<std::string> PageListText(const std::string& listText);

}  // namespace nimbrel
