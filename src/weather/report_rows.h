#pragma once
// The eight observation rows a report recognises, and how each row's line
// opens in the report.

#include <string>
#include <string_view>

namespace nimbrel {

// Whether a row's line starts on a new line when it is not the report's
// first field line.
enum class LaterLineBreak {
    Always,
    Never,
    WithPair,           // only when the report is translated
    WithPairAtRow3Or4,  // as WithPair at row index 3 or 4, otherwise Always
};

struct ReportRow {
    const char* label;
    const char* colour;  // the host's colour number, two digits
    LaterLineBreak laterBreak;
    bool alwaysFirstOpener;  // Wind opens like a first field line wherever it stands
};

constexpr int kReportRowCount = 8;
extern const ReportRow kReportRows[kReportRowCount];

// The row whose label is exactly this text (case and blanks count), or nullptr.
const ReportRow* FindReportRow(std::string_view label);

// rowIndex counts the rows recognised before this one; firstLineWritten
// tells whether any row's line has been written yet.
void AppendRowOpener(std::string& report, const ReportRow& row, bool firstLineWritten,
                     int rowIndex, bool translating);

}  // namespace nimbrel
