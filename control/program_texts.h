#pragma once
// The program's own texts that are not caption-table entries: messages, status lines, words of
// the pages' own controls and the names the accessibility bus reads. Each is numbered and has an
// English and a Russian text (UTF-8). Like the texts that accompany the caption table, the English
// text is shown at language position 0 and the Russian one at every other position.
//
// Numbers are grouped by topic so that each topic keeps its own block:
//     1..99    transmission, Text page and file messages
//   100..149   batch export (Files page)
//   150..199   signal voice and sound
//   200..299   band conditions and audio export
//   300..499   accessible names and descriptions
//   500..599   progress window and drills
#include <span>
#include <string_view>

namespace qlor {

enum class TextLanguage { English, Russian };

// The language of the program's own texts at a language-list position.
inline TextLanguage TextLanguageAt(int languagePosition) {
    return languagePosition == 0 ? TextLanguage::English : TextLanguage::Russian;
}

enum class Say : int {
    // Transmission, Text page and file messages. "%1", "%2" ... are filled in by the caller.
    NothingToSendTitle = 1,
    NothingToSendText = 2,
    MorseFileNotWritten = 3, // %1 file, %2 reason
    NothingCanBePlayed = 4,  // %1 reason
    NoiseCannotBePlayed = 5, // %1 file, %2 reason
    FullAlphabet = 6,
    CannotOpenFile = 7,   // %1 file, %2 reason
    CannotReadFile = 8,   // %1 file, %2 reason
    CannotCreateFile = 9, // %1 file, %2 reason
    CannotWriteFile = 10, // %1 file, %2 reason
    NotRegularFile = 11,
    FileTooLarge = 12, // %1 size [MB]

    // Batch export.
    ExportWriting = 100, // %1 base name, %2 pair, %3 pairs
    ExportWritten = 101, // %1 pairs written, %2 pairs
    ExportStopped = 102, // %1 pairs written, %2 pairs
    ExportFailed = 103,  // %1 pair, %2 pairs, %3 written
    ExportFailure = 104, // %1 pair, %2 pairs, %3 the error naming the file

    // Signal voice.
    VoiceLabel = 150,
    VoiceHint = 151,
    VoiceAuto = 152,
    VoiceSoundFont = 153,
    VoiceTone = 154,

    // Band conditions and audio export.
    ExportAudioChoice = 200,
    ExportAudioHint = 201,
    ExportAudioFormat = 202,
    NoiseSnrHint = 203, // %1 ratio [dB]
    NoiseSnrNoNoise = 204,
    ExportAudioWritten = 205, // %1 files written, %2 files

    // History of checks, progress window and drills.
    HistoryDamaged = 500,    // %1 file, %2 reason, %3 where the damaged file is kept
    HistoryLocked = 501,     // %1 file, %2 reason
    HistoryReadOnly = 502,   // %1 file, %2 reason
    HistoryNewer = 503,      // %1 file
    HistoryCannotOpen = 504, // %1 file, %2 reason
    AlignedScore = 505,      // %1 errors, %2 heard wrong, %3 left out, %4 extra
    AlignedScoreName = 506,
    ProgressButton = 510,
    ProgressTitle = 511,
    ProgressChartName = 512,
    ProgressChartEmpty = 513,
    ProgressChartErrors = 514,
    ProgressChartSpeed = 515,
    ProgressWindowLabel = 516,
    ProgressLast20 = 517,
    ProgressLast100 = 518,
    ProgressAll = 519,
    ProgressSummary = 520, // %1 checks, %2 characters sent, %3 per cent missed
    ColumnCharacter = 521,
    ColumnSent = 522,
    ColumnCorrect = 523,
    ColumnOmitted = 524,
    ColumnErrorRate = 525,
    ColumnHeardAs = 526,
    ProgressTypeLabel = 527,
    DrillWeak = 530,
    DrillKoch = 531,
    DrillKochLesson = 532,        // %1 lesson, %2 its characters
    DrillNothingToPractise = 533, // %1 times
    DrillDone = 534,              // %1 the characters put into the list
    DrillKochTake = 535,
    ExportHistory = 540,
    ExportHistoryTitle = 541,
    ExportHistoryFilter = 542,
    ExportHistoryWritten = 543, // %1 checks, %2 file
    CloseWindow = 544,
};

struct ProgramTextEntry {
    Say id;
    std::string_view english;
    std::string_view russian;
};

// The text of `id` in `language`.
std::string_view ProgramText(Say id, TextLanguage language);
inline std::string_view ProgramText(Say id, int languagePosition) {
    return ProgramText(id, TextLanguageAt(languagePosition));
}

// Every entry, in number order.
std::span<const ProgramTextEntry> ProgramTexts();

} // namespace qlor
