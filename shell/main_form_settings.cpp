// The settings kept between runs: read from the store once while the window is created, written
// once when it closes. Also the choices of the signal's voice, of the window's scale and of the band
// conditions, which are
// kept with them.
#include "shell/main_form_pages.h"

#include "audio/audio_engine.h"
#include "shell/band_dialog.h"
#include "shell/memo_text.h"
#include "shell/qt_program_text.h"

#include <algorithm>
#include <iterator>

namespace qlor {
namespace {

// The store of a window that was given none: it has no key, so reading it is a first start.
class NoSettingsStore final : public SettingsStore {
public:
    bool OpenKey(bool) override { return false; }
    bool ReadInteger(std::string_view, std::int32_t&) override { return false; }
    bool ReadString(std::string_view, std::string&) override { return false; }
    bool WriteInteger(std::string_view, std::int32_t) override { return false; }
    bool WriteString(std::string_view, std::string_view) override { return false; }
    bool CloseKey() override { return true; }
};

// A file path as the store keeps it (UTF-8) and back. Paths never pass through the code page,
// which cannot hold every character of a file name.
std::string PathBytes(const QString& path) {
    return path.toStdString();
}

QString PathText(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

PersistedSettings TMainForm::CollectSettings() const {
    PersistedSettings v;
    v.transmission = settings_;
    v.tone = configuration.TrackBar1->value();
    v.textType = textOptions.CheckBoxTextType->isChecked();
    const QLineEdit* noise[] = {configuration.NoiseFile1, configuration.NoiseFile2, configuration.NoiseFile3,
                                configuration.NoiseFile4};
    for (size_t i = 0; i < v.noiseFiles.size(); ++i)
        v.noiseFiles[i] = PathBytes(noise[i]->text());
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
    v.pathDir = PathBytes(files.PathDir->text());
    v.language = LanguagePosition();
    v.voice = configuration.VoiceComboBox->currentData().toString().toStdString();
    v.exportAudio = files.ExportAudio->isChecked() ? files.ExportAudioFormat->currentData().toString().toStdString()
                                                   : std::string(kExportAudioOff);
    v.windowScale = windowScale_;
    v.band = band_->Stored();
    v.trainer = CurrentTrainerSettings();
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
        noise[i]->setText(PathText(v.noiseFiles[i]));
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
    files.PathDir->setText(PathText(v.pathDir));
    // The voice goes to the audio engine at once, also when the item shown does not change.
    QComboBox* voice = configuration.VoiceComboBox;
    {
        const QSignalBlocker quiet(voice);
        voice->setCurrentIndex(std::max(voice->findData(Utf8(VoiceOrAuto(v.voice))), 0));
    }
    VoiceComboBoxChange(voice->currentIndex());
    const std::string exportAudio = ExportAudioOrOff(v.exportAudio);
    files.ExportAudio->setChecked(exportAudio != kExportAudioOff);
    if (exportAudio != kExportAudioOff)
        files.ExportAudioFormat->setCurrentIndex(std::max(files.ExportAudioFormat->findData(Utf8(exportAudio)), 0));
    // The desktop's own scale shows as 100 %, which is what it is relative to.
    windowScale_ = WindowScaleOrDesktop(v.windowScale);
    QComboBox* scale = configuration.WindowScaleComboBox;
    const QSignalBlocker quiet(scale);
    scale->setCurrentIndex(std::max(scale->findData(windowScale_), 0));
    band_->SetStored(v.band);
    ApplyTrainerSettings(v.trainer);
}

void TMainForm::LoadSettings() {
    // The core reads the values in the store's order, takes the default set on the first failing
    // read, reads "Languige" on its own and brings every value into range, so nothing out of
    // range reaches the controls or the MIDI writer. Failures are silent: a first start simply
    // finds no settings, and a window without a store always starts that way.
    QComboBox* list = configuration.LngComboBox;
    NoSettingsStore none;
    const LoadOutcome outcome = LoadPersistedSettings(store_ ? *store_ : static_cast<SettingsStore&>(none),
                                                      list->count() - 1, CollectSettings());
    ApplySettings(outcome.values);
    // The saved language position; a negative one leaves no item selected. The language itself
    // is applied by the next step of window creation.
    const QSignalBlocker quiet(list);
    list->setCurrentIndex(std::max(outcome.values.language, -1));
}

void TMainForm::SaveSettings() {
    // All 46 values in their order; the store replaces its file as a whole when the key is
    // closed, so a failed write leaves the previous settings intact. A failure is shown, and the
    // closing goes on (the output levels are still restored). A window without a store keeps nothing.
    if (!store_)
        return;
    const SaveOutcome outcome = SavePersistedSettings(*store_, CollectSettings());
    if (!outcome.ok)
        dialogs_->ShowError(this, QString::fromStdString(outcome.error));
}

void TMainForm::VoiceComboBoxChange(int index) {
    // The engine reads the voice only when it opens a MIDI file, on this thread, so a change while
    // a transmission plays is safe: the sounding text keeps its voice, the next one takes the new.
    const QString stored = configuration.VoiceComboBox->itemData(index).toString();
    VoiceKind voice = VoiceKind::Automatic;
    if (!ParseVoiceName(VoiceOrAuto(stored.toStdString()), voice))
        voice = VoiceKind::Automatic;
    AudioEngine::Shared().SetVoice(voice);
}

// --- The band conditions --------------------------------------------------------------------

void TMainForm::ButtonBandConditionsClick() {
    band_->show();
    band_->raise();
    band_->activateWindow();
}

std::optional<BandSettings> TMainForm::CurrentBand() const {
    return band_->BandFor(TextNumber(settings_));
}

void TMainForm::ShowBandTexts() {
    configuration.ButtonBandConditions->setText(OwnText(Say::BandButton));
    configuration.ButtonBandConditions->setToolTip(OwnText(Say::BandButtonHint));
    band_->ShowTexts(OwnTexts());
}

} // namespace qlor
