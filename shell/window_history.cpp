#include "shell/window_history.h"

#include "exercises/check_report.h"
#include "shell/ui_dialogs.h"

#include <utility>

namespace qlor {

WindowHistory::WindowHistory(QWidget* window, UiDialogs& dialogs, const ProgramTextTable& texts)
    : window_(window), dialogs_(dialogs), texts_(texts) {}

bool WindowHistory::Record(CheckRecord record) {
    if (!history_ || record.aligned.sentChars == 0)
        return false;
    ShowProblem(history_->Record(std::move(record)));
    return true;
}

bool WindowHistory::Load(std::vector<CheckRecord>& checks, bool withTexts) {
    checks.clear();
    if (!history_)
        return false;
    const HistoryStatus status = history_->Load(checks, withTexts);
    ShowProblem(status);
    return status.ok() || !checks.empty();
}

void WindowHistory::ShowProblem(const HistoryStatus& status) {
    // Each kind of problem once.
    if (status.ok() || !status.firstTime || !history_)
        return;
    dialogs_.ShowError(window_, QString::fromStdString(HistoryProblemText(status, history_->Path(), texts_)));
}

} // namespace qlor
