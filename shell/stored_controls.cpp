#include "shell/stored_controls.h"

#include "shell/memo_text.h"
#include "synthesis/settings_table.h"

#include "ui_configurationpage.h"
#include "ui_filespage.h"
#include "ui_panelpage.h"
#include "ui_parameterspage.h"
#include "ui_textoptionspage.h"

#include <QSignalBlocker>

#include <algorithm>

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

void SetRange(QSlider* slider, IntRange range) {
    slider->setRange(range.min, range.max);
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

std::array<QLineEdit*, 4> NoiseFileEdits(const Ui::ConfigurationPage& configuration) {
    return {configuration.NoiseFile1, configuration.NoiseFile2, configuration.NoiseFile3, configuration.NoiseFile4};
}

void TakeSettingRanges(Ui::PanelPage& panel, Ui::ConfigurationPage& configuration) {
    SetRange(configuration.TrackBar1, RangeOf(Setting::Tone));
    SetRange(panel.TrackBar2, RangeOf(Setting::Level));
    SetRange(panel.TrackBar3, RangeOf(Setting::Level));
}

void CollectStoredControls(const StoredPages& pages, PersistedSettings& v) {
    const Ui::TextOptionsPage& textOptions = pages.textOptions;
    const Ui::ConfigurationPage& configuration = pages.configuration;
    v.tone = configuration.TrackBar1->value();
    v.textType = textOptions.CheckBoxTextType->isChecked();
    const auto noise = NoiseFileEdits(configuration);
    for (size_t i = 0; i < v.noiseFiles.size(); ++i)
        v.noiseFiles[i] = PathBytes(noise[i]->text());
    v.trainTextNeed = pages.parameters.TrainTextNeed->isChecked();
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
    v.pathDir = PathBytes(pages.files.PathDir->text());
    v.voice = configuration.VoiceComboBox->currentData().toString().toStdString();
    v.exportAudio = pages.files.ExportAudio->isChecked()
                        ? pages.files.ExportAudioFormat->currentData().toString().toStdString()
                        : std::string(kExportAudioOff);
}

void ApplyStoredControls(const StoredPages& pages, const PersistedSettings& v) {
    // Radio buttons are set one by one as read: checking one clears its partner, clearing one
    // leaves its partner alone.
    const Ui::TextOptionsPage& textOptions = pages.textOptions;
    const Ui::ConfigurationPage& configuration = pages.configuration;
    textOptions.CheckBoxTextType->setChecked(v.textType);
    configuration.TrackBar1->setValue(std::clamp(v.tone, RangeOf(Setting::Tone).min, RangeOf(Setting::Tone).max));
    const auto noise = NoiseFileEdits(configuration);
    for (size_t i = 0; i < v.noiseFiles.size(); ++i)
        noise[i]->setText(PathText(v.noiseFiles[i]));
    pages.parameters.TrainTextNeed->setChecked(v.trainTextNeed);
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
    pages.files.PathDir->setText(PathText(v.pathDir));
    QComboBox* voice = configuration.VoiceComboBox;
    {
        const QSignalBlocker quiet(voice);
        voice->setCurrentIndex(std::max(voice->findData(Utf8(VoiceOrAuto(v.voice))), 0));
    }
    const std::string exportAudio = ExportAudioOrOff(v.exportAudio);
    pages.files.ExportAudio->setChecked(exportAudio != kExportAudioOff);
    if (exportAudio != kExportAudioOff)
        pages.files.ExportAudioFormat->setCurrentIndex(
            std::max(pages.files.ExportAudioFormat->findData(Utf8(exportAudio)), 0));
    // The desktop's own scale shows as 100 %, which is what it is relative to.
    QComboBox* scale = configuration.WindowScaleComboBox;
    const QSignalBlocker quiet(scale);
    scale->setCurrentIndex(std::max(scale->findData(WindowScaleOrDesktop(v.windowScale)), 0));
}

SettingsStore& StoreOrNone(SettingsStore* store) {
    static NoSettingsStore none;
    return store ? *store : none;
}

} // namespace qlor
