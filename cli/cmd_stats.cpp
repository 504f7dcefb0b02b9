// qlor-cli stats: per-character statistics of the recorded reception checks.
#include "cli/options.h"
#include "exercises/check_history.h"
#include "exercises/check_report.h"
#include "synthesis/codepage.h"

#include <cstdio>
#include <ctime>

namespace qlor::cli {
namespace {

// Local midnight at the start of DATE (YYYY-MM-DD) [s since 1970 UTC].
std::int64_t ParseDate(const std::string& option, const std::string& text) {
    int year = 0;
    int month = 0;
    int day = 0;
    char end = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &year, &month, &day, &end) != 3 || text.size() != 10) {
        throw UsageError{option + ": expected a date YYYY-MM-DD, got '" + text + "'"};
    }
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1) || tm.tm_year != year - 1900 || tm.tm_mon != month - 1 || tm.tm_mday != day) {
        throw UsageError{option + ": no such date '" + text + "'"};
    }
    return static_cast<std::int64_t>(t);
}

void WriteAllOut(std::string_view bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
    std::fflush(stdout);
}

int RunStats(const std::vector<std::string>& args) {
    StatsWindow window;
    std::string format = "table";
    int minOccurrences = kDefaultMinOccurrences;
    auto extra = [&](const std::string& name, const std::function<std::string()>& value) {
        if (name == "--last") {
            window.lastChecks = ParseIntOption(name, value(), 1, 1000000000);
        } else if (name == "--since") {
            window.sinceUtc = ParseDate(name, value());
        } else if (name == "--until") {
            // The whole day named is included.
            window.untilUtc = ParseDate(name, value()) + 36 * 3600;
            std::time_t t = static_cast<std::time_t>(*window.untilUtc);
            std::tm tm{};
            localtime_r(&t, &tm);
            tm.tm_hour = tm.tm_min = tm.tm_sec = 0;
            tm.tm_isdst = -1;
            window.untilUtc = static_cast<std::int64_t>(std::mktime(&tm));
        } else if (name == "--type") {
            window.textType = ParseTextType(value());
        } else if (name == "--min-speed") {
            window.minSpeedCpm = ParseIntOption(name, value(), 0, 10000);
        } else if (name == "--max-speed") {
            window.maxSpeedCpm = ParseIntOption(name, value(), 0, 10000);
        } else if (name == "--min") {
            minOccurrences = ParseIntOption(name, value(), 1, 1000000000);
        } else if (name == "--format") {
            format = value();
            if (format != "table" && format != "csv" && format != "json") {
                throw UsageError{"--format: expected table, csv or json, got '" + format + "'"};
            }
        } else {
            return false;
        }
        return true;
    };
    const CliOptions options = ParseOptions(args, 0, extra);

    CheckHistory history(CheckHistory::DefaultPath());
    std::vector<CheckRecord> checks;
    const HistoryStatus status = history.Load(checks, false);
    if (!status.ok()) {
        const std::string message = "qlor-cli: " + HistoryProblemText(status, history.Path(), TextLanguage::English);
        std::fprintf(stderr, "%s\n", message.c_str());
        // A damaged file has been kept aside: the statistics of the new, empty history follow.
        if (status.problem != HistoryProblem::Damaged && status.problem != HistoryProblem::ReadOnly &&
            status.problem != HistoryProblem::Newer) {
            return 1;
        }
    }
    const Statistics stats = ComputeStatistics(checks, window);
    const std::vector<CharStats> ranked = RankByErrorRate(stats, minOccurrences);
    if (format == "json") {
        WriteAllOut(StatisticsJson(stats, ranked)); // JSON is always UTF-8
    } else {
        // The ranked characters first, then the others in code order.
        std::vector<CharStats> rows = ranked;
        for (const CharStats& row : stats.chars) {
            if (row.sent < minOccurrences) {
                rows.push_back(row);
            }
        }
        const std::string text = format == "csv" ? StatisticsCsv(rows) : StatisticsTable(stats, rows);
        PrintText(options, Utf8ToCp1251(text));
    }
    return 0;
}

const RegisterCommand kRegister("stats", RunStats,
                                std::string("stats [--last N] [--since DATE] [--until DATE] [--type T] "
                                            "[--min-speed CPM] [--max-speed CPM] [--min N] "
                                            "[--format table|csv|json] ") +
                                    kEncodingUsage +
                                    "  (per-character statistics of the recorded checks; DATE is YYYY-MM-DD)");

} // namespace
} // namespace qlor::cli
