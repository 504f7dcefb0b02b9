// qlor-cli stats: per-character statistics of the recorded reception checks.
#include "base/codepage.h"
#include "cli/cli_texts.h"
#include "cli/options.h"
#include "exercises/check_history.h"
#include "exercises/check_report.h"

#include <cstdio>
#include <ctime>
#include <memory>
#include <optional>

namespace qlor::cli {
namespace {

// DATE as YYYY-MM-DD, by its numbers; false when it is written otherwise.
bool ReadDate(const std::string& text, int& year, int& month, int& day) {
    char end = 0;
    return std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &year, &month, &day, &end) == 3 && text.size() == 10;
}

// Local midnight at the start of DATE (YYYY-MM-DD) [s since 1970 UTC]; nothing when there is no
// such date.
std::optional<std::int64_t> LocalMidnight(const std::string& text) {
    int year = 0;
    int month = 0;
    int day = 0;
    if (!ReadDate(text, year, month, day)) {
        return std::nullopt;
    }
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1) || tm.tm_year != year - 1900 || tm.tm_mon != month - 1 || tm.tm_mday != day) {
        return std::nullopt;
    }
    return static_cast<std::int64_t>(t);
}

// A date YYYY-MM-DD that exists.
CLI::Validator Date() {
    return CLI::Validator(
        [](const std::string& text) -> std::string {
            int year = 0;
            int month = 0;
            int day = 0;
            if (!ReadDate(text, year, month, day)) {
                return "expected a date YYYY-MM-DD, got '" + text + "'";
            }
            return LocalMidnight(text) ? std::string() : "no such date '" + text + "'";
        },
        "");
}

void WriteAllOut(std::string_view bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

struct StatsArgs {
    CliOptions options;
    StatsWindow window;
    std::string format = "table";
    int minOccurrences = kDefaultMinOccurrences;
};

int RunStats(const StatsArgs& a) {
    const CliOptions& options = a.options;
    const StatsWindow& window = a.window;
    const int minOccurrences = a.minOccurrences;
    const std::string& format = a.format;
    CheckHistory history(CheckHistory::DefaultPath());
    std::vector<CheckRecord> checks;
    const HistoryStatus status = history.Load(checks, false);
    if (!status.ok()) {
        const std::string message = "qlor-cli: " + HistoryProblemText(status, history.Path(), CliTexts());
        std::fprintf(stderr, "%s\n", message.c_str());
        // A damaged file has been kept aside: the statistics of the new, empty history follow.
        if (status.problem != HistoryProblem::Damaged && status.problem != HistoryProblem::ReadOnly &&
            status.problem != HistoryProblem::Newer) {
            return 1;
        }
    }
    const Statistics stats = ComputeStatistics(checks, window);
    // The ranked characters first, then those with few samples, each weakest first.
    const std::vector<CharStats> ranked = RankByErrorRate(stats, minOccurrences);
    const std::vector<CharStats> few = FewSamples(stats, minOccurrences);
    if (format == "json") {
        WriteAllOut(StatisticsJson(stats, ranked, few)); // JSON is always UTF-8
    } else {
        const std::string text = format == "csv" ? StatisticsCsv(ranked, few) : StatisticsTable(stats, ranked, few);
        PrintText(options, Utf8ToCp1251(text));
    }
    return 0;
}

Command SetUpStats(CLI::App& command) {
    auto a = std::make_shared<StatsArgs>();
    StatsWindow& w = a->window;
    command.add_option("--last", w.lastChecks, "only the last N checks")
        ->transform(IntIn(Setting::StatsChecks))
        ->type_name("N");
    command
        .add_option_function<std::string>(
            "--since", [a](const std::string& v) { a->window.sinceUtc = LocalMidnight(v); },
            "only checks from this day on")
        ->check(Date())
        ->type_name("DATE");
    command
        .add_option_function<std::string>(
            "--until",
            [a](const std::string& v) {
                // The whole day named is included: up to the next local midnight.
                std::time_t t = static_cast<std::time_t>(*LocalMidnight(v) + 36 * 3600);
                std::tm tm{};
                localtime_r(&t, &tm);
                tm.tm_hour = tm.tm_min = tm.tm_sec = 0;
                tm.tm_isdst = -1;
                a->window.untilUtc = static_cast<std::int64_t>(std::mktime(&tm));
            },
            "only checks up to this day")
        ->check(Date())
        ->type_name("DATE");
    command
        .add_option_function<int>(
            "--type", [a](int v) { a->window.textType = v; }, "only checks of this text type")
        ->transform(TextType())
        ->type_name("T");
    command
        .add_option_function<int>(
            "--min-speed", [a](int v) { a->window.minSpeedCpm = v; }, "only checks at this speed or faster")
        ->transform(IntIn(Setting::StatsSpeed))
        ->type_name("CPM");
    command
        .add_option_function<int>(
            "--max-speed", [a](int v) { a->window.maxSpeedCpm = v; }, "only checks at this speed or slower")
        ->transform(IntIn(Setting::StatsSpeed))
        ->type_name("CPM");
    command.add_option("--min", a->minOccurrences, "characters sent fewer times are not ranked")
        ->transform(IntIn(Setting::StatsOccurrences))
        ->type_name("N");
    AddFormatOption(command, a->format, {"table", "csv", "json"});
    AddEncodingOption(command, a->options);
    AddArguments(command, a->options);
    return [a] { return RunStats(*a); };
}

const RegisterCommand kRegisterStats("stats", SetUpStats,
                                     std::string("stats [--last N] [--since DATE] [--until DATE] [--type T] "
                                                 "[--min-speed CPM] [--max-speed CPM] [--min N] "
                                                 "[--format table|csv|json] ") +
                                         kEncodingUsage +
                                         "  (per-character statistics of the recorded checks; DATE is YYYY-MM-DD)");

} // namespace
} // namespace qlor::cli
