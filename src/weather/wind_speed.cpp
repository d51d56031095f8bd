#include "wind_speed.h"

#include <charconv>

#include "decimal_number.h"

namespace nimbrel {

namespace {
// Deliberately 1.8532, not the nautical mile's 1.852: reports give these figures.
constexpr double kKilometersPerKnot = 1.8532;
constexpr std::size_t kNumberWidth = 4;
constexpr int kSignificantDigits = 6;
}  // namespace

std::optional<std::string_view> KnotsText(std::string_view value) {
    const std::size_t speed = value.find(kSpeedStart);
    if (speed == std::string_view::npos) return std::nullopt;
    const std::size_t start = speed + kSpeedStart.size();
    const std::size_t end = value.find(kKnotsEnd, start);
    return value.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

std::string KilometersPerHour(std::string_view knotsText) {
    const double kilometers = ReadDecimalNumber(knotsText) * kKilometersPerKnot;
    char digits[32];
    const auto written = std::to_chars(digits, digits + sizeof digits, kilometers,
                                       std::chars_format::general, kSignificantDigits);
    std::string text(digits, written.ptr);
    if (text.size() < kNumberWidth) text.insert(0, kNumberWidth - text.size(), ' ');
    return text;
}

}  // namespace nimbrel
