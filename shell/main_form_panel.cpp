// The settings panels: step buttons, value cells, the symbol set, noise files and volumes.
#include "shell/main_form_pages.h"

#include "audio/media_player.h"
#include "shell/band_dialog.h"
#include "shell/memo_text.h"
#include "shell/noise_snr_meter.h"
#include "shell/selected_symbols_menu.h"
#include "shell/setting_cells.h"

#include <QContextMenuEvent>
#include <QFileInfo>

namespace qlor {
void TMainForm::StepButtonClick(IntSetting id, bool up) {
    const int noiseType = settings_.noiseType;
    StepSetting(settings_, id, up, English());
    if (settings_.noiseType != noiseType)
        PreloadNoise();
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

void TMainForm::FillSelectedSymbolsMenu(QPoint pos) {
    const SymbolsMenuChoice choice =
        ExecSelectedSymbolsMenu(textOptions.MemoSelectedSymbols, pos, OwnTexts(), History() != nullptr);
    switch (choice.kind) {
    case SymbolsMenuChoice::Kind::None:
        break;
    case SymbolsMenuChoice::Kind::FullAlphabet:
        PutFullAlphabet(textOptions.MemoSelectedSymbols);
        break;
    case SymbolsMenuChoice::Kind::WeakDrill: {
        StatsWindow window;
        window.lastChecks = kDrillChecks;
        DrillWeakCharacters(window);
        break;
    }
    case SymbolsMenuChoice::Kind::KochLesson:
        DrillKochLesson(choice.lesson);
        break;
    }
}

void TMainForm::BrowseNoiseFile(QLineEdit* edit) {
    FileDialogSpec request = OpenDialogNoise;
    request.filterIndex = 1;
    if (const auto path = dialogs_->OpenFile(this, request)) {
        edit->setText(*path);
        if (edit == CurrentNoiseEdit())
            PreloadNoise();
    }
}

QLineEdit* TMainForm::CurrentNoiseEdit() const {
    if (settings_.noiseType >= 1 && settings_.noiseType <= 4)
        return NoiseFileEdits(configuration)[settings_.noiseType - 1];
    return nullptr;
}

void TMainForm::PreloadNoise() {
    // The same test as Run's: a name that is not a file is left for Run to pass over.
    const QString path = PlayableNoisePath();
    if (!path.isEmpty())
        MediaPlayerNoise->preload(path);
}

QString TMainForm::PlayableNoisePath() const {
    const QLineEdit* noiseFile = CurrentNoiseEdit();
    if (!noiseFile)
        return {};
    const QString path = noiseFile->text();
    return !path.isEmpty() && QFileInfo(path).isFile() ? path : QString();
}

void TMainForm::Button36Click() {
    BrowseNoiseFile(configuration.NoiseFile1);
}
void TMainForm::Button39Click() {
    BrowseNoiseFile(configuration.NoiseFile2);
}
void TMainForm::Button40Click() {
    BrowseNoiseFile(configuration.NoiseFile3);
}
void TMainForm::Button41Click() {
    BrowseNoiseFile(configuration.NoiseFile4);
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
    // With a band on, its own ratio follows the recording's line: the band's hiss is set against
    // the signal at its mean strength, whatever the levels.
    QString bandLine;
    if (band_ && band_->Preset() != BandPreset::Off)
        bandLine = OwnText(Say::BandSnrToolTip).arg(band_->PresetText()).arg(band_->SnrDb());
    const QString path = PlayableNoisePath();
    std::optional<double> snr;
    if (!path.isEmpty()) {
        if (!snrMeter_)
            snrMeter_ = std::make_unique<NoiseSnrMeter>();
        snr = snrMeter_->SnrDb(morse_, path, CurrentVoice(), configuration.VoiceComboBox->currentData().toString(),
                               static_cast<uint16_t>(panel.TrackBar2->value()),
                               static_cast<uint16_t>(panel.TrackBar3->value()), measure);
    }
    panel.TrackBar3->setToolTip(NoiseSnrToolTip(OwnTexts(), !path.isEmpty(), snr, bandLine));
}

} // namespace qlor
