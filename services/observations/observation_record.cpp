#include "services/observations/observation_record.h"

#include <array>

#include "services/support/text_match.h"

namespace nimbrel::services {
namespace {

constexpr std::string_view kNameNotAvailable = "Station name not available";

// Every label the source writes, the optional ones included.
constexpr std::array<std::string_view, 14> kKnownLabels = {
    "Wind", "Visibility", "Sky conditions", "Weather", "Temperature", "Windchill", "Heat index",
    "Dew Point", "Relative Humidity", "Pressure (altimeter)", "Pressure tendency",
    "Precipitation last hour", "ob", "cycle"};

bool IsKnownLabel(std::string_view label) {
    for (const std::string_view known : kKnownLabels) {
        if (label == known) return true;
    }
    return false;
}

bool IsDigits(std::string_view text) {
    if (text.empty()) return false;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// "Wind: ... (8 KT):0" carries an alert level after the value; an ordinary
// value never ends in a colon and digits.
std::string_view WithoutAlertLevel(std::string_view value) {
    const auto colon = value.rfind(':');
    if (colon == std::string_view::npos || !IsDigits(value.substr(colon + 1))) return value;
    return value.substr(0, colon);
}

// Some names carry a blank before a comma ("Whistler , Canada").
std::string TidyName(std::string_view name) {
    std::string tidy;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == ' ' && i + 1 < name.size() && name[i + 1] == ',') continue;
        tidy += name[i];
    }
    return tidy;
}

void ReadNameLine(std::string_view line, std::string_view code, ObservationRecord& record) {
    const std::string closing = "(" + std::string(code) + ")";
    const auto at = line.find(closing);
    if (at == std::string_view::npos) {
        // "Station name not available": the code still names the station.
        record.station = std::string(line) + " " + closing;
        return;
    }
    record.station = TidyName(line.substr(0, at + closing.size()));
    record.position = std::string(TrimmedBlanks(line.substr(at + closing.size())));
}

// The lines of text, each without its line end and outer blanks.
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        lines.push_back(TrimmedBlanks(text.substr(start, end - start)));
        start = end + 1;
    }
    return lines;
}

// "Jul 29, 2017 - 03:58 AM EDT / 2017.07.29 0758 UTC": the UTC part is the
// one whose shape never changes.
bool IsTimeLine(std::string_view line) {
    constexpr std::string_view kShape = "/ 0000.00.00 0000 UTC";
    if (line.size() < kShape.size()) return false;
    const std::string_view tail = line.substr(line.size() - kShape.size());
    for (std::size_t i = 0; i < kShape.size(); ++i) {
        const bool digit = tail[i] >= '0' && tail[i] <= '9';
        if (kShape[i] == '0' ? !digit : tail[i] != kShape[i]) return false;
    }
    return true;
}

// "ob: LFMN 291200Z ...", possibly with the report's type first.
bool IsReportOf(std::string_view line, std::string_view code) {
    constexpr std::string_view kLabel = "ob: ";
    if (!StartsWith(line, kLabel)) return false;
    std::string_view report = line.substr(kLabel.size());
    for (const std::string_view type : {"METAR ", "SPECI "}) {
        if (StartsWith(report, type)) report.remove_prefix(type.size());
    }
    return StartsWith(report, code) &&
           (report.size() == code.size() || report[code.size()] == ' ');
}

}  // namespace

ObservationRecord ParseObservationRecord(std::string_view text, std::string_view code) {
    ObservationRecord record;
    const auto lines = Lines(text);
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const std::string_view line = lines[index];
        if (index == 0) {
            ReadNameLine(line, code, record);
            continue;
        }
        if (index == 1) {
            record.time = std::string(line);
            continue;
        }
        const auto colon = line.find(": ");
        if (colon == std::string_view::npos || !IsKnownLabel(line.substr(0, colon))) continue;
        record.lines.push_back({std::string(line.substr(0, colon)),
                                std::string(TrimmedBlanks(WithoutAlertLevel(TrimmedBlanks(line.substr(colon + 2)))))});
    }
    return record;
}

bool IsStationCode(std::string_view code) {
    if (code.size() != 4) return false;
    for (const char c : code) {
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
    }
    return true;
}

bool IsDecodedObservation(std::string_view text, std::string_view code) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\n' && c != '\r' && c != '\t') || byte == 0x7F) return false;
    }
    const auto lines = Lines(text);
    if (lines.size() < 3 || !IsTimeLine(lines[1])) return false;
    const std::string closing = "(" + std::string(code) + ")";
    if (lines[0].find(closing) == std::string_view::npos &&
        !StartsWith(lines[0], kNameNotAvailable)) {
        return false;
    }
    for (std::size_t i = 2; i < lines.size(); ++i) {
        if (IsReportOf(lines[i], code)) return true;
    }
    return false;
}

}  // namespace nimbrel::services
