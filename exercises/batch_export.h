#pragma once
// Batch export: a numbered series of text + MIDI file pairs, each optionally with the radiogram as
// sound beside them.
#include "synthesis/midi_writer.h"
#include "textgen/radiogram.h"

#include <functional>
#include <string>

namespace qlor {

struct ExportParams {
    RadiogramControls controls; // header/ending/symbols/settings (own-text mode is ignored)
    bool cpm = true;            // OurSystem checked
    MidiVoice voice;            // channel, patch, pause delay, tone
    std::string folder;         // PathDir (a file-system path, UTF-8); empty = current directory
    std::string audioExtension; // "ogg", "flac", "mp3" or "wav": each pair also gets BASE.<ext>; empty: none
};

// Renders a written MIDI file into an audio file (the callers sound it as Run would); returns an
// error text naming the file, empty on success. A failure must leave no file under `audioPath`.
using ExportAudioWriter = std::function<std::string(const std::string& midiPath, const std::string& audioPath)>;

struct ExportItem {
    std::string baseName;  // "0417-01"
    std::string displayed; // text file content (cp1251)
    SegmentText segment;   // MIDI segment
    bool generationFailed = false;
};

int ExportFileCount(const TransmissionSettings& s); // 0 means 1
// "d1d2d3d4-0i" for i < 10, "d1d2d3d4-i" from 10 on.
std::string ExportBaseName(const TransmissionSettings& s, int i);
ExportItem PlanExportItem(const ExportParams& params, int i); // i = 1..N
// Files written for each radiogram: the text and MIDI files, and the sound file when asked for.
int ExportFilesPerItem(const ExportParams& params);

struct ExportResult {
    int written = 0; // pairs fully written (with their sound file when one was asked for)
    int failedGenerations = 0;
    std::string error;      // empty on success; else names the file that failed (UTF-8)
    bool cancelled = false; // the progress callback asked to stop
};
// Writes the whole series. progress(i, n) is called after each pair; returning false cancels.
// planned(item, i), when given, sees each pair's plan before it is written (a window shows the
// generator's message for every item whose generation failed). With an audio extension, `audio`
// renders each pair's sound file after its MIDI file; when it fails, the text and MIDI files of
// that pair are removed again, so the files of a pair are there together or not at all.
ExportResult RunExport(const MorseTable& table, const ExportParams& params,
                       const std::function<bool(int, int)>& progress = {},
                       const std::function<void(const ExportItem&, int)>& planned = {},
                       const ExportAudioWriter& audio = {});

} // namespace qlor
