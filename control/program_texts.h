#pragma once
// The program's own texts that are not caption-table entries: messages, status lines, words of
// the pages' own controls and the names the accessibility bus reads. Each is numbered and has an
// English and a Russian text (UTF-8). The window shows them in the language chosen: English at
// language position 0, elsewhere the texts the language file gives (ProgramTextTable, entries
// kProgramTextEntryBase + number), English where it gives none; the shipped "Russian.lng" carries
// the Russian column. Texts of fixed wording are never taken from a language file: the competition
// protocol is English at position 0 and Russian elsewhere; the check list, the text generator's
// message and the file names and filters of the window's file dialogs have the same wording in
// both columns.
//
// Numbers are grouped by topic so that each topic keeps its own block:
//     1..99    transmission, Text page and file messages
//   100..149   batch export (Files page)
//   150..199   signal voice, sound and the window's scale
//   200..299   band conditions and audio export
//   300..499   accessible names and descriptions
//   500..599   progress window and drills
//   600..649   competition protocol (Windows-1251 in the protocol)
//   650..699   reception check list (Windows-1251 in the list)
//   700..749   Koch course and instant character recognition
//   800..839   trainer window and its high-speed receiving test
//   840..899   the trainer window's course and recognition pages
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qlor {

// The two built-in columns of the table.
enum class TextLanguage { English, Russian };

// A language file carries text N of this table as entry kProgramTextEntryBase + N, clear of the
// caption table's entries 1..120.
inline constexpr int kProgramTextEntryBase = 1000;

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
    FileTooLarge = 12,   // %1 size [MB]
    TextOpenFilter = 13, // the same in every language, like the two below
    TextSaveFilter = 14,
    NoiseOpenFilter = 15,
    FolderMissing = 16, // %1 folder
    NotEnoughMemory = 17,
    InstanceLockUnguarded = 18,
    GenerationFailedTitle = 19, // the text generator's message, the same in every language
    GenerationFailedText = 20,

    // Batch export.
    ExportWriting = 100,     // %1 base name, %2 pair, %3 pairs
    ExportWritten = 101,     // %1 pairs written, %2 pairs
    ExportStopped = 102,     // %1 pairs written, %2 pairs
    ExportFailed = 103,      // %1 pair, %2 pairs, %3 written
    ExportFailure = 104,     // %1 pair, %2 pairs, %3 the error naming the file
    ExportFailureBody = 105, // keyed when a text cannot be generated; the same in every language

    // Signal voice.
    VoiceLabel = 150,
    VoiceHint = 151,
    VoiceAuto = 152,
    VoiceSoundFont = 153,
    VoiceTone = 154,
    WindowScaleLabel = 155,
    WindowScaleHint = 156,
    WindowScalePercent = 157, // %1 percent

    // Band conditions and audio export.
    ExportAudioChoice = 200,
    ExportAudioHint = 201,
    ExportAudioFormat = 202,
    NoiseSnrHint = 203, // %1 ratio [dB]
    NoiseSnrNoNoise = 204,
    ExportAudioWritten = 205, // %1 files written, %2 files
    BandButton = 230,
    BandButtonHint = 231,
    BandTitle = 232,
    BandPresetLabel = 233,
    BandPresetHint = 234,
    BandPresetOff = 235,
    BandPresetQuiet = 236,
    BandPresetAverage = 237,
    BandPresetContest = 238,
    BandPresetPoor = 239,
    BandSnrLabel = 240,
    BandSnrHint = 241,
    BandFilterLabel = 242,
    BandFilterWidth = 243, // %1 width [Hz]
    BandAgc = 244,
    BandAgcHint = 245,
    BandSeedLabel = 246,
    BandSeedText = 247,
    BandSeedRandom = 248,
    BandSeedHint = 249,
    BandClose = 250,
    BandSnrToolTip = 251, // %1 preset, %2 ratio [dB]
    BandFilterHint = 252,
    BandCloseHint = 253,

    // Accessible names and descriptions. "Name" entries are what a screen reader calls a control,
    // "Desc" entries what it adds about it.
    AccTransmissionStartDesc = 300,
    AccTransmissionStopDesc = 301,
    AccTransmissionLampIdle = 302,
    AccTransmissionLampOnAir = 303,
    AccTransmissionProgressName = 304,
    AccTransmissionProgressDesc = 305,
    AccMainVolumeName = 306,
    AccMainVolumeDesc = 307,
    AccNoiseVolumeName = 308,
    AccNoiseVolumeDesc = 309,
    AccBlankPage = 310,
    AccPictureName = 311,
    AccPictureDesc = 312,

    // Text page.
    AccSentTextName = 320,
    AccSentTextDesc = 321,
    AccOpenTextDesc = 322,
    AccSaveTextDesc = 323,
    AccClearTextDesc = 324,

    // Reception page.
    AccCopyName = 330,
    AccCopyDesc = 331,
    AccCheckListName = 332,
    AccCheckListDesc = 333,
    AccCheckDesc = 334,
    AccSaveCheckListDesc = 335,
    AccClearCopyDesc = 336,

    // Competition and its parameters.
    AccProtocolName = 340,
    AccProtocolDesc = 341,
    AccCompetitionStatusName = 342,
    AccCompetitionStatusDesc = 343,
    AccCompetitionProgressName = 344,
    AccCompetitionProgressDesc = 345,
    AccCompetitionStartDesc = 346,
    AccCompetitionStopDesc = 347,
    AccSaveProtocolDesc = 348,
    AccClearProtocolDesc = 349,
    AccTrainingTextDesc = 350,

    // Files page.
    AccFolderName = 360,
    AccFolderDesc = 361,
    AccChooseFolderName = 362,
    AccChooseFolderDesc = 363,
    AccWriteFilesDesc = 364,
    AccExportProgressName = 365,
    AccExportProgressDesc = 366,
    AccExportStatusName = 367,
    AccExportStatusDesc = 368,

    // Text options page, with the names of its groups of radio buttons.
    AccHeaderGroup = 380,
    AccEndingGroup = 381,
    AccSymbolGroup = 382,
    AccNeedHeaderDesc = 383,
    AccStandardHeaderDesc = 384,
    AccOwnHeaderChoiceDesc = 385,
    AccOwnHeaderName = 386,
    AccOwnHeaderDesc = 387,
    AccNeedEndingDesc = 388,
    AccStandardEndingDesc = 389,
    AccOwnEndingChoiceDesc = 390,
    AccOwnEndingName = 391,
    AccOwnEndingDesc = 392,
    AccAllSymbolsDesc = 393,
    AccSelectedSymbolsChoiceDesc = 394,
    AccSelectedSymbolsName = 395,
    AccSelectedSymbolsDesc = 396,
    AccOwnTextDesc = 397,
    AccAutoReceptionDesc = 398,

    // Configuration page. "%1" is the short name of the noise type of the row.
    AccToneName = 410,
    AccToneDesc = 411,
    AccNoiseFileName = 412,
    AccNoiseFileDesc = 413,
    AccChooseNoiseFileName = 414,
    AccChooseNoiseFileDesc = 415,
    AccSpeedSystemGroup = 416,
    AccCpmDesc = 417,
    AccParisDesc = 418,
    AccLanguageName = 419,
    AccLanguageDesc = 420,
    AccVoiceName = 421,
    AccVoiceDesc = 422,
    AccWindowScaleName = 423,
    AccWindowScaleDesc = 424,

    // Step buttons and value cells: "%1" the setting, "%2" the digit.
    AccStepDigitUp = 440,
    AccStepDigitDown = 441,
    AccStepUp = 442,
    AccStepDown = 443,
    AccStepDigitUpDesc = 444,
    AccStepDigitDownDesc = 445,
    AccStepUpDesc = 446,
    AccStepDownDesc = 447,
    AccCellDigit = 448,
    AccThousandsDigit = 450,
    AccHundredsDigit = 451,
    AccTensDigit = 452,
    AccUnitsDigit = 453,
    AccTextType = 460,
    AccTextNumber = 461,
    AccSpeed = 462,
    AccPause = 463,
    AccNoiseType = 464,
    AccGroupCount = 465,
    AccCharactersPerGroup = 466,
    AccFileCount = 467,
    AccInitialSpeed = 468,
    AccFinalSpeed = 469,
    AccMidiChannel = 470,
    AccMidiProgram = 471,
    AccProgressDesc = 472,
    AccProgressChecksName = 473,
    AccProgressChecksDesc = 474,
    AccProgressTypeName = 475,
    AccProgressTypeDesc = 476,
    AccProgressSummaryName = 477,
    AccProgressChartDesc = 478,
    AccProgressTableName = 479,
    AccProgressTableDesc = 480,
    AccDrillWeakDesc = 481,
    AccKochLessonName = 482,
    AccDrillKochDesc = 483,
    AccExportHistoryDesc = 484,
    AccProgressStatusName = 485,
    AccCheckTotal = 486, // %1 errors of the check list
    AccBandButtonDesc = 487,

    // History of checks, progress window and drills.
    HistoryDamaged = 500,    // %1 file, %2 reason, %3 where the damaged file is kept
    HistoryLocked = 501,     // %1 file, %2 reason
    HistoryReadOnly = 502,   // %1 file, %2 reason
    HistoryNewer = 503,      // %1 file
    HistoryCannotOpen = 504, // %1 file, %2 reason
    AlignedScore = 505,      // %1 errors, %2 heard wrong, %3 left out, %4 extra; three short lines
    AlignedScoreName = 506,
    AlignedScoreFull = 507, // the same in one sentence, for the tool tip and the screen reader
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
    FewSamples = 528, // %1 the least times sent for a character to be ranked
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

    // Competition protocol: English at language position 0, Russian at every other.
    ProtocolTitle = 600,
    ProtocolBegin = 601,             // %1 date and time
    ProtocolInitialSpeedCpm = 602,   // %1 start speed [cpm]
    ProtocolInitialSpeedParis = 603, // %1 start speed in the PARIS system
    ProtocolTrainText = 604,
    ProtocolCompetitionText = 605,
    ProtocolSpeed = 606,    // %1 nominal speed
    ProtocolPause = 607,    // %1 pause [s]
    ProtocolFileName = 608, // the same in every language

    // Reception check list: Russian in every language.
    CheckOwnText = 650,
    CheckTextNumber = 651, // %1 the four text-number digits
    CheckSpeed = 652,      // %1 the three speed digits
    CheckErrorTotal = 653, // %1 errors
    CheckFileName = 654,

    // Koch course and instant character recognition.
    CourseLesson = 700,     // %1 lesson, %2 last lesson, %3 its characters
    CourseSpeed = 701,      // %1 character speed [cpm], %2 overall speed [cpm]
    CourseAccuracy = 702,   // %1 checks read, %2 checks wanted, %3 accuracy [%], %4 needed [%]
    CourseNewestSent = 703, // %1 character, %2 times sent, %3 times needed
    CoursePassed = 704,     // %1 lesson passed, %2 next lesson, %3 the character it adds
    CourseComplete = 705,   // %1 the last lesson
    CourseGoesOn = 706,     // %1 lesson
    CourseCopyEmpty = 707,
    CourseCopyOther = 708, // %1 text number, %2 characters right, %3 characters typed
    CourseNothingPending = 709,
    CoursePending = 710, // %1 text number
    CourseNotKept = 711, // %1 the history's problem
    ColumnAccuracy = 712,
    RecognitionSummary = 720,   // %1 right, %2 shown, %3 accuracy [%], %4 median reaction [ms]
    RecognitionCharacter = 721, // %1 character, %2 right, %3 shown, %4 median reaction [ms]
    RecognitionRight = 722,     // %1 character, %2 reaction [ms]
    RecognitionWrong = 723,     // %1 character sent, %2 key typed

    // Trainer window: the high-speed receiving test.
    TrainerTitle = 800,
    TrainerButton = 801,
    TrainerButtonDesc = 802,
    HstPage = 803,
    HstTextType = 804,
    HstLetters = 805,
    HstFigures = 806,
    HstMixed = 807,
    HstStartSpeed = 808,
    HstSteps = 809,
    HstNumber = 810,
    HstStart = 811,
    HstStop = 812,
    HstJudge = 813,
    HstSave = 814,
    HstCopyName = 815, // %1 speed [cpm]
    HstStatusIdle = 816,
    HstStatusPlaying = 817, // %1 text, %2 texts, %3 speed [cpm]
    HstStatusPause = 818,   // %1 text, %2 texts
    HstStatusEnded = 819,
    HstStatusStopped = 820,
    HstResultBest = 821, // %1 speed [cpm]
    HstResultNone = 822, // %1 errors allowed
    HstSheetTitle = 823,
    HstSheetLine = 824, // %1 speed, %2 errors, %3 valid or not
    HstValid = 825,
    HstNotValid = 826,
    HstSheetSent = 827, // %1 text
    HstSheetCopy = 828, // %1 copy
    HstSheetFileName = 829,
    HstSheetName = 830,
    HstStatusName = 831,
    HstSheetHead = 832, // %1 date and time, %2 number, %3 text type
    HstSaved = 833,     // %1 file
    HstProgressName = 834,
    HstStartFailed = 835, // %1 reason

    // The trainer window's Koch course and instant recognition pages.
    CoursePage = 840,
    CourseStart = 841,
    CourseCheck = 842,
    CourseCopyLabel = 843,
    CourseSpeedLabel = 844,
    CoursePauseLabel = 845,
    CourseChecksLabel = 846,
    CoursePassLabel = 847,
    CourseNewestLabel = 848,
    CourseLessonLabel = 849,
    CourseKeep = 850,
    CourseStandingName = 851,
    CourseResultName = 852,
    CourseStatusName = 853,
    CourseStatusIdle = 854,
    CourseStatusPlaying = 855, // %1 lesson, %2 text number
    CourseStatusEnded = 856,
    CourseNoHistory = 857,
    CourseUnavailable = 858, // %1 the history's problem
    CourseKept = 859,
    CourseStartFailed = 860, // %1 reason
    CourseNotRecorded = 861, // %1 the history's problem
    RecognitionPage = 870,
    RecognitionSetLabel = 871,
    RecognitionCountLabel = 872,
    RecognitionSpeedLabel = 873,
    RecognitionStart = 874,
    RecognitionStop = 875,
    RecognitionAnswerName = 876,
    RecognitionStatusName = 877,
    RecognitionSummaryName = 878,
    RecognitionStatusIdle = 879,
    RecognitionListening = 880, // %1 character, %2 characters
    RecognitionNoCharacters = 881,
    RecognitionStartFailed = 882, // %1 reason
    RecognitionNotRecorded = 883, // %1 the history's problem
    RecognitionDefaultSet = 884,  // %1 the lesson's characters
    RecognitionEnded = 885,
    CourseSourceLine = 886,     // %1 what the lesson texts are made of
    CourseSourceFallback = 887, // %1 what the lesson texts should be made of
    SourceGroups = 888,
    SourceWords = 889,
    SourceCallsigns = 890,
    CourseSourceLabel = 891,
    RecognitionModeLabel = 892,
    RecognitionModeCharacters = 893,
    RecognitionNoWords = 894,
    RecognitionWordListening = 895, // %1 word, %2 words
    RecognitionWordAnswerName = 896,
    RecognitionWordCountLabel = 897,
    RecognitionWordStatusIdle = 898,
    // Trainer window: the callsign run.
    CallPage = 900,
    CallStartSpeedDesc = 901,
    CallNumberDesc = 902,
    CallStartDesc = 903,
    CallStopDesc = 904,
    CallCopy = 905,
    CallCopyDesc = 906,
    CallStatusName = 907,
    CallStatusIdle = 908,
    CallFigures = 909,  // %1 speed [cpm], %2 score, %3 calls left
    CallRight = 910,    // %1 call, %2 points
    CallWrong = 911,    // %1 call sent, %2 call typed
    CallFinished = 912, // %1 score, %2 right calls, %3 calls, %4 top speed [cpm]
    CallNewBest = 913,  // %1 place
    CallStopped = 914,  // %1 calls answered, %2 score
    CallBestsName = 915,
    CallBestsLine = 916, // %1 place, %2 score, %3 right calls, %4 top speed [cpm], %5 number, %6 date
    CallBestsNone = 917,
    CallStartFailed = 918, // %1 reason
    CallFiguresName = 919,
};

