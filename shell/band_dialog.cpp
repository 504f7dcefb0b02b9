#include "shell/band_dialog.h"

#include "shell/accessibility.h"
#include "shell/qt_program_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <iterator>

namespace qlor {
namespace {

// The stored widths are the receiver's widths.
static_assert(std::size(kBandFilterWidthsHz) == kBandFilterValues.size());
static_assert(kBandFilterWidthsHz[0] == kBandFilterValues[0] && kBandFilterWidthsHz[1] == kBandFilterValues[1] &&
              kBandFilterWidthsHz[2] == kBandFilterValues[2]);

// The preset list's items in their order: the preset and its text.
struct PresetItem {
    BandPreset preset;
    Say text;
};
constexpr PresetItem kPresetItems[] = {
    {BandPreset::Off, Say::BandPresetOff},         {BandPreset::Quiet, Say::BandPresetQuiet},
    {BandPreset::Average, Say::BandPresetAverage}, {BandPreset::Contest, Say::BandPresetContest},
    {BandPreset::Poor, Say::BandPresetPoor},
};

QString Latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

BandDialog::BandDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("BandDialog"));
    setModal(false);
    setSizeGripEnabled(true);

    group_ = new QGroupBox(this);
    group_->setObjectName(QStringLiteral("BandConditionsGroup"));
    preset_ = new QComboBox(group_);
    preset_->setObjectName(QStringLiteral("BandPresetComboBox"));
    for (const PresetItem& item : kPresetItems)
        preset_->addItem(QString(), Latin1(BandPresetName(item.preset)));
    snr_ = new QSpinBox(group_);
    snr_->setObjectName(QStringLiteral("BandSnrSpinBox"));
    snr_->setRange(static_cast<int>(kBandMinSnrDb), static_cast<int>(kBandMaxSnrDb));
    filter_ = new QComboBox(group_);
    filter_->setObjectName(QStringLiteral("BandFilterComboBox"));
    for (const int width : kBandFilterValues)
        filter_->addItem(QString(), width);
    agc_ = new QCheckBox(group_);
    agc_->setObjectName(QStringLiteral("BandAgcCheckBox"));
    seed_ = new QComboBox(group_);
    seed_->setObjectName(QStringLiteral("BandSeedComboBox"));
    seed_->addItem(QString(), Latin1(kBandSeedText));
    seed_->addItem(QString(), Latin1(kBandSeedRandom));

    presetLabel_ = new QLabel(group_);
    snrLabel_ = new QLabel(group_);
    filterLabel_ = new QLabel(group_);
    seedLabel_ = new QLabel(group_);

    auto* form = new QFormLayout(group_);
    AddLabelledRow(form, presetLabel_, preset_);
    AddLabelledRow(form, snrLabel_, snr_);
    AddLabelledRow(form, filterLabel_, filter_);
    form->addRow(agc_);
    AddLabelledRow(form, seedLabel_, seed_);

