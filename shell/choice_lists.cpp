#include "shell/choice_lists.h"

#include "control/settings_store.h"
#include "shell/qt_program_text.h"
#include "synthesis/audio_formats.h"
#include "synthesis/sound_names.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

#include <iterator>
#include <string_view>
#include <utility>

namespace qlor {
namespace {

// The voice list's items in their order: the stored name of each and its text.
struct VoiceItem {
    std::string_view stored;
    Say text;
};
constexpr VoiceItem kVoiceItems[] = {
    {kVoiceAuto, Say::VoiceAuto},
    {kVoiceSoundFont, Say::VoiceSoundFont},
    {kVoiceTone, Say::VoiceTone},
};

QString Latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

void FillVoiceChoice(QComboBox* list) {
    const QSignalBlocker quiet(list);
    list->clear();
    for (const VoiceItem& item : kVoiceItems)
        list->addItem(QProgramText(item.text, TextLanguage::English), Latin1(item.stored));
    list->setCurrentIndex(0);
}

void ShowVoiceChoiceTexts(QLabel* label, QComboBox* list, const ProgramTextTable& texts) {
    label->setText(QProgramText(Say::VoiceLabel, texts));
    list->setToolTip(QProgramText(Say::VoiceHint, texts));
    for (int i = 0; i < list->count() && i < static_cast<int>(std::size(kVoiceItems)); ++i)
        list->setItemText(i, QProgramText(kVoiceItems[i].text, texts));
}

void FillWindowScaleChoice(QComboBox* list) {
    const QSignalBlocker quiet(list);
    list->clear();
    for (const int percent : kWindowScaleSteps)
        list->addItem(QString(), percent);
    list->setCurrentIndex(0);
}

void ShowWindowScaleTexts(QLabel* label, QComboBox* list, const ProgramTextTable& texts) {
    label->setText(QProgramText(Say::WindowScaleLabel, texts));
    // The tip says when the choice takes effect.
    list->setToolTip(QProgramText(Say::WindowScaleHint, texts));
    for (int i = 0; i < list->count(); ++i)
        list->setItemText(i, QProgramText(Say::WindowScalePercent, texts).arg(list->itemData(i).toInt()));
}

void FillExportAudioChoice(QCheckBox* choice, QComboBox* formats) {
    formats->clear();
    for (const AudioFormat& format : kAudioFormats)
        formats->addItem(QString::fromLatin1(format.shown), Latin1(format.extension));
    formats->setCurrentIndex(0);
    choice->setChecked(false);
    formats->setEnabled(false);
    QObject::connect(choice, &QCheckBox::toggled, formats, &QWidget::setEnabled);
}

void ShowExportAudioTexts(QCheckBox* choice, QComboBox* formats, const ProgramTextTable& texts) {
    choice->setText(QProgramText(Say::ExportAudioChoice, texts));
    choice->setToolTip(QProgramText(Say::ExportAudioHint, texts));
    formats->setToolTip(QProgramText(Say::ExportAudioFormat, texts));
    formats->setAccessibleName(QProgramText(Say::ExportAudioFormat, texts));
}

VoiceKind ChosenVoice(const QComboBox* list, int index) {
    VoiceKind voice = VoiceKind::Automatic;
    if (!ParseVoiceName(VoiceOrAuto(list->itemData(index).toString().toStdString()), voice))
        voice = VoiceKind::Automatic;
    return voice;
}

} // namespace qlor
