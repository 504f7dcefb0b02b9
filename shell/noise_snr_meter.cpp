#include "shell/noise_snr_meter.h"

#include "audio/audio_engine.h"
#include "audio/noise_cache.h"
#include "audio/note_pitch.h"
#include "audio/signal_to_noise.h"
#include "audio/soundfont_bank.h"
#include "control/settings_store.h"
#include "shell/qt_program_text.h"
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

std::optional<double> NoiseSnrMeter::SnrDb(const MorseTable& table, const QString& noisePath, const MidiVoice& voice,
                                           const QString& voiceName, std::uint16_t midiLevel, std::uint16_t noiseLevel,
                                           bool measure) {
    const double toneHz = NoteHz(voice.note);
    const QDateTime modified = QFileInfo(noisePath).lastModified();
    const bool noiseKnown = noisePath_ == noisePath && noiseModified_ == modified && noiseTone_ == voice.note;
    const bool signalKnown = signalKnown_ && voice_ == voiceName && signalVoice_.note == voice.note &&
                             signalVoice_.channel == voice.channel && signalVoice_.patch == voice.patch;
    if (!measure && !(noiseKnown && signalKnown))
        return std::nullopt;
    if (!noiseKnown) {
        // The clip the noise player plays, from the engine's cache (usually preloaded already).
        const NoiseResult decoded = AudioEngine::Shared().Noise().Open(QFile::encodeName(noisePath).toStdString());
        noise_ = decoded.ok() ? NoiseBandPower(*decoded.clip, toneHz) : 0;
        noisePath_ = noisePath;
        noiseModified_ = modified;
        noiseTone_ = voice.note;
    }
    if (!signalKnown) {
        VoiceKind kind = VoiceKind::Automatic;
        ParseVoiceName(VoiceOrAuto(voiceName.toStdString()), kind);
        signal_ = MeasureSignal(table, voice, kind);
        voice_ = voiceName;
        signalVoice_ = voice;
        signalKnown_ = true;
    }
    return qlor::SnrDb(signal_, midiLevel, noise_, noiseLevel);
}

QString NoiseSnrToolTip(const ProgramTextTable& texts, bool recording, std::optional<double> snr,
                        const QString& bandLine) {
    QString line;
    if (!recording) {
        line = QProgramText(Say::NoiseSnrNoNoise, texts);
    } else if (snr) {
        const QString ratio = std::isfinite(*snr) ? QString::number(*snr, 'f', 1)
                                                  : (*snr > 0 ? QStringLiteral("+∞") : QStringLiteral("-∞"));
        line = QProgramText(Say::NoiseSnrHint, texts).arg(ratio);
    }
    if (bandLine.isEmpty())
        return line;
    return line.isEmpty() ? bandLine : line + QLatin1Char('\n') + bandLine;
}

} // namespace qlor
