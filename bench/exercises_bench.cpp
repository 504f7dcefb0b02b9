// Batch export of the largest series; judging a class of 1,000 high-speed copies the panel allows: 99 pairs of 199
// groups each.
#include "exercises/batch_export.h"
#include "exercises/competition.h"
#include "exercises/hst_judge.h"
#include "textgen/radiogram.h"

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

// A class of 1,000 students judged on a high-speed test of 10 one-minute texts at 250, 330 ...
// 970 cpm (250 to 970 characters each, mixed type): each copy holds a few wrong, missing and
// extra characters, different for every student. One iteration judges all 10,000 copies.
void BM_Judge1000CopiesOf10Texts(benchmark::State& state) {
    std::vector<qlor::HstSentText> sent;
    for (int i = 0; i < 10; ++i) {
        qlor::GenerateParams gen;
        gen.groupCount = (250 + 80 * i) / 5;
        gen.textType = 5;
        gen.d4 = i;
        gen.symbolMemoLength = 75;
        sent.push_back({250 + 80 * i, qlor::GenerateText(gen).body, true});
    }
    std::vector<std::vector<std::string>> copies(1000);
    std::uint32_t seed = 1;
    auto next = [&seed](std::uint32_t bound) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % bound;
    };
    for (auto& copy : copies) {
        for (const qlor::HstSentText& text : sent) {
            std::string c = text.text;
            for (std::uint32_t edits = next(12); edits > 0; --edits) {
                const std::size_t at = next(static_cast<std::uint32_t>(c.size()));
                switch (next(3)) {
                case 0:
                    c[at] = 'E';
                    break;
                case 1:
                    c.erase(at, 1);
                    break;
                default:
                    c.insert(at, 1, 'T');
                }
            }
            copy.push_back(std::move(c));
        }
    }
    for (auto _ : state) {
        std::vector<qlor::JudgedText> prepared;
        for (const qlor::HstSentText& text : sent) {
            prepared.emplace_back(text.text);
        }
        int valid = 0;
        for (const auto& copy : copies) {
            const qlor::HstResult result = qlor::JudgeHstTest(sent, prepared, copy);
            valid += result.bestSpeedCpm.has_value() ? 1 : 0;
        }
        benchmark::DoNotOptimize(valid);
    }
}
BENCHMARK(BM_Judge1000CopiesOf10Texts)->Unit(benchmark::kMillisecond);

} // namespace
