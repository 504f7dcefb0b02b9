#pragma once
// The trainer window's instant character recognition page: one character at a time sounds through
// the window's session, and the learner's key press is the answer. In the word modes a telegraph
// word or a callsign of the set's characters sounds instead; the learner types it and answers
// with Enter, and the reaction time runs from the end of the word to Enter. The reaction time is read from
// the audio port's position (where playback was when the key came, minus where the character's
// last element ends in its MIDI), not from a timer. Right or wrong is shown and announced at once;
// a wrong answer (or none within the answer time) shows the right character and plays it again.
// Missed and slow characters come back more often (RecognitionPicker). At the end, or on Escape,
// the summary (accuracy, median reaction per character) is shown and the session recorded in the
// history.
//
// Keyboard: Ctrl+R starts; then every key answers (in the word modes, Enter answers what was typed,
// Backspace takes back a key); Escape (the window's) ends the session.
#include "control/session.h"
#include "exercises/char_recognition.h"
#include "shell/trainer_window.h"

#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>

namespace qlor {

// Silence after each character, in which the answer is awaited [s].
inline constexpr int kRecognitionAnswerSeconds = 5;
// Silence after a character played again [s].
inline constexpr int kRecognitionReplaySeconds = 1;

// Where the last note of a MIDI file ends [ms from its start]; 0 when it has none or cannot be read.
std::int64_t KeyedEndMs(const ByteVector& midi);

class TrainerRecognitionPage : public QWidget {
    Q_OBJECT
public:
    TrainerRecognitionPage(TrainerContext context, TakeSession takeSession, QWidget* parent = nullptr);
    ~TrainerRecognitionPage() override;

    void SetTexts(const ProgramTextTable& texts);
    bool Running() const { return phase_ != Phase::Idle; }
    // The character sounding or awaiting its answer (cp1251); 0 when none, or a word is shown.
    unsigned char Shown() const { return Running() && shown_.size() == 1 && !Words() ? shown_[0] : 0; }
    // The character or word sounding or awaiting its answer (cp1251); "" when none.
    std::string ShownItem() const { return Running() ? shown_ : std::string(); }
    // The answers of the running or last session.
    const RecognitionSession& LastSession() const { return session_; }

public slots:
    void StartClick();
    void StopClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Phase { Idle, Awaiting, Replaying };
    struct Ui;
    void BuildUi();
    void ShowTexts();
    void ShowLessonSet();
    void SetRunning(bool running);
    void ShowStatus(const QString& text);
    void NextCharacter(const QString& verdict = {});
    // Plays the character shown; "" or the reason.
    std::string PlayShown(Phase phase);
    void Answer(unsigned char typed);
    void AnswerWord(const std::string& typed, bool entered);
    void ShowVerdict(const RecognitionAnswer& answer);
    bool Words() const { return session_.mode != RecognitionMode::Characters; }
    // The mode chosen for the next session: words or callsigns rather than characters.
    bool WordsChosen() const;
    void SoundEnded(SessionEnd end, const std::string& reason);
    void Finish(const QString& failure = {});
    QString Text(Say id) const;

    std::unique_ptr<Ui> m_ui;
    TrainerContext context_;
    TakeSession takeSession_;
    ProgramTextTable texts_;
    std::string lessonSet_;   // the course's lesson characters (cp1251), the set by default
    bool speedTaken_ = false; // the speed has been set to the course's once
    QString idleShown_;       // the idle hint last shown, replaced when the mode or the language changes
    Phase phase_ = Phase::Idle;
    bool switching_ = false; // the page itself stops the sound to play the next character
    std::optional<RecognitionPicker> picker_;
    RecognitionSession session_;
    int count_ = 0;               // characters or words in the session
    std::string shown_;           // the character or word sent (cp1251)
    std::string typed_;           // the word typed so far (cp1251, upper case)
    std::int64_t keyedEndMs_ = 0; // where the shown character's last element ends [ms]
    Session* sound_ = nullptr;    // the window's session while this page plays
};

} // namespace qlor
