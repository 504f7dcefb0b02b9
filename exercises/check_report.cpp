#include "exercises/check_report.h"

#include "base/codepage.h"

#include <cstdio>
#include <ctime>

namespace qlor {
namespace {

std::string Utf8Char(unsigned char c) {
    return Cp1251ToUtf8(std::string(1, static_cast<char>(c)));
}

std::string Rate(double rate) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.4f", rate);
    return buffer;
}

// "X:3 Y:1", the other characters a character was heard as.
std::string HeardList(const CharStats& row) {
    std::string out;
    for (const auto& [ch, count] : row.heard) {
        if (!out.empty()) {
            out += ' ';
        }
        out += Utf8Char(ch) + ":" + std::to_string(count);
    }
    return out;
}

std::string Percent(double fraction) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f", fraction * 100.0);
    return buffer;
}

// `text` (UTF-8) padded with spaces to `width` characters, on the left or on the right.
std::string Padded(std::string_view text, std::size_t width, bool left) {
    std::size_t characters = 0;
    for (const char c : text) {
        characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    const std::string fill(width > characters ? width - characters : 0, ' ');
    return left ? std::string(text) + fill : fill + std::string(text);
}

} // namespace

// A CSV field, quoted when it holds a separator, a quote or a line break.
std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        return std::string(text);
    }
    std::string out = "\"";
    for (const char c : text) {
        out += c;
        if (c == '"') {
            out += '"';
        }
    }
    return out + "\"";
}

std::string JsonString(std::string_view utf8) {
    std::string out = "\"";
    for (const char c : utf8) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned>(c));
            out += buffer;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string TextTypeShortName(int textType) {
    static const char* const kNames[] = {"L", "R", "N", "NC", "LN", "MX"};
    return textType >= 0 && textType <= 5 ? kNames[textType] : std::to_string(textType);
}

std::string IsoTimeUtc(std::int64_t timeUtc) {
    const auto t = static_cast<std::time_t>(timeUtc);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return buffer;
}

std::string HistoryCsv(std::span<const CheckRecord> checks) {
    std::string out = "id,time,text_number,text_type,own_text,speed_digits,speed_system,speed_cpm,groups,group_size,"
                      "pause_delay,noise_type,voice,positional_errors,sent_chars,matches,substitutions,omissions,"
                      "insertions,error_rate,sent,copy\r\n";
    for (const CheckRecord& r : checks) {
        char number[8];
        std::snprintf(number, sizeof number, "%04d", r.textNumber);
        const std::string fields[] = {std::to_string(r.id),
                                      IsoTimeUtc(r.timeUtc),
                                      number,
                                      TextTypeShortName(r.textType),
                                      r.ownText ? "1" : "0",
                                      r.speedDigits,
                                      r.paris ? "paris" : "cpm",
                                      std::to_string(r.speedCpm),
                                      std::to_string(r.groups),
                                      std::to_string(r.groupSize),
                                      std::to_string(r.pauseDelayDots),
                                      std::to_string(r.noiseType),
                                      r.voice,
                                      std::to_string(r.positionalErrors),
                                      std::to_string(r.aligned.sentChars),
                                      std::to_string(r.aligned.matches),
                                      std::to_string(r.aligned.substitutions),
                                      std::to_string(r.aligned.omissions),
                                      std::to_string(r.aligned.insertions),
                                      Rate(r.ErrorRate()),
                                      Cp1251ToUtf8(r.sent),
                                      Cp1251ToUtf8(r.copy)};
        bool first = true;
        for (const std::string& field : fields) {
            if (!first) {
                out += ',';
            }
            first = false;
            out += CsvField(field);
        }
        out += "\r\n";
    }
    return out;
}

std::string StatisticsTable(const Statistics& stats, const std::vector<CharStats>& ranked,
                            const std::vector<CharStats>& fewSamples) {
    const StatsTotals& t = stats.totals;
    char rate[32];
    std::snprintf(rate, sizeof rate, "%.1f%%", 100.0 * t.ErrorRate());
    std::string out = "checks " + std::to_string(t.checks) + ", characters sent " + std::to_string(t.sent) +
                      ", correct " + std::to_string(t.correct) + ", substituted " + std::to_string(t.substitutions) +
                      ", omitted " + std::to_string(t.omissions) + ", inserted " + std::to_string(t.insertions) +
                      ", error rate " + rate + "\r\n";
    out += "char   sent correct omitted  error  heard as\r\n";
    const auto rows = [&out](const std::vector<CharStats>& list) {
        for (const CharStats& row : list) {
            char line[96];
            std::snprintf(line, sizeof line, "%6d %7d %7d %5.1f%%  ", row.sent, row.correct, row.omitted,
                          100.0 * row.ErrorRate());
            out += Utf8Char(row.ch) + "   " + line + HeardList(row) + "\r\n";
        }
    };
    rows(ranked);
    if (!fewSamples.empty()) {
        out += "few samples:\r\n";
        rows(fewSamples);
    }
    return out;
}

