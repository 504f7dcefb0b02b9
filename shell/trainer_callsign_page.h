#pragma once
// The trainer window's callsign run page: 50 calls of a text number, each sent once at the run's
// speed through the window's session; the operator types each call and presses Enter. A right call
// raises the speed and scores, a wrong one lowers it (CallsignRun). A run that reaches its last
// call is scored, may enter the personal bests (the ten best runs, kept with the settings) and is
// recorded in the history; Escape ends a run at once, and a run that is stopped is neither.
//
// Keyboard (the window routes its keys here): Ctrl+R starts while the page is shown, Enter in the
// call box answers, Escape stops on either page.
#include "control/program_texts.h"
#include "control/session.h"
#include "control/trainer_settings.h"
#include "exercises/callsign_run.h"

#include <QWidget>

#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace qlor {

class CheckHistory;
class UiDialogs;

// Silence after each call [s]: the run goes on when the operator answers, not when it ends.
inline constexpr int kCallPauseSeconds = 1;

struct CallsignPageContext {
    // The window's session, handed over with the page's events and the voice of the settings set
    // on its device; whatever it was playing is stopped first.
    std::function<Session&(SessionEvents)> takeSession;
    std::function<MidiVoice()> voice; // the MIDI voice of the current settings
    UiDialogs* dialogs = nullptr;     // messages (not owned, may be null)
    CheckHistory* history = nullptr;  // where finished runs are recorded (not owned, may be null)
};

class CallsignPage : public QWidget {
    Q_OBJECT
public:
    CallsignPage(CallsignPageContext context, QWidget* parent = nullptr);
    ~CallsignPage() override;

    void SetTexts(const ProgramTextTable& texts);
    // The page's stored values: start speed, number and the personal bests.
    void ApplySettings(const TrainerSettings& settings);
    void CollectSettings(TrainerSettings& settings) const;
    bool RunGoing() const { return run_ != nullptr; }

public slots:
    void StartClick();
    void StopClick();
    void AnswerClick();

private:
    void ShowTexts();
    void ShowFigures();
    void ShowBests();
    void SetRunning(bool running);
    void PlayCurrentCall();
    void SessionEnded(SessionEnd end, const std::string& reason);
    void FinishRun(const QString& verdict);
    void EndRun(const QString& status);
    QString Text(Say id) const;

    CallsignPageContext context_;
    ProgramTextTable texts_;
    Session* session_ = nullptr; // the window's, once taken
    std::unique_ptr<CallsignRun> run_;
    int runNumber_ = 0;
    bool handingOver_ = false; // the page stops or restarts the session itself: that end is no news
    std::vector<PersonalBest> bests_;

    QLabel* speedLabel_ = nullptr;
    QSpinBox* speed_ = nullptr;
    QLabel* numberLabel_ = nullptr;
    QSpinBox* number_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* stop_ = nullptr;
    QLabel* copyLabel_ = nullptr;
    QLineEdit* copy_ = nullptr;
    QLabel* figures_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* bestsLabel_ = nullptr;
    QPlainTextEdit* bestsBox_ = nullptr;
};

} // namespace qlor
