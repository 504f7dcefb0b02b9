// The history of checks: recording one check of a 50-group radiogram (alignment and the write to
// the database), and the statistics over 10 000 recorded checks, read from the database or
// already in memory.
#include "exercises/check_history.h"
#include "exercises/check_statistics.h"
#include "exercises/koch_drill.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace qlor;

// A folder of its own, removed at the end.
struct TempFolder {
    fs::path path;
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "qlor-history-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr) {
            path = pattern;
        }
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

// A radiogram of 50 groups of five from the Koch characters, and a copy of it with about one
// character in twenty left out, heard wrong or doubled.
std::pair<std::string, std::string> SentAndCopy(std::mt19937& rng) {
    std::uniform_int_distribution<int> pick(0, static_cast<int>(kKochOrder.size()) - 1);
    std::uniform_int_distribution<int> fault(0, 59);
    std::string sent = "vvv=\r\n";
    std::string copy = sent;
    for (int g = 0; g < 50; ++g) {
        for (int k = 0; k < 5; ++k) {
            const char c = kKochOrder[static_cast<std::size_t>(pick(rng))];
            sent += c;
            switch (fault(rng)) {
            case 0:
                break; // left out
            case 1:
                copy += kKochOrder[static_cast<std::size_t>(pick(rng))];
                break;
            case 2:
                copy += c;
                copy += c;
                break;
            default:
                copy += c;
            }
        }
        sent += ' ';
        copy += ' ';
    }
    sent += "\r\n*";
    copy += "\r\n*";
    return {sent, copy};
}

CheckRecord Check(std::mt19937& rng, std::int64_t time) {
    auto [sent, copy] = SentAndCopy(rng);
    CheckRecord r = MakeCheckRecord(time, std::move(sent), std::move(copy), 0, false, 5);
    r.speedDigits = "060";
    r.speedCpm = 60 + static_cast<int>(time % 5) * 10;
    r.groups = 50;
    r.groupSize = 5;
    r.pauseDelayDots = 3;
    r.voice = "auto";
    return r;
}

void BM_RecordOneCheck(benchmark::State& state) {
    TempFolder folder;
    CheckHistory history((folder.path / "history.sqlite").string());
    std::mt19937 rng(1);
    history.Record(Check(rng, 0)); // the file made and opened before the timing
    std::int64_t time = 1;
    for (auto _ : state) {
        state.PauseTiming();
        auto [sent, copy] = SentAndCopy(rng);
        state.ResumeTiming();
        // What the window does after building the check list: align, tally and write.
        CheckRecord record = MakeCheckRecord(time++, std::move(sent), std::move(copy), 0, false, 5);
        const HistoryStatus status = history.Record(std::move(record));
        if (!status.ok()) {
            state.SkipWithError(status.detail.c_str());
            break;
        }
    }
}
BENCHMARK(BM_RecordOneCheck)->Unit(benchmark::kMillisecond);

constexpr int kChecks = 10000;

void BM_StatisticsOf10000ChecksFromTheDatabase(benchmark::State& state) {
    TempFolder folder;
    const std::string path = (folder.path / "history.sqlite").string();
    {
        CheckHistory history(path);
        std::mt19937 rng(2);
        for (int i = 0; i < kChecks; ++i) {
            if (!history.Record(Check(rng, i)).ok()) {
                state.SkipWithError("cannot prepare the history");
                return;
            }
        }
    }
    CheckHistory history(path);
    for (auto _ : state) {
        std::vector<CheckRecord> checks;
        history.Load(checks, false);
        const Statistics stats = ComputeStatistics(checks, StatsWindow{});
        const std::vector<CharStats> ranked = RankByErrorRate(stats);
        if (stats.totals.checks != kChecks) {
            state.SkipWithError("not every check was read");
            break;
        }
        benchmark::DoNotOptimize(ranked.data());
    }
}
BENCHMARK(BM_StatisticsOf10000ChecksFromTheDatabase)->Unit(benchmark::kMillisecond);

void BM_StatisticsOf10000ChecksInMemory(benchmark::State& state) {
    std::mt19937 rng(3);
    std::vector<CheckRecord> checks;
    for (int i = 0; i < kChecks; ++i) {
        checks.push_back(Check(rng, i));
    }
    for (auto _ : state) {
        const Statistics stats = ComputeStatistics(checks, StatsWindow{});
        const std::vector<CharStats> ranked = RankByErrorRate(stats);
        benchmark::DoNotOptimize(ranked.data());
    }
}
BENCHMARK(BM_StatisticsOf10000ChecksInMemory)->Unit(benchmark::kMillisecond);

} // namespace
