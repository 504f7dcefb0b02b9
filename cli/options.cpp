#include "cli/options.h"

#include "base/codepage.h"
#include "control/program_texts.h"
#include "exercises/check_report.h"
#include "synthesis/timing.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <iostream>
#include <optional>
#include <utility>

namespace qlor::cli {
namespace {

// The plain arguments are one option of the parser that always wants more, so that "--" is always
// the subcommand's own end of options and never hands the rest back to the command line above.
constexpr int kUnlimitedArguments = 1 << 20;

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

// Up to four decimal digits, the text number as the panel shows it.
bool IsTextNumber(const std::string& text) {
    return !text.empty() && text.size() <= static_cast<size_t>(EntryOf(Setting::TextNumber).digits) &&
           text.find_first_not_of("0123456789") == std::string::npos;
}

// A value of an entry as the help shows it: the text number with all its digits.
std::string ValueText(Setting id, int value) {
    std::string text = std::to_string(value);
    if (id == Setting::TextNumber && text.size() < static_cast<size_t>(EntryOf(id).digits)) {
        text.insert(0, static_cast<size_t>(EntryOf(id).digits) - text.size(), '0');
    }
    return text;
}

} // namespace

CliOptions::CliOptions() {
    controls.settings = DefaultTransmissionSettings();
    controls.selectedSymbols = FullAlphabet();
}

MidiVoice CliOptions::Voice() const {
    return SettingsVoice(controls.settings, tone);
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

CLI::Validator IntIn(int min, int max) {
    const std::string range = std::to_string(min) + ".." + std::to_string(max);
    return CLI::Validator(
        [min, max, range](std::string& text) -> std::string {
            int value = 0;
            const char* end = text.data() + text.size();
            const auto [ptr, ec] = std::from_chars(text.data(), end, value);
            if (text.empty() || ec == std::errc::invalid_argument || ptr != end) {
                return "expected a number, got '" + text + "'";
            }
            if (ec == std::errc::result_out_of_range || value < min || value > max) {
                return text + " is out of range " + range;
            }
            text = std::to_string(value);
            return {};
        },
        range);
}

CLI::Validator IntIn(Setting id) {
    const IntRange range = CliRangeOf(id);
    return IntIn(range.min, range.max);
}

std::string CliRangeText(Setting id) {
    const IntRange range = CliRangeOf(id);
    return ValueText(id, range.min) + ".." + ValueText(id, range.max);
}

std::string ZeroClause(Setting id) {
    const std::string_view means = EntryOf(id).zeroMeans;
    return means.empty() ? std::string() : ", 0 " + std::string(means);
}

std::string DefaultClause(Setting id) {
    return " (default " + ValueText(id, DefaultOf(id)) + ")";
}

CLI::Validator TextType() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            std::string upper;
            for (char c : text) {
                upper += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
            }
            const IntRange types = CliRangeOf(Setting::TextType);
            for (int type = types.min; type <= types.max; ++type) {
                if (upper == TextTypeShortName(type) || upper == std::to_string(type)) {
                    text = std::to_string(type);
                    return {};
                }
            }
            return "expected one of L, R, N, NC, LN, MX (or " + CliRangeText(Setting::TextType) + "), got '" + text +
                   "'";
        },
        "");
}

CLI::Validator OutputFileName() {
    return CLI::Validator([](const std::string& v) { return v.empty() ? "empty file name" : ""; }, "");
}

CLI::Validator Accepted(std::function<bool(const std::string&)> accepted, const std::string& expected) {
    return CLI::Validator(
        [accepted = std::move(accepted), expected](const std::string& text) -> std::string {
            return accepted(text) ? std::string() : "expected " + expected + ", got '" + text + "'";
        },
        "");
}

void ConfigureCommandLine(CLI::App& app) {
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast)->disable_flag_override();
}

