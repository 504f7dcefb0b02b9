// qlor-cli icr: instant character recognition on the terminal. One character (or, with --source,
// one word or callsign) at a time sounds through the sound device; the learner types it (a word
// up to Enter); right or wrong is told at once and a wrong answer is played again. The reaction time runs from the end
// of the character to the key and is read from the audio position, not from a clock. Missed and slow characters come
// back more often. The session is recorded in the history and summed up at the end.
#include "audio/audio_engine.h"
#include "audio/midi_source.h"
#include "audio/sequencer.h"
#include "audio/smf_reader.h"
#include "base/codepage.h"
#include "cli/cli_texts.h"
#include "cli/options.h"
#include "exercises/char_recognition.h"
#include "exercises/check_history.h"
#include "exercises/check_report.h"
#include "exercises/koch_course.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <memory>

namespace qlor::cli {
namespace {

// Silence after each character, in which the answer is awaited [s].
constexpr int kAnswerSeconds = 5;
// Silence after a character played again [s] (the shortest closing pause of a MIDI file).
constexpr int kReplaySeconds = 1;
// How often the key and the audio position are looked at while a character plays [ms].
constexpr int kPollMs = 2;
constexpr int kKeyEscape = 0x1B;
constexpr int kKeyInterrupt = 0x03; // Ctrl-C: the terminal hands it over as a key, see KeyByKey
constexpr int kKeyEndOfFile = 0x04; // Ctrl-D
constexpr int kKeyBackspace = 0x08;
constexpr int kKeyDelete = 0x7F; // what most terminals send for Backspace
constexpr int kNoKey = -1;
constexpr int kEndOfInput = -2;

// Keys without echo and without waiting for Enter while it lives (on a terminal only). Ctrl-C
// comes as a key too and ends the session like Escape, so the terminal is always given back as
// it was.
class KeyByKey {
public:
    KeyByKey() {
        if (isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &saved_) == 0) {
            termios raw = saved_;
            raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG);
            raw.c_cc[VMIN] = 1;
            raw.c_cc[VTIME] = 0;
            active_ = tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0;
        }
    }
    ~KeyByKey() {
        if (active_) {
            tcsetattr(STDIN_FILENO, TCSANOW, &saved_);
        }
    }
    KeyByKey(const KeyByKey&) = delete;
    KeyByKey& operator=(const KeyByKey&) = delete;

private:
    termios saved_{};
    bool active_ = false;
};

// One key within timeoutMs: its byte, kNoKey, or kEndOfInput when the input has ended.
int ReadKey(int timeoutMs) {
    pollfd fd{STDIN_FILENO, POLLIN, 0};
    if (poll(&fd, 1, timeoutMs) <= 0) {
        return kNoKey;
    }
    unsigned char byte = 0;
    return read(STDIN_FILENO, &byte, 1) == 1 ? byte : kEndOfInput;
}

struct IcrArgs {
    CliOptions options;
    std::string chars;
    int count = DefaultOf(Setting::IcrCount);
    int cpm = kCourseDefaultCpm;
    std::uint64_t seed = 0;
    bool seeded = false;
    std::string voice = "auto";
    RecognitionMode mode = RecognitionMode::Characters;
};

// The characters when none are given: those of the course's lesson.
std::string LessonCharacters() {
    CheckHistory history(CheckHistory::DefaultPath());
    CourseState state;
    history.LoadCourse(state);
    return KochLessonSymbols(state.lesson);
}

// Plays one character and waits for its key while the closing silence runs; the position of the
// key [frames] is read from the player. Returns the key (kNoKey when the silence ran out).
int PlayAndAwaitKey(AudioEngine& engine, std::uint64_t& keyFrames) {
    engine.Play(kTextSlot);
    int key = kNoKey;
    while (engine.Mode(kTextSlot) == PlayerMode::Playing) {
        key = ReadKey(kPollMs);
        if (key != kNoKey) {
            keyFrames = engine.PositionFrames(kTextSlot);
            break;
        }
    }
    engine.Stop(kTextSlot);
    engine.Close(kTextSlot);
    engine.Refresh();
    return key;
}

bool EndsSession(int key) {
    return key == kKeyEscape || key == kKeyInterrupt || key == kKeyEndOfFile || key == kEndOfInput;
}

