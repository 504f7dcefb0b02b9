#pragma once
// Option parsing shared by the qlor-cli subcommands: the text options (what radiogram is
// composed), the sound options (how it is keyed into MIDI), the output file and the terminal
// encoding. Every default is the default of the settings store.
#include "cli/command_registry.h"
#include "synthesis/midi_writer.h"
#include "synthesis/morse_table.h"
#include "textgen/radiogram.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace qlor::cli {

// Which option groups a subcommand accepts (combine with |). `--encoding` is always accepted.
enum OptionGroup : unsigned {
    kTextOptions = 1,  // --number --type --groups --group-size --symbols --memo --header --ending --own
    kSoundOptions = 2, // --speed --paris --pause-delay --channel --patch --tone --end-pause
    kOutOption = 4,    // --out FILE (required when accepted)
};

// Usage text of each group, for the one-line usage of a subcommand.
inline constexpr const char* kTextOptionsUsage =
    "[--number DDDD] [--type L|R|N|NC|LN|MX] [--groups N] [--group-size N] [--symbols TEXT] [--memo TEXT] "
    "[--header none|std|TEXT] [--ending none|std|TEXT] [--own TEXT]";
inline constexpr const char* kSoundOptionsUsage =
    "[--speed N] [--paris] [--pause-delay P] [--channel C] [--patch M] [--tone T] [--end-pause S]";
inline constexpr const char* kEncodingUsage = "[--encoding utf8|cp1251]";

struct CliOptions {
    // The controls a radiogram is composed from; `controls.settings` holds every integer setting
    // (text number, speed digits, type, groups, pause, channel, patch).
    RadiogramControls controls;
    int tone = kToneDefault;              // "Tone", MIDI note number
    bool paris = false;                   // "Paris system": the speed is PARIS, not characters per minute
    int endPauseSeconds = 0;              // closing silence of each segment [s]; 0 means 5 s
    bool cp1251 = false;                  // texts on the command line and the terminal are cp1251, not UTF-8
    std::string out;                      // --out FILE
    std::vector<std::string> positionals; // converted to cp1251

    const TransmissionSettings& Settings() const { return controls.settings; }
    // Channel, patch, pause and tone as the synthesis reads them.
    MidiVoice Voice() const;
    // The speed digits converted by the speed system and text type, raised to 5 [cpm].
    int SendingSpeedCpm() const;

    // Terminal/argument text <-> cp1251 by the chosen encoding.
    std::string ToCore(std::string_view terminalText) const;
    std::string ToTerminal(std::string_view cp1251) const;
};

// Hook for a subcommand's own options. `name` is the option as written ("--count"); `value()`
// fetches its argument (a missing one is a usage error). Return false for an unknown option.
using ExtraOption = std::function<bool(const std::string& name, const std::function<std::string()>& value)>;

// Parses `args` (as the subcommand receives them). Options may be written "--name value" or
// "--name=value"; "--" ends the options. Throws UsageError for an unknown option, a bad or
// out-of-range value, a missing --out (when kOutOption is accepted) or more than
// `maxPositionals` plain arguments.
CliOptions ParseOptions(const std::vector<std::string>& args, unsigned groups, const ExtraOption& extra = {},
                        size_t maxPositionals = 0);

// A text type by its short name (L R N NC LN MX, any case) or number 0..5, else UsageError.
int ParseTextType(const std::string& text);

// A decimal integer in [min, max] for `option`, else UsageError naming the option and range.
int ParseIntOption(const std::string& option, const std::string& text, int min, int max);

// The code table as the window has it: built-in patterns with "Morse.txt" of the current
// directory applied.
MorseTable LoadMorseTable();

// Writes cp1251 text to stdout/stderr in the chosen terminal encoding.
void PrintText(const CliOptions& options, std::string_view cp1251);
void PrintError(const CliOptions& options, std::string_view cp1251);

// The text generator's own message (caption and text) on stderr, one line.
void PrintGenerationFailure(const CliOptions& options);

// Composes the radiogram of the text options; on a failed generation prints the message and
// returns false (the subcommand then exits 1).
bool ComposeOrReport(const CliOptions& options, Radiogram& radiogram);

} // namespace qlor::cli
