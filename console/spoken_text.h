#pragma once
// A text the plug-in had read aloud, as the voice is given it: UTF-8, with
// no control character left in it.

#include <string>
#include <string_view>

namespace nimbrel::console {

// Surrogate pairs joined, a lone surrogate U+FFFD; every C0 control (line
// breaks and tabs too), DEL and C1 control becomes a blank, so that none
// reaches the speech engine raw.
std::string SpokenText(std::u16string_view utf16);

}  // namespace nimbrel::console