// Marks a text whose wording does not come from language files.
inline constexpr bool kFixedWording = true;

struct ProgramTextEntry {
    Say id;
    std::string_view english;
    std::string_view russian;
    bool fixed = false; // kFixedWording: never taken from a language file
};

// The text of `id` in one of the built-in columns.
std::string_view ProgramText(Say id, TextLanguage language);

// Whether a language file may give the text of `id` (a known number of a text that is not of
// fixed wording).
bool FollowsLanguageFile(Say id);

// The program's own texts in one interface language: English, with whatever a language file
// gives in place of the texts that follow the language.
class ProgramTextTable {
public:
    ProgramTextTable(); // every text English
    static const ProgramTextTable& English();
    static const ProgramTextTable& Russian(); // the built-in Russian column

    // The text of `id` (UTF-8); empty for an unknown number.
    std::string_view Text(Say id) const;
    // Sets the text of `id` (UTF-8); changes nothing and returns false when a language file may
    // not give it (see FollowsLanguageFile).
    bool Set(Say id, std::string text);

    bool operator==(const ProgramTextTable&) const = default;

private:
    std::vector<std::string> texts_; // in the order of ProgramTexts()
};

// Every entry, in number order.
std::span<const ProgramTextEntry> ProgramTexts();

// `pattern` with each "%1".."%9" replaced by the value of that number; a marker without a value
// stays as written. The values are put in as they are, so pattern and values share one encoding.
std::string FillText(std::string_view pattern, std::initializer_list<std::string_view> values);

} // namespace qlor
