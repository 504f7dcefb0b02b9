#pragma once
// Batch export: a numbered series of text + MIDI file pairs.
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
};

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
std::string JoinFolder(const std::string& folder, const std::string& fileName);

struct ExportResult {
    int written = 0; // pairs fully written
    int failedGenerations = 0;
    std::string error;      // empty on success; else names the file that failed (UTF-8)
    bool cancelled = false; // the progress callback asked to stop
};
// Writes the whole series. progress(i, n) is called after each pair; returning false cancels.
// planned(item, i), when given, sees each pair's plan before it is written (a window shows the
// generator's message for every item whose generation failed).
ExportResult RunExport(const MorseTable& table, const ExportParams& params,
                       const std::function<bool(int, int)>& progress = {},
                       const std::function<void(const ExportItem&, int)>& planned = {});

} // namespace qlor
