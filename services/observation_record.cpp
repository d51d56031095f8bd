#include "observation_record.h"

namespace services {
namespace {

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// "Wind: ... (8 KT):0" carries an alert level after the value; an ordinary
// value never ends in a colon and digits.
std::string_view WithoutAlertLevel(std::string_view value) {
    const auto colon = value.rfind(':');
    if (colon == std::string_view::npos || colon + 1 == value.size()) return value;
    for (std::size_t i = colon + 1; i < value.size(); ++i) {
        if (value[i] < '0' || value[i] > '9') return value;
    }
    return value.substr(0, colon);
}

ObservationLine ParseLine(std::string_view line) {
    const auto colon = line.find(": ");
    if (colon == std::string_view::npos) return {std::string(Trimmed(line)), {}};
    return {std::string(line.substr(0, colon)),
            std::string(Trimmed(WithoutAlertLevel(Trimmed(line.substr(colon + 2)))))};
}

}  // namespace

ObservationRecord ParseObservationRecord(std::string_view text, std::string_view code) {
    ObservationRecord record;
    std::size_t index = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = Trimmed(text.substr(start, end - start));
        start = end + 1;
        if (index == 0) {
            const std::string closing = "(" + std::string(code) + ")";
            const auto at = line.find(closing);
            const auto nameEnd = at == std::string_view::npos ? line.size() : at + closing.size();
            record.station = std::string(line.substr(0, nameEnd));
            record.position = std::string(Trimmed(line.substr(nameEnd)));
        } else if (index == 1) {
            record.time = std::string(line);
        } else if (!line.empty()) {
            record.lines.push_back(ParseLine(line));
        }
        ++index;
    }
    return record;
}

}  // namespace services