// Plays one word and reads its line while the closing silence runs, echoing the keys on a
// terminal; the position of Enter [frames] is read from the player. Returns '\n' when Enter
// came, a key that ends the session, or kNoKey when the silence ran out (`line` holds what was
// typed by then).
int PlayAndAwaitLine(AudioEngine& engine, std::string& line, std::uint64_t& enterFrames) {
    engine.Play(kTextSlot);
    const bool echo = isatty(STDIN_FILENO) && isatty(STDOUT_FILENO);
    int end = kNoKey;
    while (engine.Mode(kTextSlot) == PlayerMode::Playing) {
        const int key = ReadKey(kPollMs);
        if (key == '\n' || key == '\r') {
            enterFrames = engine.PositionFrames(kTextSlot);
            end = '\n';
            break;
        }
        if (EndsSession(key)) {
            end = key;
            break;
        }
        if ((key == kKeyBackspace || key == kKeyDelete) && !line.empty()) {
            line.pop_back();
            if (echo) {
                std::fputs("\b \b", stdout);
            }
        } else if (key > ' ' && key != kKeyDelete) {
            line += static_cast<char>(key);
            if (echo) {
                std::fputc(key, stdout);
            }
        }
        if (echo) {
            std::fflush(stdout);
        }
    }
    if (echo) {
        std::fputs("\r\n", stdout);
        std::fflush(stdout);
    }
    engine.Stop(kTextSlot);
    engine.Close(kTextSlot);
    engine.Refresh();
    return end;
}

// Plays what is open to its end. Keys typed meanwhile on a terminal are dropped: they answer
// nothing.
void PlayThrough(AudioEngine& engine) {
    engine.Play(kTextSlot);
    while (engine.Mode(kTextSlot) == PlayerMode::Playing) {
        poll(nullptr, 0, kPollMs);
    }
    engine.Close(kTextSlot);
    engine.Refresh();
    if (isatty(STDIN_FILENO)) {
        tcflush(STDIN_FILENO, TCIFLUSH);
    }
}

// Where the last element of the MIDI file ends [frames at `rate`]; 0 when it cannot be read.
std::uint64_t KeyedEndFrames(const std::string& path, int rate) {
    const SmfResult smf = ReadSmfFile(path);
    if (!smf.ok()) {
        return 0;
    }
    const TimelineResult scheduled = ScheduleSong(smf.song, rate);
    return scheduled.ok() ? LastNoteOffFrame(scheduled.timeline) : 0;
}

// Writes and opens the MIDI file of one character or word; "" or the reason.
std::string OpenItem(AudioEngine& engine, const MorseTable& table, const std::string& path, const std::string& item,
                     int cpm, int silenceSeconds) {
    SegmentText segment;
    segment.body = item;
    segment.speedCpm = cpm;
    const MidiResult written = WriteMorseMidi(table, {segment}, path, silenceSeconds, MidiVoice{});
    if (!written) {
        return written.message;
    }
    return engine.Open(kTextSlot, path).error;
}

int RunIcr(const IcrArgs& a) {
    const CliOptions& options = a.options;
    const bool words = a.mode != RecognitionMode::Characters;
    const std::string chars = a.chars.empty() ? LessonCharacters() : options.ToCore(a.chars);
    RecognitionSession session;
    session.timeUtc = static_cast<std::int64_t>(std::time(nullptr));
    session.seed = a.seeded ? a.seed : static_cast<std::uint64_t>(session.timeUtc);
    session.charSpeedCpm = a.cpm;
    session.mode = a.mode;
    RecognitionPicker picker = words ? RecognitionPicker(RecognitionWords(a.mode, chars, session.seed), session.seed)
                                     : RecognitionPicker(chars, session.seed);
    session.characters = RecognitionSet(chars);
    if (picker.Items().empty()) {
        PrintFailure(words ? std::string(CliTexts().Text(Say::RecognitionNoWords)) : "no character to practise");
        return 1;
    }
    AudioEngine& engine = AudioEngine::Shared();
    VoiceKind voice = VoiceKind::Automatic;
    ParseVoiceName(a.voice, voice);
    engine.SetVoice(voice);
    if (const std::string error = engine.OpenDevice(); !error.empty()) {
        PrintFailure("nothing can be played: " + error);
        return 1;
    }
    std::string folder = (std::filesystem::temp_directory_path() / "qlor-icr-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) {
        PrintFailure("no temporary folder for the sound");
        return 1;
    }
    const std::string path = folder + "/character.mid";
    const MorseTable table = LoadMorseTable();
    const int rate = engine.Rate();
    const int answerSeconds = words ? kRecognitionWordAnswerSeconds : kAnswerSeconds;
    int status = 0;
    {
        KeyByKey keys;
        for (int i = 0; i < a.count; ++i) {
            const std::string item = picker.NextItem();
            if (const std::string error = OpenItem(engine, table, path, item, a.cpm, answerSeconds); !error.empty()) {
                PrintFailure(error);
                status = 1;
                break;
            }
            // The item ends with its last element. The closing silence is timed in the tempo's
            // ticks, so the file's length less the silence can miss that end by more than 10 ms.
            const std::uint64_t endFrames = KeyedEndFrames(path, rate);
            std::uint64_t keyFrames = 0;
            RecognitionAnswer answer;
            bool answered = false;
            if (words) {
                std::string line;
                const int end = PlayAndAwaitLine(engine, line, keyFrames);
                if (EndsSession(end)) {
                    break;
                }
                answer.word = item;
                answer.typedWord = UpperCase1251(line);
                answered = end == '\n';
            } else {
                const int key = PlayAndAwaitKey(engine, keyFrames);
                if (EndsSession(key)) {
                    break;
                }
                answer.shown = static_cast<unsigned char>(item[0]);
                if (key >= 0) {
                    answer.typed = static_cast<unsigned char>(UpperCase1251(std::string(1, static_cast<char>(key)))[0]);
                    answered = true;
                }
            }
            if (answered) {
                // A key before the end of the sound counts as an instant answer.
                const std::uint64_t after = keyFrames > endFrames ? keyFrames - endFrames : 0;
                answer.reactionMs = static_cast<int>(after * 1000 / static_cast<std::uint64_t>(rate));
            }
            picker.Answer(answer);
            session.answers.push_back(answer);
            if (answer.Correct()) {
                PrintText(options, Utf8ToCp1251(CliSay(Say::RecognitionRight,
                                                       {Cp1251ToUtf8(item), std::to_string(answer.reactionMs)})) +
                                       "\n");
                continue;
            }
            std::string typed = words ? answer.typedWord : std::string(1, static_cast<char>(answer.typed));
            if (typed.empty() || typed[0] == 0) {
                typed = "-";
            }
            PrintText(options,
                      Utf8ToCp1251(CliSay(Say::RecognitionWrong, {Cp1251ToUtf8(item), Cp1251ToUtf8(typed)})) + "\n");
            // The item once more, to hear it as it is.
            if (OpenItem(engine, table, path, item, a.cpm, kReplaySeconds).empty()) {
                PlayThrough(engine);
            }
        }
    }
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    if (session.answers.empty()) {
        return status;
    }

    const RecognitionSummary summary = SummariseRecognition(session.answers);
    std::string text =
        CliSay(Say::RecognitionSummary, {std::to_string(summary.correct), std::to_string(summary.shown),
                                         std::to_string(summary.shown > 0 ? summary.correct * 100 / summary.shown : 0),
                                         std::to_string(summary.medianReactionMs)}) +
        "\n";
    for (const RecognitionCharSummary& row : summary.chars) {
        text += CliSay(Say::RecognitionCharacter, {Cp1251ToUtf8(row.item), std::to_string(row.correct),
                                                   std::to_string(row.shown), std::to_string(row.medianReactionMs)}) +
                "\n";
    }
    PrintText(options, Utf8ToCp1251(text));
    CheckHistory history(CheckHistory::DefaultPath());
    const HistoryStatus recorded = history.RecordRecognition(session);
    if (!recorded.ok()) {
        PrintFailure(HistoryProblemText(recorded, history.Path(), CliTexts()));
        return recorded.problem == HistoryProblem::Damaged ? status : 1;
    }
    return status;
}

