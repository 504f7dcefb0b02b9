#pragma once
// The main window: nine pages in one page control, every control under its component name.
// The logic lives in the event handlers, named after the control and the event; the handlers
// that belong to the transmission cycle, the exercises, the languages and the settings store are
// connected here and filled in by their own code.
#include "audio/band_settings.h"
#include "control/caption_table.h"
#include "control/panel_steps.h"
#include "control/program_texts.h"
#include "control/settings_store.h"
#include "exercises/check_history.h"
#include "exercises/check_statistics.h"
#include "shell/output_levels.h"
#include "shell/page_control.h"
#include "shell/stored_controls.h"
#include "shell/trainer_keeper.h"
#include "shell/ui_dialogs.h"
#include "shell/window_history.h"
#include "shell/window_pages.h"
#include "synthesis/midi_writer.h"
#include "synthesis/morse_table.h"
#include "synthesis/transmission_settings.h"
#include "textgen/radiogram.h"

#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class QPlainTextEdit;

namespace qlor {

class AlignedScoreView;
struct MainFormPages;
class AudioPort;
class ClassicAudioPort;
class ClassicClock;
class Clock;
class ExportJob;
class Session;
class BandDialog;
class MediaPlayer;
class NoiseRecordings;
class ProgressWindow;
class SelectedSymbolsList;

class TMainForm : public QWidget {
    Q_OBJECT
public:
    // Dialogs and output levels default to the desktop's dialogs and the application's mixer
    // levels; tests pass their own. Neither is owned when passed in.
    explicit TMainForm(UiDialogs* dialogs = nullptr, OutputLevels* levels = nullptr, QWidget* parent = nullptr);
    // The same with the store the settings are read from at creation and written to at close
    // (not owned). Without one the window starts as on a first start and keeps nothing, so that
    // tests and tools never touch the user's settings; the program passes the per-user store.
    TMainForm(UiDialogs* dialogs, OutputLevels* levels, SettingsStore* store, QWidget* parent = nullptr);
    // The same with the audio port and clock a transmission plays through (not owned; they
    // outlive the window). Null stands for the window's own: its two players and TrainTimer.
    TMainForm(UiDialogs* dialogs, OutputLevels* levels, SettingsStore* store, AudioPort* port, Clock* clock,
              QWidget* parent = nullptr);
    ~TMainForm() override;

    PageControl* PageControl1 = nullptr;
    QTimer* TrainTimer = nullptr; // 200 ms, off at start; moves the progress bars
    // The two media players: the sent text ("temp.mid") and the noise recording.
    MediaPlayer* MediaPlayerText = nullptr;
    MediaPlayer* MediaPlayerNoise = nullptr;

    // File dialogs of the window.
    FileDialogSpec OpenDialogText;
    FileDialogSpec SaveDialogText;
    FileDialogSpec OpenDialogNoise;

    TransmissionSettings& Settings() { return settings_; }
    const TransmissionSettings& Settings() const { return settings_; }
    const MorseTable& Morse() const { return morse_; }
    UiDialogs& Dialogs() { return *dialogs_; }
    OutputLevels& Levels() { return *levels_; }

    // Every stored value as the window holds it now, and the reverse: values put into the
    // settings and controls in the store's read order (so that radio buttons end as they were read).
    PersistedSettings CollectSettings() const;
    void ApplySettings(const PersistedSettings& values);

    // True while a competition plays; the pages cannot be changed then.
    bool CompetitionRunning() const { return competitionRunning_; }
    void SetCompetitionRunning(bool running) { competitionRunning_ = running; }

    // The language position: the item index of LngComboBox (0 English, -1 none selected).
    int LanguagePosition() const;
    bool English() const { return LanguagePosition() == 0; }
    // The program's own texts of the language shown (English, or the chosen language file's texts
    // over English), and one of them.
    const ProgramTextTable& OwnTexts() const { return shownTexts_; }
    QString OwnText(Say id) const;
    // The current caption table (filled from a language file) and one of its entries 1..120.
    CaptionTable& CurrentCaptions() { return currentCaptions_; }
    QString CaptionEntry(int entry) const;

