// Batch export of the largest series the panel allows: 99 pairs of 199 groups each.
#include "exercises/batch_export.h"
#include "exercises/competition.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

void BM_Export99PairsOf199Groups(benchmark::State& state) {
    std::string pattern = (fs::temp_directory_path() / "qlor-export-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        state.SkipWithError("cannot create a temporary folder");
        return;
    }
    qlor::ExportParams params;
    params.controls.settings = qlor::DefaultTransmissionSettings();
    params.controls.settings.number = {0, 4, 1, 7};
    params.controls.settings.groups = {1, 9, 9};
    params.controls.settings.files = {9, 9};
    params.controls.settings.textType = 5;
    params.controls.selectedSymbols = qlor::FullAlphabet();
    params.folder = pattern;
    const qlor::MorseTable table;
    for (auto _ : state) {
        qlor::ExportResult result = qlor::RunExport(table, params);
        if (!result.error.empty() || result.written != 99) {
            state.SkipWithError(result.error.c_str());
            break;
        }
        benchmark::DoNotOptimize(result.written);
    }
    fs::remove_all(pattern);
}
BENCHMARK(BM_Export99PairsOf199Groups)->Unit(benchmark::kMillisecond);

// The competition's plan with every text from 10 to 390 and the training text (40 segments).
void BM_PlanAndBuildFullCompetition(benchmark::State& state) {
    qlor::CompetitionParams params;
    params.settings = qlor::DefaultTransmissionSettings();
    params.settings.startSpeed = {0, 1, 0};
    params.settings.stopSpeed = {3, 9, 0};
    params.symbolMemoLength = 75;
    const qlor::MorseTable table;
    for (auto _ : state) {
        qlor::CompetitionPlan plan = qlor::PlanCompetition(params);
        qlor::MidiResult midi = qlor::BuildMorseMidi(table, plan.segments, qlor::kCompetitionPauseSeconds, {});
        benchmark::DoNotOptimize(midi.bytes.data());
    }
}
BENCHMARK(BM_PlanAndBuildFullCompetition)->Unit(benchmark::kMillisecond);

} // namespace
