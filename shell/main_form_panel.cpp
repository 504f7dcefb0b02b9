// The settings panels: step buttons, value cells, the symbol set, noise files and volumes.
#include "shell/main_form_pages.h"

#include "audio/media_player.h"
#include "shell/band_dialog.h"
#include "shell/memo_text.h"
#include "shell/noise_snr_meter.h"
#include "shell/panel_map.h"
#include "shell/panel_widgets.h"
#include "shell/selected_symbols_menu.h"

#include <QContextMenuEvent>
#include <QFileInfo>
#include <QMouseEvent>

#include <array>
#include <cmath>

namespace qlor {
namespace {

// A row of digit cells, left to right, showing a setting's digits.
template <std::size_t N> void ShowDigits(const std::array<Indicator*, N>& cells, const std::array<int, N>& digits) {
    for (std::size_t i = 0; i < N; ++i)
        cells[i]->ShowValue(QString::number(digits[i]));
}

} // namespace

void SetRadioChecked(QAbstractButton* button, bool checked) {
    if (button->isChecked() == checked)
        return;
    if (checked) {
        button->setChecked(true);
        return;
    }
    // A checked button of an exclusive group refuses to be cleared; lift the rule for a moment.
    const bool exclusive = button->autoExclusive();
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(exclusive);
}

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
    const TransmissionSettings& s = settings_;

    ShowDigits(std::array{panel.Label2, panel.Label3, panel.Label4, panel.Label5}, s.number);
    ShowDigits(std::array{panel.Label6, panel.Label7, panel.Label8}, s.speed);
    ShowDigits(std::array{panel.Label47, panel.Label24, panel.Label25}, s.groups);
    panel.Label28->ShowValue(QString::number(s.charInGroup));
    ShowDigits(std::array{parameters.Label39, parameters.Label40, parameters.Label41}, s.startSpeed);
    ShowDigits(std::array{parameters.Label43, parameters.Label44, parameters.Label45}, s.stopSpeed);

    // Text type by its short name; a value outside the table leaves the cell as it is.
    if (s.textType >= 0 && s.textType <= 5)
        panel.Label11->ShowValue(English() ? *EnglishTextTypeName(s.textType)
                                           : CaptionEntry(kTextTypeNameEntry + s.textType));
    panel.Label11->SetBackground(textOptions.AllSymbols->isChecked() ? kIndicatorBlack : kIndicatorRed);

    panel.Label14->ShowValue(PauseText(s.pauseDelay));
    configuration.Label16->ShowValue(MidiChannelText(s.midiChannel));
    if (s.noiseType >= 0 && s.noiseType <= 4)
        panel.Label20->ShowValue(English() ? *EnglishNoiseTypeName(s.noiseType)
                                           : CaptionEntry(kNoiseTypeNameEntry + s.noiseType));
    configuration.Label17->ShowValue(MidiPatchText(s.midiPatch));
    ShowDigits(std::array{files.Label77, files.Label78}, s.files);
}

void TMainForm::SymbolSetClick() {
    IndicatorRefresh();
}

void TMainForm::MemoSelectedSymbolsDblClick() {
    SetMemoBytes(textOptions.MemoSelectedSymbols, FullAlphabet());
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == panel.TrackBar3 && (event->type() == QEvent::ToolTip || event->type() == QEvent::FocusIn))
        RefreshNoiseSnrHint(true); // then shown as usual
    if (watched == textOptions.MemoSelectedSymbols->viewport() && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (textOptions.MemoSelectedSymbols->isEnabled())
            MemoSelectedSymbolsDblClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TMainForm::FillSelectedSymbolsMenu(QPoint pos) {
    const SymbolsMenuChoice choice =
        ExecSelectedSymbolsMenu(textOptions.MemoSelectedSymbols, pos, OwnTexts(), History() != nullptr);
    switch (choice.kind) {
    case SymbolsMenuChoice::Kind::None:
        break;
    case SymbolsMenuChoice::Kind::FullAlphabet:
        MemoSelectedSymbolsDblClick();
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
    QLineEdit* const noiseFiles[] = {configuration.NoiseFile1, configuration.NoiseFile2, configuration.NoiseFile3,
                                     configuration.NoiseFile4};
    if (settings_.noiseType >= 1 && settings_.noiseType <= 4)
        return noiseFiles[settings_.noiseType - 1];
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
    QSlider* slider = panel.TrackBar3;
    // With a band on, its own ratio follows the recording's line: the band's hiss is set against
    // the signal at its mean strength, whatever the levels.
    QString bandLine;
    if (band_ && band_->Preset() != BandPreset::Off)
        bandLine = OwnText(Say::BandSnrToolTip).arg(band_->PresetText()).arg(band_->SnrDb());
    const auto show = [slider, &bandLine](const QString& recording) {
        if (bandLine.isEmpty())
            slider->setToolTip(recording);
        else
            slider->setToolTip(recording.isEmpty() ? bandLine : recording + QLatin1Char('\n') + bandLine);
    };
    const QString path = PlayableNoisePath();
    if (path.isEmpty()) {
        show(OwnText(Say::NoiseSnrNoNoise));
        return;
    }
    if (!snrMeter_)
        snrMeter_ = std::make_unique<NoiseSnrMeter>();
    const std::optional<double> snr = snrMeter_->SnrDb(
        morse_, path, CurrentVoice(), configuration.VoiceComboBox->currentData().toString(),
        static_cast<uint16_t>(panel.TrackBar2->value()), static_cast<uint16_t>(slider->value()), measure);
    if (!snr) {
        show(QString());
        return;
    }
    const QString ratio =
        std::isfinite(*snr) ? QString::number(*snr, 'f', 1) : (*snr > 0 ? QStringLiteral("+∞") : QStringLiteral("-∞"));
    show(OwnText(Say::NoiseSnrHint).arg(ratio));
}

} // namespace qlor