Command SetUpIcr(CLI::App& command) {
    auto a = std::make_shared<IcrArgs>();
    command.add_option("--chars", a->chars, "the characters to practise (default the course's lesson)")
        ->type_name("SET");
    command.add_option("--count", a->count, "characters or words in the session" + DefaultClause(Setting::IcrCount))
        ->transform(IntIn(Setting::IcrCount))
        ->type_name("N");
    command.add_option("--cpm", a->cpm, "character speed [cpm]" + DefaultClause(Setting::CourseCpm))
        ->transform(IntIn(Setting::CourseCpm))
        ->type_name("N");
    command
        .add_option_function<std::string>(
            "--seed",
            [a](const std::string& v) {
                a->seed = std::strtoull(v.c_str(), nullptr, 10);
                a->seeded = true;
            },
            "the same seed and answers give the same characters (default the time)")
        ->check(Accepted(
            [](const std::string& v) {
                return !v.empty() && v.size() <= 19 && v.find_first_not_of("0123456789") == std::string::npos;
            },
            "a number"))
        ->type_name("N");
    command.add_option("--voice", a->voice, "the signal's voice (default auto)")
        ->check(NameOf(ParseVoiceName, "auto, soundfont or tone"))
        ->type_name("auto|soundfont|tone");
    command
        .add_option_function<std::string>(
            "--source",
            [a](const std::string& v) { a->mode = RecognitionModeByName(v).value_or(RecognitionMode::Characters); },
            "what is sent one at a time: characters (one key answers), or telegraph words or callsigns made only of "
            "the characters (typed, Enter answers) (default characters)")
        ->check(Accepted([](const std::string& v) { return RecognitionModeByName(v).has_value(); },
                         "characters, words or callsigns"))
        ->type_name("characters|words|callsigns");
    AddEncodingOption(command, a->options);
    AddArguments(command, a->options);
    return [a] { return RunIcr(*a); };
}

const RegisterCommand kRegisterIcr("icr", SetUpIcr,
                                   std::string("icr [--chars SET] [--count N] [--cpm N] [--seed N] "
                                               "[--voice auto|soundfont|tone] [--source characters|words|callsigns] ") +
                                       kEncodingUsage +
                                       "  (instant character recognition through the sound device; Escape ends it)");

} // namespace
} // namespace qlor::cli
