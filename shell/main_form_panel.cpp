// The settings panels: step buttons, value cells, the symbol set, noise files and volumes.
#include "shell/main_form.h"

#include "shell/memo_text.h"
#include "shell/panel_map.h"
#include "shell/panel_widgets.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>

namespace qlor {

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
    StepSetting(settings_, id, up, English());
    // The third digits of the competition speeds are fixed at 0; their buttons redraw nothing.
    if (id != IntSetting::StartSpeed3 && id != IntSetting::StopSpeed3)
        IndicatorRefresh();
}

void TMainForm::IndicatorRefresh() {
    const auto show = [](Indicator* cell, int value) { cell->ShowValue(QString::number(value)); };
    const TransmissionSettings& s = settings_;

    show(panel.Label2, s.number[0]);
    show(panel.Label3, s.number[1]);
    show(panel.Label4, s.number[2]);
    show(panel.Label5, s.number[3]);
    show(panel.Label6, s.speed[0]);
    show(panel.Label7, s.speed[1]);
    show(panel.Label8, s.speed[2]);
    show(panel.Label47, s.groups[0]);
    show(panel.Label24, s.groups[1]);
    show(panel.Label25, s.groups[2]);
    show(panel.Label28, s.charInGroup);
    show(parameters.Label39, s.startSpeed[0]);
    show(parameters.Label40, s.startSpeed[1]);
    show(parameters.Label41, s.startSpeed[2]);
    show(parameters.Label43, s.stopSpeed[0]);
    show(parameters.Label44, s.stopSpeed[1]);
    show(parameters.Label45, s.stopSpeed[2]);

    // Text type by its short name; a value outside the table leaves the cell as it is.
    if (s.textType >= 0 && s.textType <= 5)
        panel.Label11->ShowValue(English() ? *EnglishTextTypeName(s.textType) : CaptionEntry(100 + s.textType));
    panel.Label11->SetBackground(textOptions.AllSymbols->isChecked() ? kIndicatorBlack : kIndicatorRed);

    panel.Label14->ShowValue(PauseText(s.pauseDelay));
    configuration.Label16->ShowValue(MidiChannelText(s.midiChannel));
    if (s.noiseType >= 0 && s.noiseType <= 4)
        panel.Label20->ShowValue(English() ? *EnglishNoiseTypeName(s.noiseType) : CaptionEntry(106 + s.noiseType));
    configuration.Label17->ShowValue(MidiPatchText(s.midiPatch));
    show(files.Label77, s.files[0]);
    show(files.Label78, s.files[1]);
}

void TMainForm::SymbolSetClick() {
    IndicatorRefresh();
}

void TMainForm::MemoSelectedSymbolsDblClick() {
    SetMemoBytes(textOptions.MemoSelectedSymbols, FullAlphabet());
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == textOptions.MemoSelectedSymbols->viewport() && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (textOptions.MemoSelectedSymbols->isEnabled())
            MemoSelectedSymbolsDblClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TMainForm::FillSelectedSymbolsMenu(QPoint pos) {
    // The double-click command, also on the context menu so that it can be reached by keyboard.
    QPlainTextEdit* memo = textOptions.MemoSelectedSymbols;
    std::unique_ptr<QMenu> menu(memo->createStandardContextMenu(pos));
    menu->addSeparator();
    QAction* full = menu->addAction(tr("Put in the full alphabet"));
    full->setEnabled(memo->isEnabled() && !memo->isReadOnly());
    if (menu->exec(memo->mapToGlobal(pos)) == full)
        MemoSelectedSymbolsDblClick();
}

void TMainForm::BrowseNoiseFile(QLineEdit* edit) {
    FileDialogSpec spec = OpenDialogNoise;
    spec.filterIndex = 1;
    if (const auto path = dialogs_->OpenFile(this, spec))
        edit->setText(*path);
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
}
void TMainForm::TrackBar3Change(int position) {
    levels_->SetWaveVolume(position);
}

} // namespace qlor