    // Redraws every value cell from the current settings.
    void IndicatorRefresh();
    // Writes the captions, hints and the program's own texts of a language position into the
    // window (0: the English tables, any other position: the current ones), then redraws the cells.
    void ApplyLanguage(int position);

    // Path of "temp.mid" in the current directory, worked out afresh at every call.
    QString TempMidiPath() const;
    // Blocks the controls that could change what is sent (stop buttons enabled, memos read-only,
    // lamps red) while a transmission, a competition or an export runs; ControlUnBlock undoes it.
    void ControlBlock();
    void ControlUnBlock();
    // The MIDI voice of the current settings: note, channel, program and pause between characters.
    MidiVoice CurrentVoice() const;
    // The states of the controls that composing a radiogram reads, memos exactly as their boxes
    // hold them.
    RadiogramControls ReadRadiogramControls() const;
    // Characters per line of the sent-text and copy memos, both of which the check wraps alike.
    int MemoWrapChars() const;

    // The history every check is recorded in (not owned). Without one nothing is recorded, so
    // that tests and tools never touch the user's history; the program passes the per-user one.
    void SetCheckHistory(CheckHistory* history) { history_->Set(history); }
    CheckHistory* History() const { return history_->Get(); }
    // The silence after a Run's last note [s], as the MIDI writer takes it: 0, the program's own
    // value, is five seconds; tests that wait for the end of a transmission shorten it.
    void SetRunEndPause(int seconds) { runEndPauseSeconds_ = seconds; }
    // The recorded checks, oldest first; a problem of the history is told once. False when
    // there is no history or it cannot be read.
    bool LoadHistory(std::vector<CheckRecord>& checks, bool withTexts) { return history_->Load(checks, withTexts); }
    // The progress window, once it has been opened.
    ProgressWindow* Progress() const { return progress_; }
    // MemoSelectedSymbols with its drills.
    SelectedSymbolsList& SymbolList() { return *symbols_; }

public slots:
    // Window-level rules.
    void PageControl1Changing(QObject* sender, bool& allowChange);
    void RaiseRequest(); // a second start asks this copy to come to the front

    // Main panel and the other step buttons.
    void StepButtonClick(qlor::IntSetting id, bool up);
    void SymbolSetClick();
    void Button36Click();
    void Button39Click();
    void Button40Click();
    void Button41Click();
    void TrackBar2Change(int position);
    void TrackBar3Change(int position);

    // Text page.
    void ButtonOpenClick();
    void ButtonSaveClick();
    void ButtonClearClick();

    // Transmission cycle.
    void ButtonRunClick();
    void ButtonStopClick();
    void TrainTimerTimer();
    void MediaPlayerTextNotify(); // the end-of-transmission steps
    void MediaPlayerNoiseNotify();

    // Reception check.
    void ButtonCheckTextClick();
    void Button51Click();
    void Button55Click();
    void ButtonProgressClick();

    // The trainer window (main panel and Reception page).
    void ButtonTrainerClick();

    // Competition.
    void CompRunClick();
    void CompStopClick();
    void Button52Click();
    void ButtonClearProtClick();

    // Batch export.
    void ButtonFormFilesClick();
    void Button37Click();

    // Languages.
    void LngComboBoxChange(int index);

    // The signal's voice: applies the chosen item to the audio engine for the next MIDI file it
    // opens (a transmission that already plays keeps its voice).
    void VoiceComboBoxChange(int index);
    // The band conditions: opens (or brings forward) their dialog.
    void ButtonBandConditionsClick();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The pages in tab order, held in one private block (main_form_pages.h) so that a form's
    // change recompiles only the window's own sources; from outside the window their controls
    // are found by component name (objectName).
    std::unique_ptr<MainFormPages> pages_;
    Ui::PanelPage& panel;                 // TabSheet1 "Панель"
    Ui::TextPage& text;                   // TabSheet4 "Текст"
    Ui::ReceptionPage& reception;         // TabSheet6 "Прием"
    Ui::CompetitionPage& competition;     // TabSheet2 "Соревнование"
    Ui::FilesPage& files;                 // TabSheet9 "Файлы"
    Ui::TextOptionsPage& textOptions;     // TabSheet7 "Опции текста"
    Ui::BlankPage& blank;                 // TabSheet10, no caption
    Ui::ParametersPage& parameters;       // TabSheet8 "Параметры"
    Ui::ConfigurationPage& configuration; // TabSheet3 " Настройка "

