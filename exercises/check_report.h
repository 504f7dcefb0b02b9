#pragma once
// The history and its statistics written out: CSV of every check, and the per-character
// statistics as a table, CSV or JSON. Every output is UTF-8 with CR LF line ends (CSV after
// RFC 4180) except the JSON, which is one object followed by a line feed.
#include "control/program_texts.h"
#include "exercises/check_history.h"
#include "exercises/check_statistics.h"
#include "exercises/koch_course.h"

#include <span>
#include <string>
#include <string_view>

namespace qlor {

// A CSV field (RFC 4180), quoted when it holds a separator, a quote or a line break.
std::string CsvField(std::string_view text);
// A JSON string of UTF-8 text: quotes, backslashes and control characters escaped.
std::string JsonString(std::string_view utf8);

// "L", "R", "N", "NC", "LN", "MX" for text types 0..5, else the number.
std::string TextTypeShortName(int textType);

// A time as ISO 8601 in UTC ("2026-12-08T07:52:10Z") [s since 1970 UTC].
std::string IsoTimeUtc(std::int64_t timeUtc);

// One row per check, oldest first, with a head row naming the columns.
std::string HistoryCsv(std::span<const CheckRecord> checks);

// The statistics' characters: the ranked ones (RankByErrorRate), then those with few samples
// (FewSamples), marked as such.
std::string StatisticsTable(const Statistics& stats, const std::vector<CharStats>& ranked,
                            const std::vector<CharStats>& fewSamples);
std::string StatisticsCsv(const std::vector<CharStats>& ranked, const std::vector<CharStats>& fewSamples);
// {"checks", "totals": {..., "error_rate"}, "characters": {char: {sent, correct, omitted, inserted,
// error_rate, heard: {char: count}}}, "ranked": [char, ...], "few_samples": [char, ...]} with every
// character of the statistics.
std::string StatisticsJson(const Statistics& stats, const std::vector<CharStats>& ranked,
                           const std::vector<CharStats>& fewSamples);
// The "characters" object of StatisticsJson for `rows`: {char: {sent, correct, omitted, inserted,
// error_rate, heard}}, in the order of `rows`.
std::string CharStatsJson(const std::vector<CharStats>& rows);
// A text as a JSON string (UTF-8 in, quotes, backslashes and control characters escaped).
std::string JsonText(std::string_view utf8);

// The course as JSON: {"lesson", "characters" (a string), "newest", "accuracy" (0..1 over the
// recent checks), "checks", "recent_checks", "newest_sent", "due", "settings": {...},
// "pending_text_number" (null when none), "counts": the lesson's characters as CharStatsJson}.
std::string CourseStatusJson(const CourseState& state, const LessonProgress& progress);

// Where the lesson stands, as lines in `texts`' language (UTF-8): lesson and characters, speed,
// accuracy, the newest character's count and a table of the lesson's characters (columns padded
// by characters, for a fixed-pitch font).
std::string CourseProgressText(const CourseState& state, const LessonProgress& progress, const ProgramTextTable& texts);
// The sent text and the copy one above the other, errors marked below, in blocks of `columns`
// characters (UTF-8).
std::string AlignedCopyText(const Alignment& alignment, std::size_t columns);

// The message for a problem of the history (UTF-8, from `texts`); empty when there is none.
std::string HistoryProblemText(const HistoryStatus& status, std::string_view path, const ProgramTextTable& texts);

} // namespace qlor
