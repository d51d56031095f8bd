#include "weather_report.h"

#include "common/host_records.h"
#include "host_text_codes.h"
#include "replace_first.h"
#include "report_markers.h"
#include "report_rows.h"
#include "text_finder.h"
#include "value_wording.h"
#include "wind_speed.h"

namespace nimbrel {

namespace {

// The page is walked with positions: nothing but the values is copied, so
// a long page costs one pass.
constexpr TextFinder kFindHeader{kHeaderMarker};
constexpr TextFinder kFindHeaderEnd{kHeaderEnd};
constexpr TextFinder kFindRow{kRowMarker};
constexpr TextFinder kFindLabelEnd{kLabelEnd};
constexpr TextFinder kFindValue{kValueMarker};
constexpr TextFinder kFindValueEnd{kValueEnd};

constexpr std::size_t npos = std::string_view::npos;
constexpr char kLabelSeparator[] = ": ";
constexpr char kSpokenLabelStart[] = ". ";

// Up to, not including, the end text, or the rest of the page without one.
std::string_view UpTo(std::string_view page, std::size_t from, std::size_t end) {
    return page.substr(from, end == npos ? npos : end - from);
}

}  // namespace

std::string BuildWeatherReport(std::string_view body, const std::string& pair,
                               const Translator& translate, char (&speechText)[kSpeechTextSize]) {
    const bool translating = !pair.empty();
    SpeechTextWriter speech(speechText);

    // Without the header marker there is nothing to read after it.
    std::size_t at = kFindHeader.In(body);
    at = at == npos ? body.size() : at + kFindHeader.size();

    std::string report(kReportHeading);
    report += UpTo(body, at, kFindHeaderEnd.In(body, at));
    if (translating) report = translate(report, pair);
    speech.Append(report);

    bool firstLineWritten = false;
    for (int rowIndex = 0;; ++rowIndex) {
        // The host shows no more than its buffer holds: once a translated
        // report is past it, no further row can change what is shown, so
        // none is asked for.
        if (translating && report.size() >= kOutputCapacity) break;
        const std::size_t row = kFindRow.In(body, at);
        if (row == npos) break;
        at = row + kFindRow.size();

        const std::string_view label = UpTo(body, at, kFindLabelEnd.In(body, at));
        const ReportRow* known = FindReportRow(label);
        if (!known) break;

        // Checked before anything of the row is written, so that a row
        // without a value leaves no half line and asks for no translation.
        const std::size_t valueMarker = kFindValue.In(body, at);
        if (valueMarker == npos) break;
        at = valueMarker + kFindValue.size();
        std::string value(UpTo(body, at, kFindValueEnd.In(body, at)));

        AppendRowOpener(report, *known, firstLineWritten, rowIndex, translating);
        firstLineWritten = true;
        if (translating)
            report += translate(std::string(label), pair);
        else
            report += label;
        report += kLabelSeparator;
        report += kResetCode;

        speech.Append(kSpokenLabelStart);
        speech.Append(known->label);
        speech.Append(kLabelSeparator);

        ApplyValueSubstitutions(value);
        AppendEmoticonCodes(report, value);
        const std::size_t valueInReport = report.size();
        if (translating)
            report += translate(value, pair);
        else
            report += value;

        if (const auto knots = KnotsText(value)) {
            std::string converted = KilometersPerHour(*knots);
            converted += translating ? translate(kKilometersPerHourUnit, pair)
                                     : std::string(kKilometersPerHourUnit);
            if (converted.size() > kConvertedSpeedMax) converted.resize(kConvertedSpeedMax);
            const std::string knotsSpeed = std::string(*knots) + std::string(kKnotsEnd);
            ReplaceFirst(value, knotsSpeed, converted);
            // In this row's own text only: an earlier line holding the same
            // knots text must not be rewritten in its place.
            ReplaceFirst(report, knotsSpeed, converted, valueInReport);
        }

        SpellPressureUnit(value);
        speech.Append(value);
    }
    return report;
}

}  // namespace nimbrel
