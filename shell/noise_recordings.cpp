#include "shell/noise_recordings.h"

#include "audio/media_player.h"
#include "shell/noise_snr_meter.h"
#include "shell/stored_controls.h"
#include "shell/ui_dialogs.h"

#include <QFileInfo>
#include <QLineEdit>

#include <optional>

namespace qlor {

NoiseRecordings::NoiseRecordings(const Ui::ConfigurationPage& configuration, const TransmissionSettings& settings,
                                 MediaPlayer& player)
    : configuration_(configuration), settings_(settings), player_(player) {
    for (QLineEdit* noiseFile : NoiseFileEdits(configuration_)) {
        connect(noiseFile, &QLineEdit::editingFinished, this, [this, noiseFile] {
            if (noiseFile == CurrentEdit())
                Preload();
        });
    }
}

NoiseRecordings::~NoiseRecordings() = default;

QLineEdit* NoiseRecordings::CurrentEdit() const {
    if (settings_.noiseType >= 1 && settings_.noiseType <= 4)
        return NoiseFileEdits(configuration_)[settings_.noiseType - 1];
    return nullptr;
}

QString NoiseRecordings::PlayablePath() const {
    const QLineEdit* noiseFile = CurrentEdit();
    if (!noiseFile)
        return {};
    const QString path = noiseFile->text();
    return !path.isEmpty() && QFileInfo(path).isFile() ? path : QString();
}

void NoiseRecordings::Preload() {
    // The same test as Run's.
    const QString path = PlayablePath();
    if (!path.isEmpty())
        player_.preload(path);
}

void NoiseRecordings::Browse(QLineEdit* edit, UiDialogs& dialogs, QWidget* parent, FileDialogSpec request) {
    request.filterIndex = 1;
    if (const auto path = dialogs.OpenFile(parent, request)) {
        edit->setText(*path);
        if (edit == CurrentEdit())
            Preload();
    }
}

QString NoiseRecordings::SnrToolTip(const ProgramTextTable& texts, const MorseTable& morse, const MidiVoice& voice,
                                    const QString& voiceName, std::uint16_t midiLevel, std::uint16_t noiseLevel,
                                    bool measure, const QString& bandLine) {
    const QString path = PlayablePath();
    std::optional<double> snr;
    if (!path.isEmpty()) {
        if (!snrMeter_)
            snrMeter_ = std::make_unique<NoiseSnrMeter>();
        snr = snrMeter_->SnrDb(morse, path, voice, voiceName, midiLevel, noiseLevel, measure);
    }
    return NoiseSnrToolTip(texts, !path.isEmpty(), snr, bandLine);
}

} // namespace qlor
