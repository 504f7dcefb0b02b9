#pragma once
// The history of checks as the main window uses it: every check recorded, the checks read back,
// and each kind of problem of the history (a damaged or newer file, a failed write) told once in
// the standard error report, after which the check list and everything else go on working.
#include "control/program_texts.h"
#include "exercises/check_history.h"

#include <vector>

class QWidget;

namespace qlor {

class UiDialogs;

class WindowHistory {
public:
    // Problems are reported over `window` through `dialogs`, in `texts` as they read at that
    // moment (none of them owned).
    WindowHistory(QWidget* window, UiDialogs& dialogs, const ProgramTextTable& texts);

    // The history (not owned), or none: then nothing is recorded or read.
    void Set(CheckHistory* history) { history_ = history; }
    CheckHistory* Get() const { return history_; }

    // Records a check. An empty sent text (after a competition, or nothing composed yet) is no
    // exercise and is not recorded. True when the check was handed to the history.
    bool Record(CheckRecord record);
    // The recorded checks, oldest first. False when there is no history or it cannot be read.
    bool Load(std::vector<CheckRecord>& checks, bool withTexts);

private:
    void ShowProblem(const HistoryStatus& status);

    QWidget* window_;
    UiDialogs& dialogs_;
    const ProgramTextTable& texts_;
    CheckHistory* history_ = nullptr;
};

} // namespace qlor
