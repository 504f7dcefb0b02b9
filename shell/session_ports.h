#pragma once
// The session core's audio port and clock on the real sound device and Qt's timers.
//
// The port has an audio engine of its own, so that the trainer never cuts into a transmission of
// the classic window: its two players (text and noise) are the engine's two slots. The MIDI bytes
// are written to a temporary file that lives while it is open.
#include "audio/end_notices.h"
#include "audio/midi_source.h"
#include "control/session.h"

#include <QObject>

#include <map>
#include <memory>

class QTemporaryFile;
class QTimer;
class QElapsedTimer;

namespace qlor {

class AudioEngine;
class MediaPlayer;

class DeviceAudioPort : public QObject, public AudioPort {
    Q_OBJECT
public:
    explicit DeviceAudioPort(VoiceKind voice, QObject* parent = nullptr);
    ~DeviceAudioPort() override;
    // The voice of the MIDI opened from now on.
    void SetVoice(VoiceKind voice);

    std::string OpenMidi(const ByteVector& bytes) override;
    std::string OpenNoise(const std::string& path) override;
    std::string Play() override;
    void Stop() override;
    void Close() override;
    std::int64_t PositionMs() const override;
    std::int64_t LengthMs() const override;
    void SetEndListener(EndListener listener) override { listener_ = std::move(listener); }

private:
    void TextEnded();
    void NoiseEnded();

    std::unique_ptr<AudioEngine> engine_;
    MediaPlayer* text_ = nullptr;
    MediaPlayer* noise_ = nullptr;
    std::unique_ptr<QTemporaryFile> midiFile_;
    bool hasNoise_ = false;
    EndNotices ends_; // of the text player
    EndListener listener_;
};

class QtClock : public Clock {
public:
    QtClock();
    ~QtClock() override;
    std::int64_t NowMs() const override;
    int StartTimer(std::int64_t intervalMs, std::function<void()> tick) override;
    void StopTimer(int id) override;

private:
    std::unique_ptr<QElapsedTimer> elapsed_;
    std::map<int, QTimer*> timers_;
    int lastId_ = 0;
};

} // namespace qlor
