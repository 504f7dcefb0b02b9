#include "exercises/batch_export.h"

#include "base/codepage.h"
#include "base/safe_file.h"
#include "control/program_texts.h"
#include "synthesis/timing.h"

#include <unistd.h>

namespace qlor {
namespace {

// An error text that surely names the file it is about.
std::string NamingFile(const std::string& path, const std::string& message) {
    if (message.find(path) != std::string::npos) {
        return message;
    }
    return path + ": " + (message.empty() ? std::string("cannot be written") : message);
}

// Renders the sound of a pair: the MIDI bytes go to a temporary file beside midiPath, `audio`
// renders it into a temporary sound file, which `rendered` then holds (uncommitted) for the pair.
std::string RenderPairAudio(const std::string& midiPath, std::string_view midiBytes, const std::string& audioPath,
                            const ExportAudioWriter& audio, PartFile& rendered) {
    PartFile midiCopy;
    if (std::string error = midiCopy.Create(midiPath, ".render.mid"); !error.empty()) {
        return error;
    }
    if (std::string error = midiCopy.Write(midiBytes); !error.empty()) {
        return midiCopy.TempPath() + ": " + error;
    }
    // The sound file is rendered under a name of its own, then taken over by `rendered`, so that
    // it is removed again when the pair cannot be completed.
    const size_t dot = audioPath.rfind('.');
    if (std::string error = rendered.CreateAt(audioPath, audioPath.substr(0, dot) + ".new" + audioPath.substr(dot));
        !error.empty()) {
        return error;
    }
    ::close(rendered.Descriptor()); // the renderer writes the file by its name
    rendered.Release();
    const std::string error = audio(midiCopy.TempPath(), rendered.TempPath());
    midiCopy.Discard();
    return error;
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
        item.segment.body = Cp(ProgramText(Say::ExportFailureBody, TextLanguage::Russian));
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

int ExportFilesPerItem(const ExportParams& params) {
    return params.audioExtension.empty() ? 2 : 3;
}

ExportResult RunExport(const MorseTable& table, const ExportParams& params,
                       const std::function<bool(int, int)>& progress,
                       const std::function<void(const ExportItem&, int)>& planned, const ExportAudioWriter& audio) {
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
        // The pair is written as one: its files under temporary names, renamed only when all are
        // complete, so an answer key never stands beside audio of another text and a failed pair
        // leaves the old pair of that name whole.
        const std::string textPath = JoinFolder(params.folder, item.baseName + ".txt");
        const std::string midiPath = JoinFolder(params.folder, item.baseName + ".mid");
        const MidiResult midi = BuildMorseMidi(table, {item.segment}, 0, params.voice);
        if (!midi) {
            result.error = NamingFile(midiPath, midi.message);
            return result;
        }
        const std::string_view midiBytes(reinterpret_cast<const char*>(midi.bytes.data()), midi.bytes.size());
        // The sound is rendered first, from the new MIDI file under a temporary name, into a
        // temporary sound file; it joins the pair only once the pair itself is in place.
        PartFile renderedAudio;
        std::string audioPath;
        if (!params.audioExtension.empty() && audio) {
            audioPath = JoinFolder(params.folder, item.baseName + "." + params.audioExtension);
            if (std::string error = RenderPairAudio(midiPath, midiBytes, audioPath, audio, renderedAudio);
                !error.empty()) {
                result.error = NamingFile(audioPath, error);
                return result;
            }
        }
        const FileToWrite pair[] = {{textPath, item.displayed}, {midiPath, midiBytes}};
        if (std::string error = WriteFilesAtomically(pair); !error.empty()) {
            result.error = error;
            return result;
        }
        if (!audioPath.empty()) {
            if (std::string error = renderedAudio.Commit(); !error.empty()) {
                result.error = NamingFile(audioPath, error);
                return result;
            }
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
