// qlor-cli midi: writes the MIDI file of one radiogram exactly as Run writes "temp.mid".
#include "cli/options.h"

#include <memory>

namespace qlor::cli {
namespace {

int RunMidi(const CliOptions& options) {
    Radiogram radiogram;
    if (!ComposeOrReport(options, radiogram)) {
        return 1;
    }
    const SegmentText segment{radiogram.header, radiogram.body, radiogram.ending, options.SendingSpeedCpm()};
    const MorseTable table = LoadMorseTable();
    MidiResult written = WriteMorseMidi(table, {segment}, options.out, options.endPauseSeconds, options.Voice());
    if (!written) {
        PrintFailure(written.message);
        return 1;
    }
    return 0;
}

Command SetUpMidi(CLI::App& command) {
    auto options = std::make_shared<CliOptions>();
    AddTextOptions(command, *options);
    AddSoundOptions(command, *options);
    AddEncodingOption(command, *options);
    AddOutOption(command, *options, "the MIDI file to write");
    AddArguments(command, *options);
    return [options] { return RunMidi(*options); };
}

const RegisterCommand kRegisterMidi("midi", SetUpMidi,
                                    std::string("midi ") + kTextOptionsUsage + " " + kSoundOptionsUsage + " " +
                                        kEncodingUsage + " --out FILE  (writes the MIDI file Run would play)");

} // namespace
} // namespace qlor::cli
