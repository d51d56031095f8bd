// Paging a station list into boxes, against the literal step-by-step
// procedure on the same text.

#include <benchmark/benchmark.h>

#include <string>

#include "../unit/literal_list_paging.h"
#include "stations/list_paging.h"

using namespace nimbrel;

// A list as the service sends it, one station a line, cut to the size.
// With lower-case option tags nothing cuts it: it is all one box, where the
// literal procedure's deletions and replacements each move the rest of it.
static std::string StationList(std::size_t size, bool lowerCaseTags) {
    const std::string marker = lowerCaseTags ? "<option value=\"" : kOptionMarker;
    std::string list = "\n";
    for (int i = 0; list.size() < size; ++i)
        list += marker + "K" + std::to_string(100000 + i) + kOptionValueEnd + "Station number " + std::to_string(i) + "\n";
    list.resize(size);
    return list;
}

template <typename Paging>
static void Run(benchmark::State& state, Paging paging, bool lowerCaseTags) {
    const std::string list = StationList(static_cast<std::size_t>(state.range(0)), lowerCaseTags);
    for (auto _ : state) benchmark::DoNotOptimize(paging(list));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

static void BM_PageListText(benchmark::State& state) { Run(state, PageListText, false); }
static void BM_LiteralPageListText(benchmark::State& state) { Run(state, LiteralPageListText, false); }
static void BM_PageListTextOneBox(benchmark::State& state) { Run(state, PageListText, true); }
static void BM_LiteralPageListTextOneBox(benchmark::State& state) { Run(state, LiteralPageListText, true); }

BENCHMARK(BM_PageListText)->Arg(256 << 10)->Arg(1 << 20)->Arg(4 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiteralPageListText)->Arg(256 << 10)->Arg(1 << 20)->Arg(4 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageListTextOneBox)->Arg(64 << 10)->Arg(256 << 10)->Arg(1 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LiteralPageListTextOneBox)->Arg(64 << 10)->Arg(256 << 10)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
