#pragma once
// The noise recordings named on the configuration page (NoiseFile1..NoiseFile4): the one of the
// current noise type, whether it can be played, its decoding ahead of Run so that Run does not wait
// for it, a recording chosen in a file dialog or typed in, and the signal-to-noise ratio it gives,
// shown in the noise slider's tip.
#include "control/program_texts.h"
#include "shell/window_pages.h"
#include "synthesis/midi_writer.h"
#include "synthesis/morse_table.h"
#include "synthesis/transmission_settings.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>

class QLineEdit;
class QWidget;

namespace qlor {

class MediaPlayer;
class NoiseSnrMeter;
class UiDialogs;
struct FileDialogSpec;

class NoiseRecordings : public QObject {
public:
    // The noise type is read from `settings` at every use; recordings are decoded ahead through
    // `player` (none of them owned). A name typed into a box is decoded ahead when the typing ends
    // and the box is the current noise type's.
    NoiseRecordings(const Ui::ConfigurationPage& configuration, const TransmissionSettings& settings,
                    MediaPlayer& player);
    ~NoiseRecordings() override;

    // The box of the current noise type (1..4), or null for no noise.
    QLineEdit* CurrentEdit() const;
    // The current noise type's recording when it names a file, else empty (Run's test).
    QString PlayablePath() const;
    // Has the playable recording decoded ahead of Run; a name that is not a file is left for Run
    // to pass over.
    void Preload();
    // Asks for a recording for `edit` in the dialog `request` (its first filter selected); one
    // chosen for the current noise type is decoded ahead.
    void Browse(QLineEdit* edit, UiDialogs& dialogs, QWidget* parent, FileDialogSpec request);
    // The noise slider's tip: the signal-to-noise ratio of the playable recording against the
    // signal in `voice` (`voiceName` the voice list's item data) at the two levels, followed by
    // `bandLine`. The powers are measured once per recording, tone and voice; with `measure` false
    // nothing is measured and an unknown ratio clears the tip until the next measuring.
    QString SnrToolTip(const ProgramTextTable& texts, const MorseTable& morse, const MidiVoice& voice,
                       const QString& voiceName, std::uint16_t midiLevel, std::uint16_t noiseLevel, bool measure,
                       const QString& bandLine);

private:
    const Ui::ConfigurationPage& configuration_;
    const TransmissionSettings& settings_;
    MediaPlayer& player_;
    std::unique_ptr<NoiseSnrMeter> snrMeter_; // made at the first measuring
};

} // namespace qlor