std::string StatisticsCsv(const std::vector<CharStats>& ranked, const std::vector<CharStats>& fewSamples) {
    std::string out = "character,sent,correct,omitted,inserted,error_rate,heard,few_samples\r\n";
    for (const auto* list : {&ranked, &fewSamples}) {
        const char* few = list == &fewSamples ? "1" : "0";
        for (const CharStats& row : *list) {
            out += CsvField(Utf8Char(row.ch)) + "," + std::to_string(row.sent) + "," + std::to_string(row.correct) +
                   "," + std::to_string(row.omitted) + "," + std::to_string(row.inserted) + "," +
                   Rate(row.ErrorRate()) + "," + CsvField(HeardList(row)) + "," + few + "\r\n";
        }
    }
    return out;
}

std::string JsonText(std::string_view utf8) {
    return JsonString(utf8);
}

std::string CharStatsJson(const std::vector<CharStats>& rows) {
    std::string out = "{";
    bool first = true;
    for (const CharStats& row : rows) {
        out += first ? "" : ",";
        first = false;
        out += JsonString(Utf8Char(row.ch)) + ":{\"sent\":" + std::to_string(row.sent) +
               ",\"correct\":" + std::to_string(row.correct) + ",\"omitted\":" + std::to_string(row.omitted) +
               ",\"inserted\":" + std::to_string(row.inserted) + ",\"error_rate\":" + Rate(row.ErrorRate()) +
               ",\"heard\":{";
        bool firstHeard = true;
        for (const auto& [ch, count] : row.heard) {
            out += firstHeard ? "" : ",";
            firstHeard = false;
            out += JsonString(Utf8Char(ch)) + ":" + std::to_string(count);
        }
        out += "}}";
    }
    return out + "}";
}

std::string StatisticsJson(const Statistics& stats, const std::vector<CharStats>& ranked,
                           const std::vector<CharStats>& fewSamples) {
    const StatsTotals& t = stats.totals;
    std::string out = "{\"checks\":" + std::to_string(t.checks) + ",\"totals\":{\"sent\":" + std::to_string(t.sent) +
                      ",\"correct\":" + std::to_string(t.correct) +
                      ",\"substitutions\":" + std::to_string(t.substitutions) +
                      ",\"omitted\":" + std::to_string(t.omissions) + ",\"inserted\":" + std::to_string(t.insertions) +
                      ",\"error_rate\":" + Rate(t.ErrorRate()) + "},\"characters\":";
    out += CharStatsJson(stats.chars);
    const auto list = [&out](const char* name, const std::vector<CharStats>& rows) {
        out += std::string(",\"") + name + "\":[";
        bool first = true;
        for (const CharStats& row : rows) {
            out += first ? "" : ",";
            first = false;
            out += JsonString(Utf8Char(row.ch));
        }
        out += "]";
    };
    list("ranked", ranked);
    list("few_samples", fewSamples);
    return out + "}\n";
}

std::string CourseStatusJson(const CourseState& state, const LessonProgress& p) {
    const CourseSettings& s = state.settings;
    auto number = [](int v) { return std::to_string(v); };
    std::string out = "{\"lesson\":" + number(p.lesson) + ",\"characters\":" + JsonString(Cp1251ToUtf8(p.characters)) +
                      ",\"newest\":" + JsonString(Utf8Char(p.newest)) + ",\"accuracy\":" + Rate(p.accuracy) +
                      ",\"checks\":" + number(p.checks) + ",\"recent_checks\":" + number(p.recentChecks) +
                      ",\"newest_sent\":" + number(p.newestSent) + ",\"due\":" + (p.due ? "true" : "false") +
                      ",\"settings\":{\"char_speed_cpm\":" + number(s.charSpeedCpm) +
                      ",\"pause_delay\":" + number(s.pauseDelayDots) +
                      ",\"effective_cpm\":" + number(EffectiveSpeedCpm(s.charSpeedCpm, s.pauseDelayDots)) +
                      ",\"recent_checks\":" + number(s.recentChecks) + ",\"pass_percent\":" + number(s.passPercent) +
                      ",\"min_newest_sent\":" + number(s.minNewestSent) +
                      "},\"pending_text_number\":" + (state.HasPending() ? number(state.pendingTextNumber) : "null") +
                      ",\"counts\":" + CharStatsJson(p.perChar);
    const LessonText next = NextLessonText(state);
    out += ",\"source\":" + JsonString(TextSourceName(next.wanted)) +
           ",\"text_source\":" + JsonString(TextSourceName(next.source));
    return out + "}\n";
}

