#include "report_rows.h"

#include "host_text_codes.h"

namespace nimbrel {

namespace {
constexpr char kLineBreak[] = "\n";
constexpr char kFirstLineMark[] = "#";
}  // namespace

const ReportRow kReportRows[kReportRowCount] = {
    {"Wind", "04", LaterLineBreak::Always, true},
    {"Visibility", "20", LaterLineBreak::Always, false},
    {"Sky conditions", "02", LaterLineBreak::Always, false},
    {"Weather", "03", LaterLineBreak::Never, false},
    {"Temperature", "09", LaterLineBreak::WithPairAtRow3Or4, false},
    {"Dew Point", "05", LaterLineBreak::WithPair, false},
    {"Relative Humidity", "06", LaterLineBreak::WithPair, false},
    {"Pressure (altimeter)", "07", LaterLineBreak::WithPair, false},
};

const ReportRow* FindReportRow(std::string_view label) {
    for (const ReportRow& row : kReportRows)
        if (label == row.label) return &row;
    return nullptr;
}

namespace {

bool BreaksLaterLine(const ReportRow& row, int rowIndex, bool translating) {
    switch (row.laterBreak) {
    case LaterLineBreak::Always: return true;
    case LaterLineBreak::Never: return false;
    case LaterLineBreak::WithPair: return translating;
    case LaterLineBreak::WithPairAtRow3Or4:
        return (rowIndex == 3 || rowIndex == 4) ? translating : true;
    }
    return true;
}

}  // namespace

void AppendRowOpener(std::string& report, const ReportRow& row, bool firstLineWritten,
                     int rowIndex, bool translating) {
    if (!firstLineWritten || row.alwaysFirstOpener) {
        report += kLineBreak;
        report += kFirstLineMark;
    } else if (BreaksLaterLine(row, rowIndex, translating)) {
        report += kLineBreak;
    }
    report += kColourCodeStart;
    report += row.colour;
    report += kColourCodeEnd;
    report += kBoldCode;
}

}  // namespace nimbrel
