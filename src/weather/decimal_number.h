#pragma once

#include <string_view>

namespace nimbrel {

// Reads a decimal number from the start of text the way the C library's
// strtod reads one, but always with '.' as the point whatever the process
// locale: leading white space, an optional sign, digits with an optional
// point, an optional exponent. Stops at the first character that cannot
// continue the number; 0 when there is none. No hexadecimal, "inf" or "nan".
double ReadDecimalNumber(std::string_view text);

}  // namespace nimbrel
