// The history of checks in the window: every check recorded with its aligned score shown beside
// the check list, and the progress window.
#include "shell/main_form_pages.h"

#include "shell/aligned_score_view.h"
#include "shell/progress_window.h"

namespace qlor {

void TMainForm::RecordCheck(CheckRecord record) {
    scoreView_->Show(record.aligned, OwnTexts());
    record.ownText = textOptions.CheckBoxTextType->isChecked();
    SetSendingSettings(record, settings_, configuration.ParisSystem->isChecked(),
                       configuration.VoiceComboBox->currentData().toString().toStdString());
    if (history_->Record(std::move(record)) && progress_ && progress_->isVisible())
        progress_->Refresh();
}

void TMainForm::ShowHistoryTexts() {
    reception.ButtonProgress->setText(OwnText(Say::ProgressButton));
    scoreView_->ShowTexts(OwnTexts());
    if (progress_)
        progress_->ShowTexts();
}

void TMainForm::ButtonProgressClick() {
    if (!progress_)
        progress_ = new ProgressWindow(this);
    progress_->Refresh();
    progress_->ShowOnScreen();
    progress_->raise();
    progress_->activateWindow();
}

} // namespace qlor
