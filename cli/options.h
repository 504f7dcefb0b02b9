#pragma once
// Options shared by the qlor-cli subcommands, each group written once and added to every
// subcommand that takes it: the text options (what radiogram is composed), the sound options (how
// it is keyed into MIDI), the output file and the terminal encoding. Every default is the default
// of the settings store. The parser is CLI11; ranges and choices are its validators, the ranges and
// defaults those of the settings table (synthesis/settings_table.h).
#include "cli/command_registry.h"
#include "synthesis/midi_writer.h"
#include "synthesis/morse_table.h"
#include "synthesis/settings_table.h"
#include "textgen/radiogram.h"

#include <CLI/CLI.hpp>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qlor::cli {

// Usage text of each group, for the one-line usage of a subcommand.
inline constexpr const char* kTextOptionsUsage =
    "[--number DDDD] [--type L|R|N|NC|LN|MX] [--groups N] [--group-size N] [--symbols TEXT] [--memo TEXT] "
    "[--header none|std|TEXT] [--ending none|std|TEXT] [--own TEXT]";
inline constexpr const char* kSoundOptionsUsage =
    "[--speed N] [--paris] [--pause-delay P] [--channel C] [--patch M] [--tone T] [--end-pause S]";
inline constexpr const char* kEncodingUsage = "[--encoding utf8|cp1251]";

// Sent texts, copies and protocols are typed or saved by hand; anything near this is not one [bytes].
inline constexpr uint64_t kMaxTextFileBytes = 32u << 20;

struct CliOptions {
    CliOptions();

    // The controls a radiogram is composed from; `controls.settings` holds every integer setting
    // (text number, speed digits, type, groups, pause, channel, patch).
    RadiogramControls controls;
    int tone = kToneDefault;              // "Tone", MIDI note number
    bool paris = false;                   // "Paris system": the speed is PARIS, not characters per minute
    int endPauseSeconds = 0;              // closing silence of each segment [s]; 0 means 5 s
    bool cp1251 = false;                  // texts on the command line and the terminal are cp1251, not UTF-8
    std::string out;                      // --out FILE
    std::vector<std::string> arguments;   // the plain arguments as given (file names stay as they are)
    std::vector<std::string> positionals; // the plain arguments converted to cp1251

    // Texts of the command line wait here until the encoding is known (it may be given after them).
    struct PendingText {
        std::string* target;
        std::string raw;
        bool memo; // a memo's lines end with CR LF
    };
    std::vector<PendingText> pendingTexts;

    const TransmissionSettings& Settings() const { return controls.settings; }
    // Channel, patch, pause and tone as the synthesis reads them.
    MidiVoice Voice() const;
    // The speed digits converted by the speed system and text type, raised to 5 [cpm].
    int SendingSpeedCpm() const;

    // Terminal/argument text <-> cp1251 by the chosen encoding.
    std::string ToCore(std::string_view terminalText) const;
    std::string ToTerminal(std::string_view cp1251) const;
};

// Settings of the whole command line, before any subcommand is added: an option given twice
// counts the last time (as a later word of a command line overrides an earlier one), and a flag
// takes no value ("--paris=yes" is a bad argument).
void ConfigureCommandLine(CLI::App& app);

// The groups. Text: --number --type --groups --group-size --symbols --memo --header --ending --own.
// Sound: --speed --paris --pause-delay --channel --patch --tone --end-pause.
void AddTextOptions(CLI::App& command, CliOptions& options);
void AddSoundOptions(CLI::App& command, CliOptions& options);
// --out FILE, required.
void AddOutOption(CLI::App& command, CliOptions& options, const std::string& description);
// --encoding utf8|cp1251.
void AddEncodingOption(CLI::App& command, CliOptions& options);
// --format with the given forms ("table", "csv", "json"; the first is the default), into `format`.
void AddFormatOption(CLI::App& command, std::string& format, const std::vector<std::string>& forms);

// Every subcommand adds its plain arguments last: up to `maxArguments` of them (`name` and
// `description` show them in the help). Added with them is the step after parsing: an unknown
// option or a surplus argument is a UsageError, and the texts are converted by the encoding.
// "--" ends the options; every word after it is a plain argument.
void AddArguments(CLI::App& command, CliOptions& options, size_t maxArguments = 0, const std::string& name = "",
                  const std::string& description = "");

// Parses `args` (without the program name) into `app`; throws CLI::ParseError or UsageError.
void ParseCommandLine(CLI::App& app, std::vector<std::string> args);

// The one line ("qlor-cli: " goes in front) that tells what was wrong with the arguments.
std::string UsageErrorText(const CLI::Error& error);
std::string UsageErrorText(const UsageError& error);

// Validators of option values; a failing one names the option, what it expects and what it got.
// A decimal integer in [min, max]; the value becomes its plain decimal form, so a leading 0 is no
// octal prefix ("050" is 50, as the panel shows speeds).
CLI::Validator IntIn(int min, int max);
// The same in the range qlor-cli takes for an entry of the settings table.
CLI::Validator IntIn(Setting id);
// Texts of an entry of the settings table for the help: its range of qlor-cli ("0000..9999" for
// the four digits of a text number), ", 0 <what 0 means>" (empty when 0 means nothing of its own)
// and " (default <default>)".
std::string CliRangeText(Setting id);
std::string ZeroClause(Setting id);
std::string DefaultClause(Setting id);
// A text type by its short name (L R N NC LN MX, any case) or number 0..5; the value becomes the
// number.
CLI::Validator TextType();
// A file name to write: not empty.
CLI::Validator OutputFileName();
// A value `accepted` admits, else "expected <expected>, got '<value>'".
CLI::Validator Accepted(std::function<bool(const std::string&)> accepted, const std::string& expected);
// A name that `parse` knows (a voice, a fading, a noise kind), else as Accepted.
template <typename T> CLI::Validator NameOf(bool (*parse)(const std::string&, T&), const std::string& expected) {
    return Accepted(
        [parse](const std::string& v) {
            T value{};
            return parse(v, value);
        },
        expected);
}

// The code table as the window has it: built-in patterns with "Morse.txt" of the current
// directory applied.
MorseTable LoadMorseTable();

// Writes cp1251 text to stdout/stderr in the chosen terminal encoding.
void PrintText(const CliOptions& options, std::string_view cp1251);
void PrintError(const CliOptions& options, std::string_view cp1251);
// "qlor-cli: <message>" on stderr, one line.
void PrintFailure(const std::string& message);

// The text generator's own message (caption and text) on stderr, one line.
void PrintGenerationFailure(const CliOptions& options);

// Composes the radiogram of the text options; on a failed generation prints the message and
// returns false (the subcommand then exits 1).
bool ComposeOrReport(const CliOptions& options, Radiogram& radiogram);

} // namespace qlor::cli