    auto* buttons = new QDialogButtonBox(this);
    close_ = buttons->addButton(QDialogButtonBox::Close);
    close_->setObjectName(QStringLiteral("BandCloseButton"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group_);
    layout->addWidget(buttons);

    SetStored(StoredBand{});
    connect(preset_, &QComboBox::currentIndexChanged, this, &BandDialog::PresetChosen);
    connect(snr_, &QSpinBox::valueChanged, this, [this] {
        snrSet_ = true;
        emit Changed();
    });
    connect(filter_, &QComboBox::currentIndexChanged, this, &BandDialog::Changed);
    connect(agc_, &QCheckBox::toggled, this, &BandDialog::Changed);
    connect(seed_, &QComboBox::currentIndexChanged, this, &BandDialog::Changed);
    ShowTexts(ProgramTextTable::English());
}

StoredBand BandDialog::Stored() const {
    StoredBand band;
    band.preset = preset_->currentData().toString().toStdString();
    if (snrSet_)
        band.snrDb = snr_->value();
    band.filterHz = filter_->currentData().toInt();
    band.agc = agc_->isChecked();
    band.seed = seed_->currentData().toString().toStdString();
    return band;
}

void BandDialog::SetStored(const StoredBand& stored) {
    const StoredBand band = NormalizedBand(stored);
    {
        const QSignalBlocker quiet(this);
        preset_->setCurrentIndex(std::max(preset_->findData(QString::fromStdString(band.preset)), 0));
        const BandSettings own = PresetBand(Preset());
        snr_->setValue(band.snrDb ? *band.snrDb : static_cast<int>(std::lround(own.snrDb)));
        filter_->setCurrentIndex(std::max(filter_->findData(band.filterHz), 0));
        agc_->setChecked(band.agc);
        seed_->setCurrentIndex(std::max(seed_->findData(QString::fromStdString(band.seed)), 0));
    }
    snrSet_ = band.snrDb.has_value();
    EnableParts();
    emit Changed();
}

BandPreset BandDialog::Preset() const {
    BandPreset preset = BandPreset::Off;
    if (!ParseBandPreset(preset_->currentData().toString().toStdString(), preset))
        preset = BandPreset::Off;
    return preset;
}

std::optional<BandSettings> BandDialog::BandFor(int textNumber) const {
    const BandPreset preset = Preset();
    if (preset == BandPreset::Off)
        return std::nullopt;
    BandSettings band = PresetBand(preset);
    band.snrDb = snr_->value();
    band.filterHz = filter_->currentData().toInt();
    band.agc = agc_->isChecked();
    band.seed = seed_->currentData().toString() == Latin1(kBandSeedRandom) ? QRandomGenerator::global()->generate64()
                                                                           : static_cast<uint64_t>(textNumber);
    return band;
}

QString BandDialog::PresetText() const {
    return preset_->currentText();
}

int BandDialog::SnrDb() const {
    return snr_->value();
}

QString BandDialog::SnrToolTipLine(const ProgramTextTable& texts) const {
    if (Preset() == BandPreset::Off)
        return {};
    return QProgramText(Say::BandSnrToolTip, texts).arg(PresetText()).arg(SnrDb());
}

void BandDialog::ShowTexts(const ProgramTextTable& texts) {
    const auto say = [&texts](Say id) { return QProgramText(id, texts); };
    setWindowTitle(say(Say::BandTitle));
    group_->setTitle(say(Say::BandTitle));
    presetLabel_->setText(say(Say::BandPresetLabel));
    preset_->setToolTip(say(Say::BandPresetHint));
    for (int i = 0; i < preset_->count(); ++i)
        preset_->setItemText(i, say(kPresetItems[i].text));
    snrLabel_->setText(say(Say::BandSnrLabel));
    snr_->setToolTip(say(Say::BandSnrHint));
    filterLabel_->setText(say(Say::BandFilterLabel));
    filter_->setToolTip(say(Say::BandFilterHint));
    for (int i = 0; i < filter_->count(); ++i)
        filter_->setItemText(i, say(Say::BandFilterWidth).arg(filter_->itemData(i).toInt()));
    agc_->setText(say(Say::BandAgc));
    agc_->setToolTip(say(Say::BandAgcHint));
    seedLabel_->setText(say(Say::BandSeedLabel));
    seed_->setToolTip(say(Say::BandSeedHint));
    seed_->setItemText(0, say(Say::BandSeedText));
    seed_->setItemText(1, say(Say::BandSeedRandom));
    close_->setText(say(Say::BandClose));
    close_->setToolTip(say(Say::BandCloseHint));
    // A screen reader calls each control by its label.
    for (auto [label, control] : {std::pair<QLabel*, QWidget*>{presetLabel_, preset_},
                                  {snrLabel_, snr_},
                                  {filterLabel_, filter_},
                                  {seedLabel_, seed_}})
        control->setAccessibleName(label->text());
    group_->setAccessibleName(group_->title());
}

void BandDialog::PresetChosen(int) {
    // A preset brings its own ratio; the filter, the AGC and the seed stay as chosen.
    {
        const QSignalBlocker quiet(snr_);
        snr_->setValue(static_cast<int>(std::lround(PresetBand(Preset()).snrDb)));
    }
    snrSet_ = Preset() != BandPreset::Off;
    EnableParts();
    emit Changed();
}

void BandDialog::EnableParts() {
    const bool on = Preset() != BandPreset::Off;
    for (QWidget* part : {static_cast<QWidget*>(snr_), static_cast<QWidget*>(filter_), static_cast<QWidget*>(agc_),
                          static_cast<QWidget*>(seed_)})
        part->setEnabled(on);
}

} // namespace qlor