void AddTextOptions(CLI::App& command, CliOptions& o) {
    TransmissionSettings& s = o.controls.settings;
    // A text of the command line, converted once the encoding is known.
    auto text = [&o](std::string* target, bool memo) {
        return [&o, target, memo](const std::string& raw) { o.pendingTexts.push_back({target, raw, memo}); };
    };
    command
        .add_option_function<std::string>(
            "--number",
            [&s](const std::string& v) {
                SetDigits(std::stoi(v), s.number.data(), EntryOf(Setting::TextNumber).digits);
            },
            "text number, seeds the generator" + DefaultClause(Setting::TextNumber))
        ->check(Accepted(IsTextNumber, "up to four digits (" + CliRangeText(Setting::TextNumber) + ")"))
        ->type_name("DDDD");
    command
        .add_option("--type", s.textType,
                    "text type: letters, Russian, figures, figures with letters, "
                    "letters and figures, mixed (default " +
                        std::string(TextTypeShortName(DefaultOf(Setting::TextType))) + ")")
        ->transform(TextType())
        ->type_name("L|R|N|NC|LN|MX");
    command
        .add_option_function<int>(
            "--groups", [&s](int v) { SetDigits(v, s.groups.data(), EntryOf(Setting::Groups).digits); },
            "group count" + ZeroClause(Setting::Groups) + DefaultClause(Setting::Groups))
        ->transform(IntIn(Setting::Groups))
        ->type_name("N");
    command
        .add_option_function<int>(
            "--group-size", [&s](int v) { s.charInGroup = v % 10; }, // a stored 0 means 10
            "characters per group" + ZeroClause(Setting::CharInGroup) + DefaultClause(Setting::CharInGroup))
        ->transform(IntIn(Setting::CharInGroup))
        ->type_name("N");
    // --symbols and --memo fill the same list: the one given last counts, so both run in the order given.
    command
        .add_option_function<std::string>(
            "--symbols",
            [&o, fill = text(&o.controls.selectedSymbols, true)](const std::string& v) {
                o.controls.allSymbols = false;
                fill(v);
            },
            "draw only from the characters of TEXT")
        ->trigger_on_parse()
        ->type_name("TEXT");
    command
        .add_option_function<std::string>(
            "--memo",
            [&o, fill = text(&o.controls.selectedSymbols, true)](const std::string& v) {
                o.controls.allSymbols = true;
                fill(v);
            },
            "symbol list kept while all symbols are used")
        ->trigger_on_parse()
        ->type_name("TEXT");
    auto frame = [&o, text](bool header) {
        return [&o, header, text](const std::string& v) {
            bool& need = header ? o.controls.needHeader : o.controls.needEnded;
            bool& standard = header ? o.controls.headerStandard : o.controls.endedStandard;
            need = v != "none";
            if (v == "std") {
                standard = true;
            } else if (need) {
                standard = false;
                text(header ? &o.controls.beginChar : &o.controls.endChar, false)(v);
            }
        };
    };
    command.add_option_function<std::string>("--header", frame(true), "no header, \"vvv=\" or TEXT (default std)")
        ->type_name("none|std|TEXT");
    command
        .add_option_function<std::string>("--ending", frame(false),
                                          "no ending, a line break and \"*\" or TEXT (default std)")
        ->type_name("none|std|TEXT");
    command
        .add_option_function<std::string>(
            "--own",
            [&o, fill = text(&o.controls.memoText, true)](const std::string& v) {
                o.controls.ownText = true;
                fill(v);
            },
            "send TEXT instead of a generated radiogram")
        ->type_name("TEXT");
}

void AddSoundOptions(CLI::App& command, CliOptions& o) {
    TransmissionSettings& s = o.controls.settings;
    command
        .add_option_function<int>(
            "--speed", [&s](int v) { SetDigits(v, s.speed.data(), EntryOf(Setting::Speed).digits); },
            "speed, raised to 5 after conversion" + DefaultClause(Setting::Speed))
        ->transform(IntIn(Setting::Speed))
        ->type_name("N");
    command.add_flag("--paris", o.paris, "the speed is PARIS, converted by the text type");
    command
        .add_option("--pause-delay", s.pauseDelayDots,
                    "gap between characters in dot lengths" + DefaultClause(Setting::PauseDelay))
        ->transform(IntIn(Setting::PauseDelay))
        ->type_name("P");
    command.add_option("--channel", s.midiChannel, "MIDI channel as stored" + DefaultClause(Setting::MidiChannel))
        ->transform(IntIn(Setting::MidiChannel))
        ->type_name("C");
    command.add_option("--patch", s.midiPatch, "MIDI program" + DefaultClause(Setting::MidiPatch))
        ->transform(IntIn(Setting::MidiPatch))
        ->type_name("M");
    command.add_option("--tone", o.tone, "MIDI note" + DefaultClause(Setting::Tone))
        ->transform(IntIn(Setting::Tone))
        ->type_name("T");
    command
        .add_option("--end-pause", o.endPauseSeconds,
                    "silence after each segment [s]" + ZeroClause(Setting::EndPause) + DefaultClause(Setting::EndPause))
        ->transform(IntIn(Setting::EndPause))
        ->type_name("S");
}

