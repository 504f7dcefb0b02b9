// The settings kept between runs: read from the store once while the window is created, written
// once when it closes.
#include "shell/main_form.h"

#include "shell/memo_text.h"

#include <algorithm>

namespace qlor {

PersistedSettings TMainForm::CollectSettings() const {
    PersistedSettings v;
    v.transmission = settings_;
    v.tone = configuration.TrackBar1->value();
    v.textType = textOptions.CheckBoxTextType->isChecked();
    const QLineEdit* noise[] = {configuration.NoiseFile1, configuration.NoiseFile2, configuration.NoiseFile3,
                                configuration.NoiseFile4};
    for (size_t i = 0; i < v.noiseFiles.size(); ++i)
        v.noiseFiles[i] = ToCp1251(noise[i]->text());
    v.trainTextNeed = parameters.TrainTextNeed->isChecked();
    v.parisSystem = configuration.ParisSystem->isChecked();
    v.allSymbols = textOptions.AllSymbols->isChecked();
    v.selectedSymbols = textOptions.SelectedSymbols->isChecked();
    v.selectedSymbolsString = MemoBytes(textOptions.MemoSelectedSymbols);
    v.autoPriem = textOptions.CheckBoxAutoPriem->isChecked();
    v.needHeader = textOptions.NeedHeader->isChecked();
    v.headerStandart = textOptions.HeaderStandart->isChecked();
    v.headerUser = textOptions.HeaderUser->isChecked();
    v.beginChar = ToCp1251(textOptions.BeginChar->text());
    v.needEnded = textOptions.NeedEnded->isChecked();
    v.endedStandart = textOptions.EndedStandart->isChecked();
    v.endedUser = textOptions.EndedUser->isChecked();
    v.endChar = ToCp1251(textOptions.EndChar->text());
    v.pathDir = ToCp1251(files.PathDir->text());
    v.language = LanguagePosition();
    return v;
}

void TMainForm::ApplySettings(const PersistedSettings& v) {
    // In the order the store is read. Radio buttons are set one by one as read: checking one
    // clears its partner, clearing one leaves its partner alone, so a stored pair of false/false
    // leaves neither checked, as it was kept.
    settings_ = v.transmission;
    textOptions.CheckBoxTextType->setChecked(v.textType);
    configuration.TrackBar1->setValue(std::clamp(v.tone, kToneMin, kToneMax));
    QLineEdit* noise[] = {configuration.NoiseFile1, configuration.NoiseFile2, configuration.NoiseFile3,
                          configuration.NoiseFile4};
    for (size_t i = 0; i < v.noiseFiles.size(); ++i)
        noise[i]->setText(FromCp1251(v.noiseFiles[i]));
    parameters.TrainTextNeed->setChecked(v.trainTextNeed);
    SetRadioChecked(configuration.ParisSystem, v.parisSystem);
    SetRadioChecked(textOptions.AllSymbols, v.allSymbols);
    SetRadioChecked(textOptions.SelectedSymbols, v.selectedSymbols);
    SetMemoBytes(textOptions.MemoSelectedSymbols, v.selectedSymbolsString);
    textOptions.CheckBoxAutoPriem->setChecked(v.autoPriem);
    textOptions.NeedHeader->setChecked(v.needHeader);
    SetRadioChecked(textOptions.HeaderStandart, v.headerStandart);
    SetRadioChecked(textOptions.HeaderUser, v.headerUser);
    textOptions.BeginChar->setText(FromCp1251(v.beginChar));
    textOptions.NeedEnded->setChecked(v.needEnded);
    SetRadioChecked(textOptions.EndedStandart, v.endedStandart);
    SetRadioChecked(textOptions.EndedUser, v.endedUser);
    textOptions.EndChar->setText(FromCp1251(v.endChar));
    files.PathDir->setText(FromCp1251(v.pathDir));
}

void TMainForm::LoadSettings() {
    // The core reads the values in the store's order, takes the default set on the first failing
    // read, reads "Languige" on its own and brings every value into range, so nothing out of
    // range reaches the controls or the MIDI writer. Failures are silent: a first start simply
    // finds no settings.
    QComboBox* list = configuration.LngComboBox;
    const LoadOutcome outcome = LoadPersistedSettings(*store_, list->count() - 1, CollectSettings());
    ApplySettings(outcome.values);
    // The saved language position; a negative one leaves no item selected. The language itself
    // is applied by the next step of window creation.
    const QSignalBlocker quiet(list);
    list->setCurrentIndex(std::max(outcome.values.language, -1));
}

void TMainForm::SaveSettings() {
    // All 46 values in their order; the store replaces its file as a whole when the key is
    // closed, so a failed write leaves the previous settings intact. A failure is shown, and the
    // closing goes on (the output levels are still restored).
    const SaveOutcome outcome = SavePersistedSettings(*store_, CollectSettings());
    if (!outcome.ok)
        dialogs_->ShowError(this, QString::fromStdString(outcome.error));
}

} // namespace qlor
