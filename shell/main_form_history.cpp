// The history of checks in the window: every check recorded with its aligned score shown beside
// the check list, the progress window, and the drills that fill the selected-symbols list.
#include "shell/main_form_pages.h"

#include "base/codepage.h"
#include "exercises/check_report.h"
#include "exercises/koch_drill.h"
#include "shell/aligned_score_view.h"
#include "shell/memo_text.h"
#include "shell/progress_window.h"
#include "shell/selected_symbols_menu.h"

namespace qlor {

void TMainForm::RecordCheck(CheckRecord record) {
    scoreView_->Show(record.aligned, OwnTexts());
    // An empty sent text (after a competition, or nothing composed yet) is no exercise.
    if (!history_ || record.aligned.sentChars == 0)
        return;
    record.ownText = textOptions.CheckBoxTextType->isChecked();
    SetSendingSettings(record, settings_, configuration.ParisSystem->isChecked(),
                       configuration.VoiceComboBox->currentData().toString().toStdString());
    ShowHistoryProblem(history_->Record(std::move(record)));
    if (progress_ && progress_->isVisible())
        progress_->Refresh();
}

void TMainForm::ShowHistoryProblem(const HistoryStatus& status) {
    // Each kind of problem once: the check list and everything else go on working.
    if (status.ok() || !status.firstTime || !history_)
        return;
    const std::string problem = HistoryProblemText(status, history_->Path(), OwnTexts());
    dialogs_->ShowError(this, QString::fromStdString(problem));
}

void TMainForm::ShowHistoryTexts() {
    reception.ButtonProgress->setText(OwnText(Say::ProgressButton));
    scoreView_->ShowTexts(OwnTexts());
    if (progress_)
        progress_->ShowTexts();
}

bool TMainForm::LoadHistory(std::vector<CheckRecord>& checks, bool withTexts) {
    checks.clear();
    if (!history_)
        return false;
    const HistoryStatus status = history_->Load(checks, withTexts);
    ShowHistoryProblem(status);
    return status.ok() || !checks.empty();
}

void TMainForm::ButtonProgressClick() {
    if (!progress_)
        progress_ = new ProgressWindow(this);
    progress_->Refresh();
    progress_->ShowOnScreen();
    progress_->raise();
    progress_->activateWindow();
}

QString TMainForm::SelectedSymbolsText() const {
    return FromCp1251(MemoBytes(textOptions.MemoSelectedSymbols));
}

bool TMainForm::DrillKochLesson(int lesson) {
    return PutDrillSymbols(textOptions.MemoSelectedSymbols, textOptions.SelectedSymbols, KochLessonSymbols(lesson));
}

bool TMainForm::DrillWeakCharacters(const StatsWindow& window) {
    if (!SymbolListEditable(textOptions.MemoSelectedSymbols))
        return false;
    std::vector<CheckRecord> checks;
    LoadHistory(checks, false);
    // Only characters the generator can draw: those of the full alphabet.
    const std::string symbols = WeakCharacterDrill(checks, window);
    if (symbols.empty()) {
        dialogs_->ShowMessage(this, OwnText(Say::DrillWeak),
                              OwnText(Say::DrillNothingToPractise).arg(kDefaultMinOccurrences));
        return false;
    }
    return PutDrillSymbols(textOptions.MemoSelectedSymbols, textOptions.SelectedSymbols, symbols);
}

} // namespace qlor
