#include "exercises/batch_export.h"

#include "synthesis/timing.h"

namespace qlor {
namespace {

// An error text that surely names the file it is about.
std::string NamingFile(const std::string& path, const std::string& message) {
    if (message.find(path) != std::string::npos) {
        return message;
    }
    return path + ": " + (message.empty() ? std::string("cannot be written") : message);
}

} // namespace

int ExportFileCount(const TransmissionSettings& s) {
    const int count = FileCount(s);
    return count == 0 ? 1 : count;
}

std::string ExportBaseName(const TransmissionSettings& s, int i) {
    std::string name;
    for (int digit : s.number) {
        name += std::to_string(digit);
    }
    name += i < 10 ? "-0" : "-";
    name += std::to_string(i);
    return name;
}

ExportItem PlanExportItem(const ExportParams& params, int i) {
    const RadiogramControls& c = params.controls;
    const TransmissionSettings& s = c.settings;

    ExportItem item;
    item.baseName = ExportBaseName(s, i);
    item.segment.speedCpm = SendingSpeed(SpeedValue(s), s.textType, params.cpm);

    // Header as the Run command composes it; the displayed text starts with it.
    item.segment.header = RadiogramHeader(c);
    item.displayed = item.segment.header;

    // The text is always generated here, whatever the own-text mode says.
    GenerateParams gen = RadiogramGenerateParams(c);
    gen.d4 += i; // file i carries text number + i
    GenerateResult generated = GenerateText(gen);
    if (generated.failed || generated.body.empty()) {
        // The export goes on: the MIDI file keys the failure text, the text file gets no body.
        item.generationFailed = true;
        item.segment.body = ExportFailureBody();
    } else {
        item.displayed += generated.body;
        item.segment.body = std::move(generated.body);
    }

    item.segment.ending = RadiogramEnding(c);
    item.displayed += item.segment.ending;
    if (item.displayed.empty()) {
        item.displayed.assign(1, '*');
    }
    return item;
}

std::string JoinFolder(const std::string& folder, const std::string& fileName) {
    if (folder.empty()) {
        return fileName;
    }
    if (folder.back() == '/') {
        return folder + fileName;
    }
    return folder + "/" + fileName;
}

ExportResult RunExport(const MorseTable& table, const ExportParams& params,
                       const std::function<bool(int, int)>& progress,
                       const std::function<void(const ExportItem&, int)>& planned) {
    ExportResult result;
    const int n = ExportFileCount(params.controls.settings);
    for (int i = 1; i <= n; ++i) {
        ExportItem item = PlanExportItem(params, i);
        if (item.generationFailed) {
            ++result.failedGenerations;
        }
        if (planned) {
            planned(item, i);
        }
        // The pair is written as one: both files under temporary names, renamed only when both
        // are complete, so an answer key never stands beside audio of another text and a failed
        // pair leaves the old pair of that name whole.
        const std::string textPath = JoinFolder(params.folder, item.baseName + ".txt");
        const std::string midiPath = JoinFolder(params.folder, item.baseName + ".mid");
        const MidiResult midi = BuildMorseMidi(table, {item.segment}, 0, params.voice);
        if (!midi) {
            result.error = NamingFile(midiPath, midi.message);
            return result;
        }
        const FileToWrite pair[] = {
            {textPath, item.displayed},
            {midiPath, std::string_view(reinterpret_cast<const char*>(midi.bytes.data()), midi.bytes.size())}};
        if (std::string error = WriteFilesAtomically(pair); !error.empty()) {
            result.error = error;
            return result;
        }
        ++result.written;
        if (progress && !progress(i, n)) {
            result.cancelled = i < n;
            return result;
        }
    }
    return result;
}

} // namespace qlor
