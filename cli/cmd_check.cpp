// qlor-cli check: the reception check of a copy against the sent text, both read from files.
#include "audio/midi_source.h"
#include "base/safe_file.h"
#include "cli/cli_texts.h"
#include "cli/local_time.h"
#include "cli/options.h"
#include "control/settings_store.h"
#include "exercises/check_history.h"
#include "exercises/check_report.h"
#include "exercises/reception_check.h"
#include "synthesis/timing.h"

#include <ctime>
#include <memory>

namespace qlor::cli {
namespace {

// Adds the check to the history of checks; false (with the message printed) when it could not.
bool RecordCheck(CheckRecord record) {
    CheckHistory history(CheckHistory::DefaultPath());
    const HistoryStatus status = history.Record(std::move(record));
    if (status.ok()) {
        return true;
    }
    // A damaged history has been kept aside and the check recorded in a new one.
    const bool recorded = history.Pending() == 0;
    PrintFailure(recorded ? HistoryProblemText(status, history.Path(), CliTexts())
                          : "the check was not recorded: " + status.detail + " (" + history.Path() + ")");
    return recorded;
}

// What the command line says: the files, the list's head and, for --record, how the text was sent.
struct CheckArgs {
    CliOptions options;
    std::string sentPath;
    std::string copyPath;
    std::string outPath;
    int width = kDefaultWrapChars;
    CheckHead head;
    bool record = false;
    CheckRecord facts; // the defaults are a fresh installation's
    CheckArgs() {
        head.speed[1] = 5; // the panel's default speed 050
        facts.groups = 50;
        facts.groupSize = 5;
        facts.pauseDelayDots = 3;
        facts.voice = std::string(kVoiceAuto);
    }
};

int RunCheck(CheckArgs& a) {
    CheckHead& head = a.head;
    const CheckRecord& facts = a.facts;
    const FileBytes sentFile = ReadRegularFile(a.sentPath, kMaxTextFileBytes);
    const FileBytes copyFile = sentFile.ok() ? ReadRegularFile(a.copyPath, kMaxTextFileBytes) : FileBytes{};
    if (!sentFile.ok() || !copyFile.ok()) {
        PrintFailure(sentFile.ok() ? copyFile.error : sentFile.error);
        return 1;
    }
    const std::string& sent = sentFile.bytes;
    const std::string& copy = copyFile.bytes;
    std::string error;
    head.dateTime = LocalDateTimeText();
    const CheckList list = BuildCheckList(head, WrapLines(sent, a.width), WrapLines(copy, a.width));
    bool recorded = true;
    if (a.record) {
        CheckRecord r = MakeCheckRecord(static_cast<std::int64_t>(std::time(nullptr)), sent, copy, list.errors,
                                        head.ownText, facts.groupSize);
        r.textNumber = head.number[0] * 1000 + head.number[1] * 100 + head.number[2] * 10 + head.number[3];
        r.ownText = head.ownText;
        r.speedDigits = std::to_string(head.speed[0]) + std::to_string(head.speed[1]) + std::to_string(head.speed[2]);
        r.textType = facts.textType;
        r.paris = facts.paris;
        r.speedCpm = SendingSpeed(head.speed[0] * 100 + head.speed[1] * 10 + head.speed[2], r.textType, !r.paris);
        r.groups = facts.groups;
        r.groupSize = facts.groupSize;
        r.pauseDelayDots = facts.pauseDelayDots;
        r.noiseType = facts.noiseType;
        r.voice = facts.voice;
        recorded = RecordCheck(std::move(r));
    }
    if (!a.outPath.empty()) {
        // The saved check list: cp1251 bytes, every line followed by CR LF.
        error = WriteFileAtomically(a.outPath, list.Text());
        if (!error.empty()) {
            PrintFailure(error);
            return 1;
        }
        return recorded ? 0 : 1;
    }
    std::string text;
    for (const auto& line : list.lines) {
        text += line + "\n";
    }
    PrintText(a.options, text);
    return recorded ? 0 : 1;
}

Command SetUpCheck(CLI::App& command) {
    auto a = std::make_shared<CheckArgs>();
    command.add_option("--sent", a->sentPath, "the sent text (Windows-1251)")->required()->type_name("FILE");
    command.add_option("--copy", a->copyPath, "the copy received (Windows-1251)")->required()->type_name("FILE");
    command.add_option("--width", a->width, "characters per line, as the window's boxes wrap them")
        ->transform(IntIn(Setting::CheckWidth))
        ->type_name("N");
    command
        .add_option_function<std::string>(
            "--number",
            [a](const std::string& v) {
                for (int i = 0; i < EntryOf(Setting::TextNumber).digits; ++i) {
                    a->head.number[i] = v[i] - '0';
                }
            },
            "text number in the list's head" + DefaultClause(Setting::TextNumber))
        ->check(Accepted(
            [](const std::string& v) {
                return v.size() == static_cast<size_t>(EntryOf(Setting::TextNumber).digits) &&
                       v.find_first_not_of("0123456789") == std::string::npos;
            },
            "four digits (" + CliRangeText(Setting::TextNumber) + ")"))
        ->type_name("DDDD");
    command
        .add_option_function<int>(
            "--speed",
            [a](int v) {
                a->head.speed[0] = v / 100;
                a->head.speed[1] = v / 10 % 10;
                a->head.speed[2] = v % 10;
            },
            "speed in the list's head" + DefaultClause(Setting::Speed))
        ->transform(IntIn(Setting::Speed))
        ->type_name("N");
    command.add_flag("--own-text", a->head.ownText, "the list's head names an own text");
    command.add_option("--out", a->outPath, "write the list (Windows-1251, CR LF) instead of printing it")
        ->type_name("FILE");
    command.add_flag("--record", a->record, "add the check to the history of checks");
    command.add_option("--type", a->facts.textType, "with --record: the text type")
        ->transform(TextType())
        ->type_name("T");
    command.add_flag("--paris", a->facts.paris, "with --record: the speed was PARIS");
    command
        .add_option_function<int>(
            "--groups", [a](int v) { a->facts.groups = v == 0 ? 50 : v; }, "with --record: the group count")
        ->transform(IntIn(Setting::Groups))
        ->type_name("N");
    command.add_option("--group-size", a->facts.groupSize, "with --record: characters per group")
        ->transform(IntIn(Setting::RecordedGroupSize))
        ->type_name("N");
    command.add_option("--pause-delay", a->facts.pauseDelayDots, "with --record: gap between characters")
        ->transform(IntIn(Setting::PauseDelay))
        ->type_name("P");
    command.add_option("--noise", a->facts.noiseType, "with --record: the noise type")
        ->transform(IntIn(Setting::NoiseType))
        ->type_name("N");
    command.add_option("--voice", a->facts.voice, "with --record: the signal's voice")
        ->check(NameOf(ParseVoiceName, "auto, soundfont or tone"))
        ->type_name("auto|soundfont|tone");
    AddEncodingOption(command, a->options);
    AddArguments(command, a->options);
    return [a] { return RunCheck(*a); };
}

const RegisterCommand
    kRegisterCheck("check", SetUpCheck,
                   std::string("check --sent FILE --copy FILE [--width N] [--number DDDD] [--speed N] "
                               "[--own-text] [--out FILE] [--record [--type T] [--paris] [--groups N] "
                               "[--group-size N] [--pause-delay P] [--noise N] "
                               "[--voice auto|soundfont|tone]] ") +
                       kEncodingUsage +
                       "  (prints the reception check list of a copy; --record adds the check to the "
                       "history of checks)");

} // namespace
} // namespace qlor::cli
