// The settings panels: step buttons, value cells, the symbol set, noise files and volumes.
#include "shell/main_form_pages.h"

#include "shell/band_dialog.h"
#include "shell/noise_recordings.h"
#include "shell/setting_cells.h"

namespace qlor {
void TMainForm::StepButtonClick(IntSetting id, bool up) {
    const int noiseType = settings_.noiseType;
    StepSetting(settings_, id, up, English());
    if (settings_.noiseType != noiseType)
        noise_->Preload();
    // The third digits of the competition speeds are fixed at 0; their buttons redraw nothing.
    if (id != IntSetting::StartSpeed3 && id != IntSetting::StopSpeed3)
        IndicatorRefresh();
}

void TMainForm::IndicatorRefresh() {
    ShowSettingCells({panel, parameters, configuration, files}, settings_, textOptions.AllSymbols->isChecked(),
                     English() ? nullptr : &currentCaptions_);
}

void TMainForm::SymbolSetClick() {
    IndicatorRefresh();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == panel.TrackBar3 && (event->type() == QEvent::ToolTip || event->type() == QEvent::FocusIn))
        RefreshNoiseSnrHint(true); // then shown as usual
    return QWidget::eventFilter(watched, event);
}

QString TMainForm::PlayableNoisePath() const {
    return noise_->PlayablePath();
}

void TMainForm::Button36Click() {
    noise_->Browse(configuration.NoiseFile1, *dialogs_, this, OpenDialogNoise);
}
void TMainForm::Button39Click() {
    noise_->Browse(configuration.NoiseFile2, *dialogs_, this, OpenDialogNoise);
}
void TMainForm::Button40Click() {
    noise_->Browse(configuration.NoiseFile3, *dialogs_, this, OpenDialogNoise);
}
void TMainForm::Button41Click() {
    noise_->Browse(configuration.NoiseFile4, *dialogs_, this, OpenDialogNoise);
}

void TMainForm::TrackBar2Change(int position) {
    levels_->SetMidiVolume(position);
    RefreshNoiseSnrHint(false);
}
void TMainForm::TrackBar3Change(int position) {
    levels_->SetWaveVolume(position);
    RefreshNoiseSnrHint(false);
}

void TMainForm::RefreshNoiseSnrHint(bool measure) {
    // With a band on, its own ratio follows the recording's line.
    const QString bandLine = band_ ? band_->SnrToolTipLine(OwnTexts()) : QString();
    panel.TrackBar3->setToolTip(noise_->SnrToolTip(OwnTexts(), morse_, CurrentVoice(),
                                                   configuration.VoiceComboBox->currentData().toString(),
                                                   static_cast<uint16_t>(panel.TrackBar2->value()),
                                                   static_cast<uint16_t>(panel.TrackBar3->value()), measure, bandLine));
}

} // namespace qlor
