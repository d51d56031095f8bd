#include "decimal_number.h"

#include <charconv>
#include <cmath>

namespace nimbrel {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Whether a number too large or too small for a double is too large: the
// decimal exponent of its first significant digit, plus its own exponent.
bool Overflows(std::string_view number) {
    long long magnitude = 0;
    bool seenPoint = false, seenSignificant = false;
    std::size_t i = 0;
    for (; i < number.size() && number[i] != 'e' && number[i] != 'E'; ++i) {
        const char c = number[i];
        if (c == '.') {
            seenPoint = true;
        } else if (!seenSignificant && c == '0') {
            if (seenPoint) --magnitude;
        } else if (!seenPoint) {
            seenSignificant = true;
            ++magnitude;
        } else if (!seenSignificant) {
            seenSignificant = true;
        }
    }
    long long exponent = 0;
    bool negativeExponent = false;
    if (i < number.size()) {
        ++i;
        if (number[i] == '+' || number[i] == '-') negativeExponent = number[i++] == '-';
        constexpr long long kFarEnough = 1000000000000000LL;
        for (; i < number.size() && exponent < kFarEnough; ++i)
            exponent = exponent * 10 + (number[i] - '0');
    }
    return magnitude + (negativeExponent ? -exponent : exponent) > 0;
}

}  // namespace

double ReadDecimalNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

    // A digit first, or a point and a digit: no "inf", "nan" or "0x" beyond its "0".
    const bool startsNumber =
        i < text.size() && (IsDigit(text[i]) || (text[i] == '.' && i + 1 < text.size() && IsDigit(text[i + 1])));
    if (!startsNumber) return 0.0;

    const char* const first = text.data() + i;
    double value = 0.0;
    const auto result = std::from_chars(first, text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range)
        value = Overflows(std::string_view(first, static_cast<std::size_t>(result.ptr - first))) ? HUGE_VAL : 0.0;
    return negative ? -value : value;
}

}  // namespace nimbrel
