// Text generation: a full panel's worth of groups (199 groups of 9 characters) and single draws.
#include "textgen/chaos_random.h"
#include "textgen/radiogram.h"

#include <benchmark/benchmark.h>

namespace {

void BM_GenerateText199x9(benchmark::State& state) {
    qlor::GenerateParams params;
    params.groupCount = 199;
    params.charInGroup = 9;
    params.textType = static_cast<int>(state.range(0));
    params.d1 = 1;
    params.d2 = 2;
    params.d3 = 3;
    params.d4 = 4;
    params.symbolMemoLength = 75;
    for (auto _ : state) {
        qlor::GenerateResult r = qlor::GenerateText(params);
        benchmark::DoNotOptimize(r.body.data());
    }
}
BENCHMARK(BM_GenerateText199x9)->Arg(0)->Arg(5)->Unit(benchmark::kMicrosecond);

void BM_GenerateTextSelected199x9(benchmark::State& state) {
    qlor::GenerateParams params;
    params.groupCount = 199;
    params.charInGroup = 9;
    params.selected = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    params.symbolMemoLength = params.selected.size();
    for (auto _ : state) {
        qlor::GenerateResult r = qlor::GenerateText(params);
        benchmark::DoNotOptimize(r.body.data());
    }
}
BENCHMARK(BM_GenerateTextSelected199x9)->Unit(benchmark::kMicrosecond);

void BM_NextRandom(benchmark::State& state) {
    qlor::ChaosRandom r;
    r.SeedRandom(1, 72, 0, 0, 0, 0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(r.NextRandom());
    }
}
BENCHMARK(BM_NextRandom);

} // namespace
