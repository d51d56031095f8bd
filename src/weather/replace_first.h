#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace nimbrel {

// Replaces the first occurrence of what at or after from. False, and the
// text untouched, when there is none.
bool ReplaceFirst(std::string& text, std::string_view what, std::string_view with,
                  std::size_t from = 0);

}  // namespace nimbrel
