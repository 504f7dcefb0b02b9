#include "cli/options.h"

#include "control/program_texts.h"
#include "synthesis/codepage.h"
#include "synthesis/timing.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <iostream>
#include <optional>

namespace qlor::cli {
namespace {

constexpr int kMaxEndPauseSeconds = 24 * 3600;

// Lines typed on a terminal end with LF; the window's memos hold CR LF, and texts are compared
// and counted as the memo holds them.
std::string MemoLines(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
            out += '\r';
        }
        out += text[i];
    }
    return out;
}

} // namespace

int ParseTextType(const std::string& text) {
    static const std::array<const char*, 6> kNames = {"L", "R", "N", "NC", "LN", "MX"};
    std::string upper;
    for (char c : text) {
        upper += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    }
    for (size_t i = 0; i < kNames.size(); ++i) {
        if (upper == kNames[i] || upper == std::to_string(i)) {
            return static_cast<int>(i);
        }
    }
    throw UsageError{"--type: expected one of L, R, N, NC, LN, MX (or 0..5), got '" + text + "'"};
}

namespace {

void SetDigits(int value, int* digits, int count) {
    for (int i = count - 1; i >= 0; --i) {
        digits[i] = value % 10;
        value /= 10;
    }
}

void WriteAll(std::FILE* stream, std::string_view bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), stream);
    std::fflush(stream);
}

} // namespace

MidiVoice CliOptions::Voice() const {
    MidiVoice voice;
    voice.channel = controls.settings.midiChannel;
    voice.patch = controls.settings.midiPatch;
    voice.pauseDelay = controls.settings.pauseDelay;
    voice.note = tone;
    return voice;
}

int CliOptions::SendingSpeedCpm() const {
    return SendingSpeed(SpeedValue(controls.settings), controls.settings.textType, !paris);
}

std::string CliOptions::ToCore(std::string_view terminalText) const {
    return cp1251 ? std::string(terminalText) : Utf8ToCp1251(terminalText);
}

std::string CliOptions::ToTerminal(std::string_view text) const {
    return cp1251 ? std::string(text) : Cp1251ToUtf8(text);
}

int ParseIntOption(const std::string& option, const std::string& text, int min, int max) {
    int value = 0;
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(begin, end, value);
    if (text.empty() || ec == std::errc::invalid_argument || ptr != end) {
        throw UsageError{option + ": expected a number, got '" + text + "'"};
    }
    if (ec == std::errc::result_out_of_range || value < min || value > max) {
        throw UsageError{option + ": " + text + " is out of range " + std::to_string(min) + ".." + std::to_string(max)};
    }
    return value;
}