    void PrepareControls();
    void ConnectHandlers();

    // Window creation and closing, in their fixed order.
    void FormCreate();
    void FormClose();
    void LoadSettings();
    void SaveSettings();
    // Deletes "temp.mid" of the current directory, if there is one.
    void RemoveTempMidi();

    void CreatePlayers();
    void AbandonRun();
    // The end-of-transmission steps, run by the text player's notice or the session's end.
    void EndTransmission();
    // The session a contest plays through, made at its first use (the Morse table is read by then).
    Session& TransmissionSession();
    // The work of Run and of the competition's start. Their handlers call them inside a guard:
    // an exception (bad_alloc included) is reported, what was started is ended and the controls
    // are unblocked.
    void StartRun();
    void StartCompetition();

    // Asks for a file name and writes the memo's bytes (Windows-1251, CR LF) there; a failure is
    // reported and leaves any earlier file of that name as it was.
    void SaveMemoAs(const FileDialogSpec& request, const QPlainTextEdit* memo);
    // The band the current text number plays through (none when the band is off).
    std::optional<BandSettings> CurrentBand() const;
    // The current noise type's recording when it names a file, else empty (Run's test).
    QString PlayableNoisePath() const;
    // The noise slider's tool tip from the current levels, voice, tone, recording and band, with
    // the recording's ratio measured when `measure` is true (see NoiseRecordings::SnrToolTip).
    void RefreshNoiseSnrHint(bool measure);
    // The history: the record of one check, the aligned score beside the check list.
    void RecordCheck(CheckRecord record);
    void ShowHistoryTexts();
    void ShowTrainerTexts();

    // Where a transmission plays: the port and clock passed in, or the window's own over its
    // players and TrainTimer. The session goes before them.
    AudioPort* port_ = nullptr;
    Clock* clock_ = nullptr;
    std::unique_ptr<ClassicAudioPort> classicPort_;
    std::unique_ptr<ClassicClock> classicClock_;
    std::unique_ptr<Session> session_;
    std::unique_ptr<ExportJob> exportJob_;    // the Files page's series, on the clock above
    std::optional<std::string> noiseFailure_; // the session's noise failure, until Run shows it
    std::unique_ptr<UiDialogs> ownDialogs_;
    std::unique_ptr<OutputLevels> ownLevels_;
    UiDialogs* dialogs_;
    OutputLevels* levels_;
    SettingsStore* store_ = nullptr;

    TransmissionSettings settings_{};
    MorseTable morse_;
    CaptionTable currentCaptions_;
    ProgramTextTable currentTexts_; // the program texts loaded with the current caption table
    ProgramTextTable shownTexts_;   // those of the language applied last
    bool competitionRunning_ = false;
    std::unique_ptr<WindowHistory> history_;
    SelectedSymbolsList* symbols_ = nullptr; // a child of MemoSelectedSymbols
    int runEndPauseSeconds_ = 0;             // [s]
    ProgressWindow* progress_ = nullptr;
    TrainerKeeper trainer_;
    BandDialog* band_ = nullptr;                  // the band conditions, kept while the dialog is hidden
    std::unique_ptr<AlignedScoreView> scoreView_; // beside the check list
    bool centred_ = false;
    // The "Window scale" kept: as read until the user picks an item, so a start that never
    // touches it keeps the desktop's own scale and writes nothing for it.
    int windowScale_ = kWindowScaleDesktop;
    CapturedOutputLevels capturedLevels_;    // at start, put back at close
    std::unique_ptr<NoiseRecordings> noise_; // the recordings of NoiseFile1..4
};

} // namespace qlor
