#pragma once
// The wind speed of a value, given in knots, rewritten in kilometers per hour.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace nimbrel {

inline constexpr std::string_view kSpeedStart = "MPH (";
inline constexpr std::string_view kKnotsEnd = " KT)";
inline constexpr char kKilometersPerHourUnit[] = " Kilometers per hour)";

// Room for the number and its unit text: 99 characters.
constexpr std::size_t kConvertedSpeedMax = 99;

// What follows the value's first "MPH (" up to the first " KT)" after it,
// or to the value's end; nothing when the value has no "MPH (".
std::optional<std::string_view> KnotsText(std::string_view value);

// The number read from the start of knotsText times 1.8532, written as
// "%*g" with width 4 writes it, whatever the process locale.
std::string KilometersPerHour(std::string_view knotsText);

}  // namespace nimbrel
