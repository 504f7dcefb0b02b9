#pragma once
// The "Band conditions" dialog, opened from the Configuration page: the generated band Run, the
// competition and the export with audio play the texts through (preset, signal-to-noise ratio,
// receiver filter, AGC and whether the band follows the text number or is drawn at random). Not
// modal; it holds the choice while hidden, and a change applies to the next text opened.
#include "audio/band_settings.h"
#include "control/program_texts.h"
#include "control/settings_store.h"

#include <QDialog>

#include <cstdint>
#include <optional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace qlor {

class BandDialog : public QDialog {
    Q_OBJECT
public:
    explicit BandDialog(QWidget* parent);

    // The choice as it is stored, and the reverse (unknown names and widths give their defaults,
    // a missing ratio the preset's own).
    StoredBand Stored() const;
    void SetStored(const StoredBand& stored);

    BandPreset Preset() const;
    // The band a text with `textNumber` plays through: none when the preset is "off"; the seed is
    // the text number, or drawn at random when that is chosen.
    std::optional<BandSettings> BandFor(int textNumber) const;
    // The preset's name as the dialog shows it.
    QString PresetText() const;
    int SnrDb() const;
    // The band's line of the noise slider's tip in `texts`: its preset and ratio, or empty while
    // the band is off. The band's hiss is set against the signal at its mean strength, so the
    // ratio holds whatever the levels.
    QString SnrToolTipLine(const ProgramTextTable& texts) const;

    // The texts of the language shown.
    void ShowTexts(const ProgramTextTable& texts);

signals:
    // Any of the choices changed, by the operator or by SetStored.
    void Changed();

private:
    void PresetChosen(int index);
    void EnableParts();

    QGroupBox* group_;
    QLabel* presetLabel_;
    QComboBox* preset_;
    QLabel* snrLabel_;
    QSpinBox* snr_;
    QLabel* filterLabel_;
    QComboBox* filter_;
    QCheckBox* agc_;
    QLabel* seedLabel_;
    QComboBox* seed_;
    QPushButton* close_;
    // The ratio was stored or chosen; until then it is the preset's own and is not stored.
    bool snrSet_ = false;
};

} // namespace qlor
