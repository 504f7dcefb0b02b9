#pragma once
// The trainer window: exercises of its own beside the classic window, on the session core. Its
// first page is the high-speed receiving test: one-minute texts at rising speeds with a minute's
// pause after each, a copy box per text, every copy judged at the end and the result sheet shown,
// saved on request and recorded in the history. The pages share one session: starting one stops
// the others.
//
// Keyboard: Ctrl+R starts the exercise of the page shown, Escape stops the sound of every page
// (and ends a callsign run), Ctrl+Enter judges (Enter too, in a copy box, once the test no longer
// plays), Ctrl+S saves the sheet, Ctrl+W closes the window. The Koch course, the character
// recognition and the callsign run are pages of their own (trainer_course_page.h,
// trainer_recognition_page.h, trainer_callsign_page.h) with the same keys for their own work.
#include "control/program_texts.h"
#include "control/session.h"
#include "control/trainer_settings.h"
#include "synthesis/midi_writer.h"
#include "synthesis/morse_table.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <string>

namespace qlor {

class CallsignPage;
class CheckHistory;
class UiDialogs;
struct SessionEvents;

// What the trainer takes from the program around it.
struct TrainerContext {
    MorseTable morse;                       // the code table, "Morse.txt" overrides included
    std::function<MidiVoice()> voice;       // the MIDI voice of the current settings, read at each start
    std::function<std::string()> voiceName; // the stored voice name ("auto", "soundfont", "tone")
    UiDialogs* dialogs = nullptr;           // file dialogs and messages (not owned)
    CheckHistory* history = nullptr;        // where judged texts are recorded (not owned, may be null)
    AudioPort* port = nullptr;              // null: the sound device (tests pass a fake one)
    Clock* clock = nullptr;                 // null: Qt's timers
    std::function<QString()> dateTime;      // the current date and time as the sheet shows it
};

// Hands a page the window's one session with the page's events: whatever plays is stopped first
// (its page hears of it), and the session's events go to the page from then on.
using TakeSession = std::function<Session&(SessionEvents events)>;

class TrainerWindow : public QWidget {
    Q_OBJECT
public:
    TrainerWindow(TrainerContext context, QWidget* parent = nullptr);
    ~TrainerWindow() override;

    // The texts of the window in the language shown (names, hints and the sheet's wording).
    void SetTexts(const ProgramTextTable& texts);
    const ProgramTextTable& Texts() const { return texts_; }
    // The stored values the window shows, and back.
    void ApplySettings(const TrainerSettings& settings);
    TrainerSettings CollectSettings() const;
    bool Playing() const;

public slots:
    void HstStartClick();
    void HstStopClick();
    void HstJudgeClick();
    void HstSaveClick();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Ui;
    struct Test;
    struct Engine; // the session and, when the context brings none, its port and clock
    void BuildUi();
    void ShowTexts();
    void ShowCopyBoxes(int count);
    void ShowCopyNames();
    void SetRunning(bool running);
    void ShowStatus(const QString& text);
    void SegmentStarted(int segment);
    void TestEnded(bool failed, const QString& reason);
    void RecordJudgedTexts();
    Session& SessionNow();
    Session& TakeSession(SessionEvents events);
    SessionEvents HstEvents();
    void StopSound();
    QString Text(Say id) const;
    std::string VoiceName() const;

    std::unique_ptr<Ui> m_ui;
    std::unique_ptr<Test> test_;
    std::unique_ptr<Engine> engine_;
    TrainerContext context_;
    ProgramTextTable texts_; // English until SetTexts
};

} // namespace qlor
