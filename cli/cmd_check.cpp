// qlor-cli check: the reception check of a copy against the sent text, both read from files.
#include "cli/local_time.h"
#include "cli/options.h"
#include "control/settings_store.h"
#include "exercises/check_history.h"
#include "exercises/check_report.h"
#include "exercises/reception_check.h"
#include "synthesis/safe_file.h"
#include "synthesis/timing.h"

#include <cstdio>
#include <ctime>

namespace qlor::cli {
namespace {

void Fail(const std::string& message) {
    const std::string line = "qlor-cli: " + message + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
}

// Sent and copied texts are typed or saved by hand; anything near this is not one [bytes].
constexpr uint64_t kMaxTextFileBytes = 32u << 20;

// Adds the check to the history of checks; false (with the message printed) when it could not.
bool RecordCheck(CheckRecord record) {
    CheckHistory history(CheckHistory::DefaultPath());
    const HistoryStatus status = history.Record(std::move(record));
    if (status.ok()) {
        return true;
    }
    // A damaged history has been kept aside and the check recorded in a new one.
    const bool recorded = history.Pending() == 0;
    Fail(recorded ? HistoryProblemText(status, history.Path(), TextLanguage::English)
                  : "the check was not recorded: " + status.detail + " (" + history.Path() + ")");
    return recorded;
}

int RunCheck(const std::vector<std::string>& args) {
    std::string sentPath;
    std::string copyPath;
    std::string outPath;
    int width = kDefaultWrapChars;
    CheckHead head;
    head.speed[1] = 5; // the panel's default speed 050
    // What the history keeps about the transmission; the defaults are a fresh installation's.
    bool record = false;
    CheckRecord facts;
    facts.groups = 50;
    facts.groupSize = 5;
    facts.pauseDelay = 3;
    facts.voice = std::string(kVoiceAuto);
    auto extra = [&](const std::string& name, const std::function<std::string()>& value) {
        if (name == "--sent") {
            sentPath = value();
        } else if (name == "--copy") {
            copyPath = value();
        } else if (name == "--out") {
            outPath = value();
        } else if (name == "--width") {
            width = ParseIntOption(name, value(), 1, 10000);
        } else if (name == "--number") {
            const std::string v = value();
            if (v.size() != 4 || v.find_first_not_of("0123456789") != std::string::npos) {
                throw UsageError{"--number: expected four digits (0000..9999), got '" + v + "'"};
            }
            for (int i = 0; i < 4; ++i) {
                head.number[i] = v[i] - '0';
            }
        } else if (name == "--speed") {
            const int speed = ParseIntOption(name, value(), 0, 399);
            head.speed[0] = speed / 100;
            head.speed[1] = speed / 10 % 10;
            head.speed[2] = speed % 10;
        } else if (name == "--own-text") {
            head.ownText = true;
        } else if (name == "--record") {
            record = true;
        } else if (name == "--type") {
            facts.textType = ParseTextType(value());
        } else if (name == "--paris") {
            facts.paris = true;
        } else if (name == "--groups") {
            facts.groups = ParseIntOption(name, value(), 0, 199);
            facts.groups = facts.groups == 0 ? 50 : facts.groups;
        } else if (name == "--group-size") {
            facts.groupSize = ParseIntOption(name, value(), 1, 10);
        } else if (name == "--pause-delay") {
            facts.pauseDelay = ParseIntOption(name, value(), 3, 15);
        } else if (name == "--noise") {
            facts.noiseType = ParseIntOption(name, value(), 0, 4);
        } else if (name == "--voice") {
            facts.voice = value();
            if (facts.voice != kVoiceAuto && facts.voice != kVoiceSoundFont && facts.voice != kVoiceTone) {
                throw UsageError{"--voice: expected auto, soundfont or tone, got '" + facts.voice + "'"};
            }
        } else {
            return false;
        }
        return true;
    };
    CliOptions options = ParseOptions(args, 0, extra);
    if (sentPath.empty() || copyPath.empty()) {
        throw UsageError{"--sent FILE and --copy FILE are required"};
    }

    const FileBytes sentFile = ReadRegularFile(sentPath, kMaxTextFileBytes);
    const FileBytes copyFile = sentFile.ok() ? ReadRegularFile(copyPath, kMaxTextFileBytes) : FileBytes{};
    if (!sentFile.ok() || !copyFile.ok()) {
        Fail(sentFile.ok() ? copyFile.error : sentFile.error);
        return 1;
    }
    const std::string& sent = sentFile.bytes;
    const std::string& copy = copyFile.bytes;
    std::string error;
    head.dateTime = LocalDateTimeText();
    const CheckList list = BuildCheckList(head, WrapLines(sent, width), WrapLines(copy, width));
    bool recorded = true;
    if (record) {
        CheckRecord r = MakeCheckRecord(static_cast<std::int64_t>(std::time(nullptr)), sent, copy, list.errors);
        r.textNumber = head.number[0] * 1000 + head.number[1] * 100 + head.number[2] * 10 + head.number[3];
        r.ownText = head.ownText;
        r.speedDigits = std::to_string(head.speed[0]) + std::to_string(head.speed[1]) + std::to_string(head.speed[2]);
        r.textType = facts.textType;
        r.paris = facts.paris;
        r.speedCpm = SendingSpeed(head.speed[0] * 100 + head.speed[1] * 10 + head.speed[2], r.textType, !r.paris);
        r.groups = facts.groups;
        r.groupSize = facts.groupSize;
        r.pauseDelay = facts.pauseDelay;
        r.noiseType = facts.noiseType;
        r.voice = facts.voice;
        recorded = RecordCheck(std::move(r));
    }
    if (!outPath.empty()) {
        // The saved check list: cp1251 bytes, every line followed by CR LF.
        error = WriteFileAtomically(outPath, list.Text());
        if (!error.empty()) {
            Fail(error);
            return 1;
        }
        return recorded ? 0 : 1;
    }
    std::string text;
    for (const auto& line : list.lines) {
        text += line + "\n";
    }
    PrintText(options, text);
    return recorded ? 0 : 1;
}

const RegisterCommand kRegister("check", RunCheck,
                                std::string("check --sent FILE --copy FILE [--width N] [--number DDDD] [--speed N] "
                                            "[--own-text] [--out FILE] [--record [--type T] [--paris] [--groups N] "
                                            "[--group-size N] [--pause-delay P] [--noise N] "
                                            "[--voice auto|soundfont|tone]] ") +
                                    kEncodingUsage +
                                    "  (prints the reception check list of a copy; --record adds the check to the "
                                    "history of checks)");

} // namespace
} // namespace qlor::cli
