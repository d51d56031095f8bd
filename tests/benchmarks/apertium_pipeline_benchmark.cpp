// One report piece through Apertium's English-Spanish pipeline: a fresh
// "apertium -u eng-spa" process per piece, as the services once ran it,
// beside the warm null-flush pipeline they keep now. Prints the starting
// time and the median and slowest of each; asserts nothing.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "services/translation/apertium/apertium_mode_file.h"
#include "services/translation/apertium/apertium_pipeline.h"
#include "child_process.h"

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

// The pieces of a translated report of Nice (LFMN), as the plug-in sends them.
const char* const kPieces[] = {
    "Current Weather Conditions: Nice, France (LFMN)",
    "Wind",
    "from the ENE (070 degrees) at 3 MPH (3 KT) (direction variable)",
    " Kilometers per hour)",
    "Visibility",
    "greater than 7 miles",
    "Sky conditions",
    "partly cloudy\r\n",
    "Temperature",
    "80\xC2\xB0 Fahrenheit (27\xC2\xB0 Celsius)\r\n",
    "Dew Point",
    "66\xC2\xB0 Fahrenheit (19\xC2\xB0 Celsius)\r\n",
    "Relative Humidity",
    "61%\r\n",
    "Pressure (altimeter)",
    "30.00 inches of mercury (1016 hPa)",
};
constexpr int kPieceCount = sizeof kPieces / sizeof kPieces[0];

template <typename Call>
double Time(Call call) {
    const auto start = Clock::now();
    call();
    return Milliseconds(Clock::now() - start).count();
}

void Print(const char* what, std::vector<double> times) {
    std::sort(times.begin(), times.end());
    std::printf("%-44s median %8.2f ms   slowest %8.2f ms   (%zu pieces)\n", what, times[times.size() / 2],
                times.back(), times.size());
}

}  // namespace

int main() {
    const auto command =
        nimbrel::services::NullFlushCommand(std::string(nimbrel::services::kApertiumModesFolder) + "/eng-spa.mode");
    if (!command) {
        std::puts("apertium_pipeline_benchmark: no eng-spa mode installed");
        return 0;
    }

    std::vector<double> fresh;
    for (int i = 0; i < kPieceCount; ++i) {
        fresh.push_back(Time([&] { nimbrel::process::RunChild({"apertium", "-u", "eng-spa"}, kPieces[i], std::chrono::seconds(30)); }));
    }
    Print("a fresh apertium process per piece", fresh);

    nimbrel::services::ApertiumPipeline pipeline(*command, std::chrono::seconds(30));
    std::printf("%-44s %8.2f ms\n", "warm pipeline: start and first piece",
                Time([&] { pipeline.Translate(kPieces[0]); }));
    std::vector<double> warm;
    for (int round = 0; round < 20; ++round) {
        for (const char* piece : kPieces) warm.push_back(Time([&] { pipeline.Translate(piece); }));
    }
    Print("warm pipeline, one piece", warm);
    double report = 0;
    for (const char* piece : kPieces) report += Time([&] { pipeline.Translate(piece); });
    std::printf("%-44s %8.2f ms\n", "warm pipeline, a whole report's pieces", report);
    return 0;
}
