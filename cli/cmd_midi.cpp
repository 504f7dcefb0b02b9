// qlor-cli midi: writes the MIDI file of one radiogram exactly as Run writes "temp.mid".
#include "cli/options.h"

namespace qlor::cli {
namespace {

int RunMidi(const std::vector<std::string>& args) {
    CliOptions options = ParseOptions(args, kTextOptions | kSoundOptions | kOutOption);
    Radiogram radiogram;
    if (!ComposeOrReport(options, radiogram)) {
        return 1;
    }
    const SegmentText segment{radiogram.header, radiogram.body, radiogram.ending, options.SendingSpeedCpm()};
    const MorseTable table = LoadMorseTable();
    MidiResult written = WriteMorseMidi(table, {segment}, options.out, options.endPauseSeconds, options.Voice());
    if (!written) {
        std::string message = "qlor-cli: " + written.message + "\n";
        std::fwrite(message.data(), 1, message.size(), stderr);
        return 1;
    }
    return 0;
}

const RegisterCommand kRegister("midi", RunMidi,
                                std::string("midi ") + kTextOptionsUsage + " " + kSoundOptionsUsage + " " +
                                    kEncodingUsage + " --out FILE  (writes the MIDI file Run would play)");

} // namespace
} // namespace qlor::cli
