// qlor-cli course: the Koch course kept in the history of checks. `status` tells where the
// course stands, `next` hands out the next lesson text (and its MIDI file), `check` checks a copy
// of it and moves the course on when it is due, `set` changes the course's settings.
#include "base/codepage.h"
#include "cli/cli_texts.h"
#include "cli/options.h"
#include "exercises/check_history.h"
#include "exercises/check_report.h"
#include "exercises/koch_course.h"

#include <cstdio>
#include <ctime>
#include <memory>
#include <optional>
#include <unistd.h>

namespace qlor::cli {
namespace {

// Copies are typed or saved by hand; anything near this is not one [bytes].
constexpr uint64_t kMaxCopyFileBytes = 32u << 20;
// Columns of the aligned texts on the terminal [characters].
constexpr std::size_t kAlignedColumns = 60;

// qlor-cli speaks English.
struct CourseArgs {
    CliOptions options;
    std::string format = "table";
    std::string copyPath;
    std::optional<int> lesson;
    std::optional<int> cpm;
    std::optional<int> pauseDelayDots;
    std::optional<int> recentChecks;
    std::optional<int> passPercent;
    std::optional<int> minNewestSent;
    std::optional<TextSource> source;
};

// Opens the course of the history. A damaged history has been kept aside and a new course is
// begun: that is told and the work goes on; a history that cannot be read, or (for work that
// writes) cannot be written, ends the work.
bool LoadCourse(CheckHistory& history, CourseState& state, bool writes) {
    const HistoryStatus status = history.LoadCourse(state);
    if (status.ok()) {
        return true;
    }
    PrintFailure(HistoryProblemText(status, history.Path(), CliTexts()));
    return status.problem == HistoryProblem::Damaged || (!writes && status.problem == HistoryProblem::ReadOnly);
}

// After a write that met a damaged history (kept aside, a new one begun): whether the new history
// holds `expected`, that is, whether the write reached it.
bool KeptDespiteDamage(CheckHistory& history, const HistoryStatus& status, const CourseState& expected) {
    CourseState kept;
    return status.problem == HistoryProblem::Damaged && history.LoadCourse(kept).ok() && kept == expected;
}

// The recorded checks of a lesson; false (with the message printed) when they cannot be read.
bool LessonChecks(CheckHistory& history, int lesson, std::vector<CheckRecord>& checks) {
    const HistoryStatus status = history.LoadLessonChecks(lesson, checks);
    if (!status.ok() && status.problem != HistoryProblem::ReadOnly && status.problem != HistoryProblem::Damaged) {
        PrintFailure(HistoryProblemText(status, history.Path(), CliTexts()));
        return false;
    }
    return true;
}

// Where the lesson stands; false (with the message printed) when its checks cannot be read.
bool Progress(CheckHistory& history, const CourseState& state, LessonProgress& progress) {
    std::vector<CheckRecord> checks;
    if (!LessonChecks(history, state.lesson, checks)) {
        return false;
    }
    progress = EvaluateLesson(state.settings, state.lesson, checks);
    return true;
}

// The lines that tell where the lesson stands: speed, accuracy, the newest character and the
// table of the lesson's characters.
std::string ProgressText(const CourseState& state, const LessonProgress& p) {
    return CourseProgressText(state, p, CliTexts());
}

int RunStatus(const CourseArgs& a) {
    CheckHistory history(CheckHistory::DefaultPath());
    CourseState state;
    LessonProgress progress;
    if (!LoadCourse(history, state, false) || !Progress(history, state, progress)) {
        return 1;
    }
    if (a.format == "json") {
        const std::string json = CourseStatusJson(state, progress); // JSON is always UTF-8
        std::fwrite(json.data(), 1, json.size(), stdout);
        return 0;
    }
    std::string text = ProgressText(state, progress);
    if (state.HasPending()) {
        text += CliSay(Say::CoursePending, {std::to_string(10000 + state.pendingTextNumber).substr(1)}) + "\n";
    }
    PrintText(a.options, Utf8ToCp1251(text));
    return 0;
}

int RunNext(const CourseArgs& a) {
    const CliOptions& options = a.options;
    CheckHistory history(CheckHistory::DefaultPath());
    CourseState state;
    if (!LoadCourse(history, state, true)) {
        return 1;
    }
    const LessonText text = NextLessonText(state);
    const MorseTable table = LoadMorseTable();
    const MidiVoice voice = LessonVoice(options.Voice(), text);
    if (!options.out.empty()) {
        const MidiResult built = BuildMorseMidi(table, {LessonSegment(text)}, options.endPauseSeconds, voice);
        if (!built) {
            PrintFailure(built.message);
            return 1;
        }
    }
    // The text counts as handed out once it is kept: its copy is checked against it.
    const CourseState issued = IssueLessonText(state, text);
    const HistoryStatus saved = history.SaveCourse(issued);
    if (!saved.ok()) {
        PrintFailure(CliSay(Say::CourseNotKept, {HistoryProblemText(saved, history.Path(), CliTexts())}));
        if (!KeptDespiteDamage(history, saved, issued)) {
            return 1;
        }
    }
    if (!options.out.empty()) {
        const MidiResult written =
            WriteMorseMidi(table, {LessonSegment(text)}, options.out, options.endPauseSeconds, voice);
        if (!written) {
            PrintFailure(written.message);
            return 1;
        }
    }
    PrintText(options, isatty(STDOUT_FILENO) ? text.body + "\r\n" : text.body);
    return 0;
}

int RunCheck(const CourseArgs& a) {
    CheckHistory history(CheckHistory::DefaultPath());
    CourseState state;
    if (!LoadCourse(history, state, true)) {
        return 1;
    }
    if (!state.HasPending()) {
        PrintFailure(CliSay(Say::CourseNothingPending));
        return 1;
    }
    const FileBytes copyFile = ReadRegularFile(a.copyPath, kMaxCopyFileBytes);
    if (!copyFile.ok()) {
        PrintFailure(copyFile.error);
        return 1;
    }
    const std::string number = std::to_string(10000 + state.pendingTextNumber).substr(1);
    std::vector<CheckRecord> checks;
    if (!LessonChecks(history, state.pendingLesson, checks)) {
        return 1;
    }
    const CourseCheckOutcome outcome =
        CheckLessonCopy(state, checks, copyFile.bytes, static_cast<std::int64_t>(std::time(nullptr)));
    switch (outcome.verdict) {
    case CopyVerdict::Empty:
        PrintFailure(CliSay(Say::CourseCopyEmpty));
        return 1;
    case CopyVerdict::NotThisText:
        PrintFailure(
            CliSay(Say::CourseCopyOther, {number, std::to_string(outcome.typedRight), std::to_string(outcome.typed)}));
        return 1;
    case CopyVerdict::Checked:
        break;
    }
    const int lesson = outcome.lesson;
    const LessonProgress& progress = outcome.progress;
    const CourseState& after = outcome.after;
    const Alignment& alignment = outcome.alignment;
    const HistoryStatus recorded = history.RecordCourseCheck(outcome.record, lesson, after);
    if (!recorded.ok()) {
        // A damaged history has been kept aside and the check recorded in a new one; otherwise
        // nothing of the check was written.
        const bool kept = KeptDespiteDamage(history, recorded, after);
        PrintFailure(kept ? HistoryProblemText(recorded, history.Path(), CliTexts())
                          : "the check was not recorded: " + recorded.detail + " (" + history.Path() + ")");
        if (!kept) {
            return 1;
        }
    }

    std::string text = AlignedCopyText(alignment, kAlignedColumns) + "\n";
    const AlignmentCounts& c = alignment.counts;
    text += CliSay(Say::AlignedScore, {std::to_string(c.Errors()), std::to_string(c.substitutions),
                                       std::to_string(c.omissions), std::to_string(c.insertions)}) +
            "\n\n";
    text += ProgressText(state, progress) + "\n";
    if (outcome.MovedOn(state)) {
        text += CliSay(Say::CoursePassed, {std::to_string(lesson), std::to_string(after.lesson),
                                           Cp1251ToUtf8(std::string(1, KochLessonSymbols(after.lesson).back()))});
    } else if (progress.due && progress.last) {
        text += CliSay(Say::CourseComplete, {std::to_string(lesson)});
    } else {
        text += CliSay(Say::CourseGoesOn, {std::to_string(lesson)});
    }
    PrintText(a.options, Utf8ToCp1251(text + "\n"));
    return 0;
}

int RunSet(const CourseArgs& a) {
    CheckHistory history(CheckHistory::DefaultPath());
    CourseState state;
    if (!LoadCourse(history, state, true)) {
        return 1;
    }
    CourseSettings& s = state.settings;
    s.charSpeedCpm = a.cpm.value_or(s.charSpeedCpm);
    s.pauseDelayDots = a.pauseDelayDots.value_or(s.pauseDelayDots);
    s.recentChecks = a.recentChecks.value_or(s.recentChecks);
    s.passPercent = a.passPercent.value_or(s.passPercent);
    s.minNewestSent = a.minNewestSent.value_or(s.minNewestSent);
    s.source = a.source.value_or(s.source);
    state.lesson = a.lesson.value_or(state.lesson);
    const HistoryStatus saved = history.SaveCourse(state);
    if (!saved.ok()) {
        PrintFailure(CliSay(Say::CourseNotKept, {HistoryProblemText(saved, history.Path(), CliTexts())}));
        if (!KeptDespiteDamage(history, saved, state)) {
            return 1;
        }
    }
    LessonProgress progress;
    if (!Progress(history, state, progress)) {
        return 1;
    }
    PrintText(a.options, Utf8ToCp1251(ProgressText(state, progress)));
    return 0;
}

// Each part of the course is a subcommand of its own with its own options.
CLI::App* AddPart(CLI::App& course, const std::string& name, const std::string& usage) {
    CLI::App* part = course.add_subcommand(name, "course " + usage);
    part->set_help_flag();
    part->add_flag_callback(
            "-h,--help", [] { throw CLI::CallForHelp(); }, "print this help")
        ->trigger_on_parse();
    return part;
}

constexpr const char* kStatusUsage = "status [--format table|json]";
constexpr const char* kNextUsage = "next [--out FILE.mid]";
constexpr const char* kCheckUsage = "check --copy FILE";
constexpr const char* kSetUsage = "set [--lesson K] [--cpm N] [--pause-delay P] [--checks N] [--accuracy PCT] "
                                  "[--min-sent N] [--source groups|words|callsigns]";

Command SetUpCourse(CLI::App& command) {
    auto a = std::make_shared<CourseArgs>();
    command.require_subcommand(1, 1);

    CLI::App* status = AddPart(command, "status", std::string(kStatusUsage) + " " + kEncodingUsage);
    AddFormatOption(*status, a->format, {"table", "json"});

    CLI::App* next = AddPart(command, "next", std::string(kNextUsage) + " " + kEncodingUsage);
    next->add_option("--out", a->options.out, "also write the lesson text's MIDI file")
        ->check(OutputFileName())
        ->type_name("FILE.mid");

    CLI::App* check = AddPart(command, "check", std::string(kCheckUsage) + " " + kEncodingUsage);
    check->add_option("--copy", a->copyPath, "the copy of the last lesson text (Windows-1251)")
        ->required()
        ->type_name("FILE");

    CLI::App* set = AddPart(command, "set", std::string(kSetUsage) + " " + kEncodingUsage);
    auto optional = [set](const std::string& name, std::optional<int>& target, const CLI::Validator& range,
                          const std::string& description, const std::string& type) {
        set->add_option_function<int>(
               name, [&target](int v) { target = v; }, description)
            ->transform(range)
            ->type_name(type);
    };
    optional("--lesson", a->lesson, IntIn(kKochFirstLesson, kKochLastLesson), "go to lesson K", "K");
    optional("--cpm", a->cpm, IntIn(Setting::CourseCpm), "character speed [cpm]" + DefaultClause(Setting::CourseCpm),
             "N");
    optional("--pause-delay", a->pauseDelayDots, IntIn(Setting::CoursePauseDelay),
             "gap between characters in dot lengths; above " + std::to_string(RangeOf(Setting::CoursePauseDelay).min) +
                 " lowers the overall speed" + DefaultClause(Setting::CoursePauseDelay),
             "P");
    optional("--checks", a->recentChecks, IntIn(Setting::CourseChecks),
             "the accuracy is taken over this many recent checks of the lesson" + DefaultClause(Setting::CourseChecks),
             "N");
    optional("--accuracy", a->passPercent, IntIn(Setting::CoursePassPercent),
             "accuracy that moves the course on [%]" + DefaultClause(Setting::CoursePassPercent), "PCT");
    optional("--min-sent", a->minNewestSent, IntIn(Setting::CourseNewestSent),
             "times the newest character must have been sent" + DefaultClause(Setting::CourseNewestSent), "N");
    set->add_option_function<std::string>(
           "--source", [a](const std::string& v) { a->source = TextSourceByName(v); },
           "what the lesson texts are made of: groups of the lesson's characters, or the words or callsigns "
           "made only of them (default groups)")
        ->check(Accepted(
            [](const std::string& v) {
                const std::optional<TextSource> source = TextSourceByName(v);
                return source && *source != TextSource::Qso;
            },
            "groups, words or callsigns"))
        ->type_name("groups|words|callsigns");

    for (CLI::App* part : {status, next, check, set}) {
        AddEncodingOption(*part, a->options);
        AddArguments(*part, a->options);
    }
    return [a, status, next, check] {
        if (status->parsed()) {
            return RunStatus(*a);
        }
        if (next->parsed()) {
            return RunNext(*a);
        }
        if (check->parsed()) {
            return RunCheck(*a);
        }
        return RunSet(*a);
    };
}

const RegisterCommand kRegisterCourse("course", SetUpCourse,
                                      std::string("course ") + kStatusUsage + " | " + kNextUsage + " | " + kCheckUsage +
                                          " | " + kSetUsage + " " + kEncodingUsage +
                                          "  (the Koch course: where it stands, the next lesson text, the check of its "
                                          "copy, its settings)");

} // namespace
} // namespace qlor::cli
