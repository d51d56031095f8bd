#pragma once
// The user guide that Configure shows: lines joined by a line feed alone,
// none after the last.

#include <string>

namespace nimbrel {

std::string HelpBoxText();

}  // namespace nimbrel