void AddOutOption(CLI::App& command, CliOptions& o, const std::string& description) {
    command.add_option("--out", o.out, description)->required()->check(OutputFileName())->type_name("FILE");
}

namespace {

// The spellings of the two encodings: true for Windows-1251, false for UTF-8, none for others.
std::optional<bool> Cp1251ByName(const std::string& v) {
    if (v == "cp1251" || v == "CP1251" || v == "windows-1251")
        return true;
    if (v == "utf8" || v == "utf-8" || v == "UTF-8")
        return false;
    return std::nullopt;
}

} // namespace

void AddEncodingOption(CLI::App& command, CliOptions& o) {
    command
        .add_option_function<std::string>(
            "--encoding", [&o](const std::string& v) { o.cp1251 = Cp1251ByName(v).value_or(false); },
            "texts on the command line and the terminal (default utf8)")
        ->check(Accepted([](const std::string& v) { return Cp1251ByName(v).has_value(); }, "utf8 or cp1251"))
        ->type_name("utf8|cp1251");
}

void AddFormatOption(CLI::App& command, std::string& format, const std::vector<std::string>& forms) {
    std::string names;
    for (size_t i = 0; i < forms.size(); ++i)
        names += (i == 0 ? "" : i + 1 == forms.size() ? " or " : ", ") + forms[i];
    std::string pipes;
    for (const std::string& form : forms)
        pipes += (pipes.empty() ? "" : "|") + form;
    command.add_option("--format", format, "the output's form (default " + forms.front() + ")")
        ->check(Accepted(
            [forms](const std::string& v) { return std::find(forms.begin(), forms.end(), v) != forms.end(); }, names))
        ->type_name(pipes);
}

void AddArguments(CLI::App& command, CliOptions& o, size_t maxArguments, const std::string& name,
                  const std::string& description) {
    command.allow_extras(); // unknown options are told apart below, with their own message
    command.add_option(name.empty() ? "ARGUMENTS" : name, o.arguments, description)
        ->expected(kUnlimitedArguments)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
        ->group(maxArguments == 0 ? "" : "Arguments");
    command.callback([&command, &o, maxArguments] {
        for (const std::string& extra : command.remaining()) {
            if (extra != "--") { // the end of the options
                throw UsageError{"unknown option '" + extra.substr(0, extra.find('=')) + "'"};
            }
        }
        if (o.arguments.size() > maxArguments) {
            throw UsageError{"unexpected argument '" + o.arguments[maxArguments] + "'"};
        }
        for (CliOptions::PendingText& t : o.pendingTexts) {
            const std::string converted = o.ToCore(t.raw);
            *t.target = t.memo ? MemoLines(converted) : converted;
        }
        o.pendingTexts.clear();
        for (const std::string& argument : o.arguments) {
            o.positionals.push_back(o.ToCore(argument));
        }
    });
}

void ParseCommandLine(CLI::App& app, std::vector<std::string> args) {
    std::reverse(args.begin(), args.end()); // the parser takes the words from the back
    app.parse(args);
}

namespace {

// The words quoted in a message may hold line breaks and other control characters; they are shown
// as \xNN so that the message stays on its one line.
std::string OneLine(std::string_view text) {
    std::string line;
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
            static const char kHex[] = "0123456789abcdef";
            line += "\\x";
            line += kHex[(c >> 4) & 0xf];
            line += kHex[c & 0xf];
        } else {
            line += c;
        }
    }
    return line;
}

} // namespace

std::string UsageErrorText(const UsageError& error) {
    return error.message.empty() ? "bad arguments" : OneLine(error.message);
}

std::string UsageErrorText(const CLI::Error& error) {
    std::string text = OneLine(error.what());
    // Two of the parser's own texts, said as the rest of the program says them.
    const std::string_view flagOverride = " was given a disallowed flag override";
    if (text.size() > flagOverride.size() && text.ends_with(flagOverride)) {
        return "--" + text.substr(0, text.size() - flagOverride.size()) + " takes no value";
    }
    if (const size_t colon = text.find(": "); colon != std::string::npos && text.ends_with(" missing") &&
                                              text.find(" required ", colon) != std::string::npos) {
        return text.substr(0, colon) + ": missing value";
    }
    return text.empty() ? "bad arguments" : text;
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

void PrintFailure(const std::string& message) {
    WriteAll(stderr, "qlor-cli: " + message + "\n");
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
