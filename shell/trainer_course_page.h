#pragma once
// The trainer window's Koch course page: where the course stands (lesson, its characters, the
// accuracy over the recent checks and the newest character's count), the next lesson text played
// through the window's session, a copy box, and the check of the copy against the text waiting for
// it: sent text and copy aligned with the errors marked, per-character accuracy, the check recorded
// in the history and the course moved on when it is due. The course's settings, with what its
// texts are made of (groups, words or callsigns), are kept with the course in the history, as
// `qlor-cli course set` keeps them.
//
// Keyboard: Ctrl+R plays the next lesson text, Enter in the copy box or Ctrl+Enter checks,
// Ctrl+K keeps the settings; Escape (the window's) stops the sound.
#include "exercises/koch_course.h"
#include "shell/trainer_window.h"

#include <QWidget>

#include <memory>
#include <optional>

namespace qlor {

struct HistoryStatus;

class TrainerCoursePage : public QWidget {
    Q_OBJECT
public:
    TrainerCoursePage(TrainerContext context, TakeSession takeSession, QWidget* parent = nullptr);
    ~TrainerCoursePage() override;

    void SetTexts(const ProgramTextTable& texts);
    // Reads the course from the history again and shows it; the page is disabled, with the
    // reason, when there is no history or it cannot be read.
    void Reload();

public slots:
    void StartClick();
    void CheckClick();
    void KeepClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Ui;
    void BuildUi();
    void ShowTexts();
    void ShowStanding();
    void ShowSettings(const CourseSettings& settings, int lesson);
    void Unavailable(const QString& reason, bool forGood);
    void ShowStatus(const QString& text);
    // A write or read of the history failed: the reason shown; a damaged or newer history
    // disables the page for good.
    void HistoryFailed(Say message, const HistoryStatus& status);
    void SoundEnded(bool failed, const QString& reason);
    QString Text(Say id) const;

    std::unique_ptr<Ui> m_ui;
    TrainerContext context_;
    TakeSession takeSession_;
    ProgramTextTable texts_;
    std::optional<CourseState> state_; // the course as last read or written; none: unavailable
    LessonProgress progress_;          // of state_'s lesson
    QString unavailable_;              // why the page is disabled
    bool disabledForGood_ = false;     // a damaged or newer history: nothing more is tried
    Session* session_ = nullptr;       // while a lesson text of this page plays
};

} // namespace qlor
