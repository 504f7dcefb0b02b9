#pragma once
// MediaPlayer: the window's media player (`MediaPlayerText`, `MediaPlayerNoise`), a thin Qt face
// of the shared AudioEngine. Operations, all on the window's thread:
//
//   setFileName(path)  the next open() uses this file
//   preload(path)      decodes a recording ahead of time on a thread of the engine, so that a
//                      later open() of it returns at once (returns at once itself)
//   open()             opens the file (closing what was open); false on failure, with a readable
//                      reason in errorString(); warningString() tells when the pure tone stands
//                      in for a missing SoundFont. A MIDI file is sequenced; any other file is
//                      decoded as a recording (once: an unchanged recording opened again
//                      comes from memory).
//   play()             starts and returns at once; at the end of the file it starts from the
//                      beginning; while playing it does nothing. False when not open.
//   stop()             halts playback (nothing when not open or not playing)
//   close()            releases the file (it can be deleted afterwards); idempotent
//   mode()             Playing, Stopped, or NotOpen (treat as neither)
//   positionMs(), lengthMs()  [ms]
//   notify()           signal, raised on the window's thread once per end of playback, whether
//                      the file ended or stop() or close() cut it short
//
// One player per channel: the text player and the noise player share one output device. A noise
// played while the text plays loops without a gap for as long as the text plays and stops on the
// same sample as the text (each then raises its own notify). Levels: see audio/volume.h. The
// voice (VoiceKind; stored as "soundfont", "tone" or "auto", see VoiceName/ParseVoiceName) is set
// on AudioEngine::Shared() (SetVoice) and applies to the next open(); with no usable SoundFont the
// pure tone sounds and warningString() says why.
#include "audio/audio_engine.h"
#include "audio/volume.h"

#include <QObject>
#include <QString>

namespace qlor {

class MediaPlayer : public QObject {
    Q_OBJECT

public:
    enum class Channel { Text, Noise };
    using Mode = PlayerMode;

    explicit MediaPlayer(Channel channel, QObject* parent = nullptr);
    MediaPlayer(Channel channel, AudioEngine& engine, QObject* parent = nullptr);
    ~MediaPlayer() override;

    void setFileName(const QString& fileName) { fileName_ = fileName; }
    QString fileName() const { return fileName_; }
    void preload(const QString& fileName) { engine_.PreloadNoise(fileName.toStdString()); }
    bool open();
    QString errorString() const { return error_; }
    QString warningString() const { return warning_; }
    bool play();
    void stop();
    void close();
    Mode mode() const { return engine_.Mode(slot_); }
    qint64 positionMs() const; // [ms]
    qint64 lengthMs() const;   // [ms]

signals:
    void notify();

private:
    void CollectEnds(bool emitNow);

    AudioEngine& engine_;
    Slot slot_;
    QString fileName_;
    QString error_;
    QString warning_;
    uint32_t seenEnds_ = 0; // playback ends already turned into notices
};

} // namespace qlor
