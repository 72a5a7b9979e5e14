// HTML to text must stay linear in the page's length, whatever the page holds: a single tag of
// hundreds of kilobytes, or a table whose rows are never closed.
#include "Html2Text.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

void LongTag(benchmark::State& state)
{
    const auto n = static_cast<std::size_t>(state.range(0));
    const std::string page = "<html><body><a href=\"" + std::string(n, 'x') + "\">link</a></body></html>";
    for (auto _ : state)
        benchmark::DoNotOptimize(vexal::HTML2Text(page));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(LongTag)->RangeMultiplier(2)->Range(50 << 10, 400 << 10)->Complexity();

void UnclosedRows(benchmark::State& state)
{
    std::string page = "<html><body><table>";
    for (int64_t i = 0; i < state.range(0); ++i)
        page += "<tr><td>cell " + std::to_string(i) + "<td>more";
    page += "</table></body></html>";
    for (auto _ : state)
        benchmark::DoNotOptimize(vexal::HTML2Text(page));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(UnclosedRows)->RangeMultiplier(2)->Range(2 << 10, 16 << 10)->Complexity();

} // namespace

BENCHMARK_MAIN();