std::string HistoryProblemText(const HistoryStatus& status, std::string_view path, const ProgramTextTable& texts) {
    Say id = Say::HistoryCannotOpen;
    switch (status.problem) {
    case HistoryProblem::None:
        return {};
    case HistoryProblem::Damaged:
        id = Say::HistoryDamaged;
        break;
    case HistoryProblem::Locked:
        id = Say::HistoryLocked;
        break;
    case HistoryProblem::ReadOnly:
        id = Say::HistoryReadOnly;
        break;
    case HistoryProblem::Newer:
        id = Say::HistoryNewer;
        break;
    case HistoryProblem::CannotOpen:
        break;
    }
    return FillText(texts.Text(id), {path, status.detail, status.keptAs});
}

std::string CourseProgressText(const CourseState& state, const LessonProgress& p, const ProgramTextTable& texts) {
    const CourseSettings& s = state.settings;
    auto say = [&texts](Say id, std::initializer_list<std::string_view> values) {
        return FillText(texts.Text(id), values) + "\n";
    };
    std::string text =
        say(Say::CourseLesson, {std::to_string(p.lesson), std::to_string(kKochLastLesson), Cp1251ToUtf8(p.characters)});
    text += say(Say::CourseSpeed,
                {std::to_string(s.charSpeedCpm), std::to_string(EffectiveSpeedCpm(s.charSpeedCpm, s.pauseDelayDots))});
    text += say(Say::CourseAccuracy, {std::to_string(p.recentChecks), std::to_string(s.recentChecks),
                                      Percent(p.accuracy), std::to_string(s.passPercent)});
    text +=
        say(Say::CourseNewestSent, {Utf8Char(p.newest), std::to_string(p.newestSent), std::to_string(s.minNewestSent)});
    if (s.source != TextSource::Groups) {
        // Whether the lesson's characters make enough words or callsigns is told with the choice.
        const LessonText next = NextLessonText(state);
        const Say source = s.source == TextSource::Words ? Say::SourceWords : Say::SourceCallsigns;
        text += say(next.FellBack() ? Say::CourseSourceFallback : Say::CourseSourceLine, {texts.Text(source)});
    }
    auto row = [](std::string_view a, std::string_view b, std::string_view c, std::string_view d) {
        return Padded(a, 10, true) + " " + Padded(b, 8, false) + " " + Padded(c, 8, false) + " " + Padded(d, 9, false) +
               "\n";
    };
    text += row(texts.Text(Say::ColumnCharacter), texts.Text(Say::ColumnSent), texts.Text(Say::ColumnCorrect),
                texts.Text(Say::ColumnAccuracy));
    for (const CharStats& c : p.perChar) {
        const double accuracy = c.sent > 0 ? static_cast<double>(c.correct) / c.sent : 0.0;
        text += row(Utf8Char(c.ch), std::to_string(c.sent), std::to_string(c.correct),
                    c.sent > 0 ? Percent(accuracy) + " %" : "-");
    }
    return text;
}

std::string AlignedCopyText(const Alignment& alignment, std::size_t columns) {
    const AlignedRows rows = ShowAlignment(alignment);
    std::string text;
    for (std::size_t at = 0; at < rows.sent.size(); at += columns) {
        std::string marks = rows.marks.substr(at, columns);
        marks.erase(marks.find_last_not_of(' ') + 1);
        text += Cp1251ToUtf8(rows.sent.substr(at, columns)) + "\n" + Cp1251ToUtf8(rows.copy.substr(at, columns)) +
                "\n" + marks + "\n";
    }
    return text;
}

} // namespace qlor