CliOptions ParseOptions(const std::vector<std::string>& args, unsigned groups, const ExtraOption& extra,
                        size_t maxPositionals) {
    CliOptions o;
    o.controls.settings = DefaultTransmissionSettings();
    o.controls.selectedSymbols = FullAlphabet();
    TransmissionSettings& s = o.controls.settings;

    // Texts are converted once the encoding is known (it may be given after them).
    struct PendingText {
        std::string* target;
        std::string raw;
        bool memo;
    };
    std::vector<PendingText> texts;
    std::vector<std::string> rawPositionals;
    bool haveOut = false;

    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") {
            rawPositionals.insert(rawPositionals.end(), args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
            break;
        }
        if (arg.size() < 3 || arg.compare(0, 2, "--") != 0) {
            rawPositionals.push_back(arg);
            continue;
        }
        std::string name = arg;
        std::optional<std::string> inlineValue;
        if (size_t eq = arg.find('='); eq != std::string::npos) {
            name = arg.substr(0, eq);
            inlineValue = arg.substr(eq + 1);
        }
        bool valueTaken = false;
        auto value = [&]() -> std::string {
            valueTaken = true;
            if (inlineValue) {
                return *inlineValue;
            }
            if (i + 1 >= args.size()) {
                throw UsageError{name + ": missing value"};
            }
            return args[++i];
        };
        auto text = [&](std::string* target, bool memo) { texts.push_back({target, value(), memo}); };
        const bool textGroup = (groups & kTextOptions) != 0;
        const bool soundGroup = (groups & kSoundOptions) != 0;

        if (name == "--encoding") {
            std::string v = value();
            if (v == "cp1251" || v == "CP1251" || v == "windows-1251") {
                o.cp1251 = true;
            } else if (v == "utf8" || v == "utf-8" || v == "UTF-8") {
                o.cp1251 = false;
            } else {
                throw UsageError{"--encoding: expected utf8 or cp1251, got '" + v + "'"};
            }
        } else if (textGroup && name == "--number") {
            std::string v = value();
            if (v.empty() || v.size() > 4 || v.find_first_not_of("0123456789") != std::string::npos) {
                throw UsageError{"--number: expected up to four digits (0000..9999), got '" + v + "'"};
            }
            SetDigits(std::stoi(v), s.number.data(), 4);
        } else if (textGroup && name == "--type") {
            s.textType = ParseTextType(value());
        } else if (textGroup && name == "--groups") {
            SetDigits(ParseIntOption(name, value(), 0, 199), s.groups.data(), 3);
        } else if (textGroup && name == "--group-size") {
            s.charInGroup = ParseIntOption(name, value(), 0, 10) % 10; // a stored 0 means 10
        } else if (textGroup && name == "--symbols") {
            o.controls.allSymbols = false;
            text(&o.controls.selectedSymbols, true);
        } else if (textGroup && name == "--memo") {
            o.controls.allSymbols = true;
            text(&o.controls.selectedSymbols, true);
        } else if (textGroup && (name == "--header" || name == "--ending")) {
            const bool header = name == "--header";
            std::string v = value();
            bool& need = header ? o.controls.needHeader : o.controls.needEnded;
            bool& standard = header ? o.controls.headerStandard : o.controls.endedStandard;
            if (v == "none") {
                need = false;
            } else if (v == "std") {
                need = true;
                standard = true;
            } else {
                need = true;
                standard = false;
                texts.push_back({header ? &o.controls.beginChar : &o.controls.endChar, v, false});
            }
        } else if (textGroup && name == "--own") {
            o.controls.ownText = true;
            text(&o.controls.memoText, true);
        } else if (soundGroup && name == "--speed") {
            SetDigits(ParseIntOption(name, value(), 0, 399), s.speed.data(), 3);
        } else if (soundGroup && name == "--paris") {
            o.paris = true;
        } else if (soundGroup && name == "--pause-delay") {
            s.pauseDelay = ParseIntOption(name, value(), 3, 15);
        } else if (soundGroup && name == "--channel") {
            s.midiChannel = ParseIntOption(name, value(), 0, 15);
        } else if (soundGroup && name == "--patch") {
            s.midiPatch = ParseIntOption(name, value(), 0, 127);
        } else if (soundGroup && name == "--tone") {
            o.tone = ParseIntOption(name, value(), kToneMin, kToneMax);
        } else if (soundGroup && name == "--end-pause") {
            o.endPauseSeconds = ParseIntOption(name, value(), 0, kMaxEndPauseSeconds);
        } else if ((groups & kOutOption) && name == "--out") {
            o.out = value();
            haveOut = true;
            if (o.out.empty()) {
                throw UsageError{"--out: empty file name"};
            }
        } else if (!extra || !extra(name, value)) {
            throw UsageError{"unknown option '" + name + "'"};
        }
        if (inlineValue && !valueTaken) {
            throw UsageError{name + " takes no value"};
        }
    }

    for (PendingText& t : texts) {
        std::string converted = o.ToCore(t.raw);
        *t.target = t.memo ? MemoLines(converted) : converted;
    }
    if (rawPositionals.size() > maxPositionals) {
        throw UsageError{"unexpected argument '" + rawPositionals[maxPositionals] + "'"};
    }
    for (const std::string& p : rawPositionals) {
        o.positionals.push_back(o.ToCore(p));
    }
    if ((groups & kOutOption) && !haveOut) {
        throw UsageError{"--out FILE is required"};
    }
    return o;
}

MorseTable LoadMorseTable() {
    MorseTable table;
    table.LoadMorseOverrides("Morse.txt");
    return table;
}

void PrintText(const CliOptions& options, std::string_view cp1251) {
    WriteAll(stdout, options.ToTerminal(cp1251));
}

void PrintError(const CliOptions& options, std::string_view cp1251) {
    WriteAll(stderr, options.ToTerminal(cp1251));
}

void PrintGenerationFailure(const CliOptions& options) {
    PrintError(options, Cp(ProgramText(Say::GenerationFailedTitle, TextLanguage::Russian)) + ": " +
                            Cp(ProgramText(Say::GenerationFailedText, TextLanguage::Russian)) + "\n");
}

bool ComposeOrReport(const CliOptions& options, Radiogram& radiogram) {
    ComposeResult composed = ComposeRadiogram(options.controls);
    if (composed.failed) {
        PrintGenerationFailure(options);
        return false;
    }
    radiogram = std::move(composed.radiogram);
    return true;
}

} // namespace qlor::cli
