// The Files page: the batch export (ExportJob) writes a numbered series of text and MIDI file
// pairs into the folder of PathDir, each with its sound file when "also write audio" is chosen,
// and Button37 chooses that folder.
#include "shell/main_form_pages.h"

#include "shell/export_job.h"

#include <QDir>
#include <QFile>

namespace qlor {
void TMainForm::ButtonFormFilesClick() {
    if (!exportJob_)
        exportJob_ = std::make_unique<ExportJob>(this, *clock_, files.ExportGauge, files.ExportStatus);
    if (exportJob_->Running())
        return;

    ControlBlock();
    ExportParams params;
    params.controls = ReadRadiogramControls();
    params.cpm = configuration.OurSystem->isChecked();
    params.voice = CurrentVoice();
    params.folder = ExportFolder(files.PathDir->text());
    // The sound as Run would play it now: the voice, the current noise type's recording, the levels.
    RenderRequest sound;
    if (files.ExportAudio->isChecked()) {
        params.audioExtension = files.ExportAudioFormat->currentData().toString().toStdString();
        ParseVoiceName(VoiceOrAuto(configuration.VoiceComboBox->currentData().toString().toStdString()), sound.voice);
        sound.noisePath = QFile::encodeName(PlayableNoisePath()).toStdString();
        sound.midiLevel = static_cast<uint16_t>(panel.TrackBar2->value());
        sound.noiseLevel = static_cast<uint16_t>(panel.TrackBar3->value());
        // The band follows the text number, as Run plays that text and `qlor-cli export --band`.
        sound.band = CurrentBand();
    }
    exportJob_->Start(morse_, std::move(params), std::move(sound));
}

void TMainForm::Button37Click() {
    // The chooser starts at the folder now shown; a cancel keeps it.
    if (const auto folder = dialogs_->ChooseFolder(this, files.PathDir->text()))
        files.PathDir->setText(QDir::toNativeSeparators(*folder));
}

} // namespace qlor
