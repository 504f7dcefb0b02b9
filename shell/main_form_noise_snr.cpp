// The noise slider's tool tip: the signal-to-noise ratio the operator hears now, measured as
// `qlor-cli render --snr` sets it (the band of 500 Hz around the tone, the Morse while the key is
// down against the noise recording), from the two levels, the voice, the tone and the recording;
// with a generated band on, the band's own ratio as well.
#include "shell/main_form.h"

#include "audio/audio_engine.h"
#include "audio/noise_cache.h"
#include "audio/note_pitch.h"
#include "audio/signal_to_noise.h"
#include "audio/soundfont_bank.h"
#include "shell/band_dialog.h"
#include "synthesis/midi_writer.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace qlor {
namespace {

constexpr int kMeasureRate = 48000; // [frames/s]

// Key-down band power of a few dashes in the current voice, tone and instrument.
double MeasureSignal(const MorseTable& table, const MidiVoice& voice, VoiceKind kind) {
    const MidiResult midi = BuildMorseMidi(table, {SegmentText{"", "TTT", "", 60}}, 1, voice);
    if (midi.bytes.empty())
        return 0;
    std::unique_ptr<SoundFontBank> bank;
    if (kind != VoiceKind::Tone)
        bank = std::make_unique<SoundFontBank>(kMeasureRate);
    MidiOpenResult opened = OpenMidiBytes(midi.bytes, kind, bank.get(), kMeasureRate);
    if (!opened.source)
        return 0;
    return KeyDownBandPower(*opened.source, TonePitchHz(opened.source->Timeline()));
}

} // namespace

struct TMainForm::SnrPowers {
    QString noisePath;
    QDateTime noiseModified;
    int noiseTone = -1;
    double noise = 0;
    QString voice;
    MidiVoice signalVoice{};
    bool signalKnown = false;
    double signal = 0;
};

void TMainForm::RefreshNoiseSnrHint(bool measure) {
    QSlider* slider = panel.TrackBar3;
    // With a band on, its own ratio follows the recording's line: the band's hiss is set against
    // the signal at its mean strength, whatever the levels.
    QString bandLine;
    if (band_ && band_->Preset() != BandPreset::Off)
        bandLine = OwnText(Say::BandSnrToolTip).arg(band_->PresetText()).arg(band_->SnrDb());
    const auto show = [slider, &bandLine](const QString& recording) {
        if (bandLine.isEmpty())
            slider->setToolTip(recording);
        else
            slider->setToolTip(recording.isEmpty() ? bandLine : recording + QLatin1Char('\n') + bandLine);
    };
    const QString path = PlayableNoisePath();
    if (path.isEmpty()) {
        show(OwnText(Say::NoiseSnrNoNoise));
        return;
    }
    if (!snrPowers_)
        snrPowers_ = std::make_shared<SnrPowers>();
    SnrPowers& p = *snrPowers_;

    MidiVoice voice;
    voice.note = configuration.TrackBar1->value();
    voice.channel = settings_.midiChannel;
    voice.patch = settings_.midiPatch;
    voice.pauseDelay = settings_.pauseDelay;
    const double toneHz = NoteHz(voice.note);
    const QDateTime modified = QFileInfo(path).lastModified();
    const QString voiceName = configuration.VoiceComboBox->currentData().toString();
    const bool noiseKnown = p.noisePath == path && p.noiseModified == modified && p.noiseTone == voice.note;
    const bool signalKnown = p.signalKnown && p.voice == voiceName && p.signalVoice.note == voice.note &&
                             p.signalVoice.channel == voice.channel && p.signalVoice.patch == voice.patch;
    if (!measure && !(noiseKnown && signalKnown)) {
        show(QString());
        return;
    }
    if (!noiseKnown) {
        // The clip the noise player plays, from the engine's cache (usually preloaded already).
        const NoiseResult decoded = AudioEngine::Shared().Noise().Open(QFile::encodeName(path).toStdString());
        p.noise = decoded.ok() ? NoiseBandPower(*decoded.clip, toneHz) : 0;
        p.noisePath = path;
        p.noiseModified = modified;
        p.noiseTone = voice.note;
    }
    if (!signalKnown) {
        VoiceKind kind = VoiceKind::Automatic;
        ParseVoiceName(VoiceOrAuto(voiceName.toStdString()), kind);
        p.signal = MeasureSignal(morse_, voice, kind);
        p.voice = voiceName;
        p.signalVoice = voice;
        p.signalKnown = true;
    }
    const double snr = SnrDb(p.signal, static_cast<uint16_t>(panel.TrackBar2->value()), p.noise,
                             static_cast<uint16_t>(slider->value()));
    const QString ratio =
        std::isfinite(snr) ? QString::number(snr, 'f', 1) : (snr > 0 ? QStringLiteral("+∞") : QStringLiteral("-∞"));
    show(OwnText(Say::NoiseSnrHint).arg(ratio));
}

} // namespace qlor
