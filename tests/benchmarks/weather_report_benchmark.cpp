// Building a report from a typical station page and from a 10 MB one,
// each next to one plain memmem pass over the same page: the floor for
// anything that reads the page once.

#include <benchmark/benchmark.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "weather/weather_report.h"

using namespace nimbrel;

namespace {

std::string TypicalPage() {
    std::ifstream file(NIMBREL_FIXTURES_DIR "/pages/weather_LFMN.html", std::ios::binary);
    std::stringstream page;
    page << file.rdbuf();
    return page.str();
}

const char* const kRows[][2] = {
    {"Wind", "from the W (270 degrees) at 9 MPH (8 KT)"},
    {"Visibility", "greater than 7 mile(s)"},
    {"Sky conditions", "mostly clear<BR>"},
    {"Weather", "light rain<BR>"},
    {"Temperature", "64 F (18 C)<BR>"},
    {"Dew Point", "57 F (14 C)<BR>"},
    {"Relative Humidity", "77%<BR>"},
    {"Pressure (altimeter)", "30.06 in. Hg (1018 hPa)"},
};

std::string Row(const char* label, const char* value) {
    return std::string("<TR VALIGN=TOP><TD ALIGN=RIGHT BGCOLOR=\"#CCCCFF\"><B><FONT COLOR=\"#0000A0\">"
                       "<FONT FACE=\"Arial,Helvetica\"> ") +
           label + " </FONT></FONT></B></TD>\n<TD><FONT FACE=\"Arial,Helvetica\">" + value + "</FONT></TD></TR>\n";
}

// Recognised rows, each after a few lines of tagged text, to about 10 MB;
// every row is read, none ends the report early.
std::string LongPage() {
    std::string page = "<HTML><BODY><FONT SIZE=\"+1\"><B>Current Weather Conditions:<BR>"
                       "Nice / Cote d'Azur, France (LFMN) 43-39N 007-13E 4M</B></FONT>\n<TABLE>\n";
    for (int i = 0; page.size() < (10u << 20); ++i) {
        for (int line = 0; line < 6; ++line)
            page += "<P><FONT FACE=\"Arial,Helvetica\" SIZE=\"-1\">" + std::to_string(i) +
                    "30 UTC: wind from the ESE, visibility more than 10 kilometers, few clouds.</FONT><BR>\n";
        page += Row(kRows[i % 8][0], kRows[i % 8][1]);
    }
    return page + Row("ob", "LFMN 121530Z 27008KT") + "</TABLE></BODY></HTML>\n";
}

const std::string& Page(int which) {
    static const std::string typical = TypicalPage();
    static const std::string longPage = LongPage();
    return which == 0 ? typical : longPage;
}

void BM_BuildWeatherReport(benchmark::State& state) {
    const std::string& page = Page(static_cast<int>(state.range(0)));
    if (page.empty()) return state.SkipWithError("fixture page missing");
    char speech[kSpeechTextSize];
    for (auto _ : state) {
        std::string report = BuildWeatherReport(page, "", {}, speech);
        benchmark::DoNotOptimize(report.data());
        benchmark::DoNotOptimize(speech);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
    state.counters["page_bytes"] = static_cast<double>(page.size());
}

// A marker that is on no page, so memmem reads every byte.
void BM_MemmemPass(benchmark::State& state) {
    const std::string& page = Page(static_cast<int>(state.range(0)));
    if (page.empty()) return state.SkipWithError("fixture page missing");
    static const char kAbsent[] = "<FONT COLOR=\"#0000A0\"><FONT FACE=\"Arial,Helvetica\">\x01";
    for (auto _ : state) {
        const void* found = memmem(page.data(), page.size(), kAbsent, sizeof kAbsent - 1);
        benchmark::DoNotOptimize(found);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(page.size()));
    state.counters["page_bytes"] = static_cast<double>(page.size());
}

}  // namespace

// Argument 0: the typical page (about 10 KB); 1: the 10 MB page.
BENCHMARK(BM_BuildWeatherReport)->Arg(0)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemmemPass)->Arg(0)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BuildWeatherReport)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemmemPass)->Arg(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
