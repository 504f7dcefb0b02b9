#pragma once
// The session core's audio port and clock in the classic window: the port plays through the
// window's own two players (`MediaPlayerText`, `MediaPlayerNoise`) from "temp.mid", which it
// writes before opening and removes on Close; the clock's progress timer is the window's
// `TrainTimer`.
//
// The players' notices stay connected to the window's handlers; the window hands the text
// player's notice to TextEnded, which tells whether it was the natural end of a play started here.
#include "audio/end_notices.h"
#include "control/session.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <QString>

#include <functional>

class QTimer;

namespace qlor {

class MediaPlayer;

class ClassicAudioPort : public AudioPort {
public:
    // `midiPath` gives the path of "temp.mid" afresh at every write (the current directory may
    // change between transmissions). The players belong to the window and outlive the port.
    ClassicAudioPort(MediaPlayer& text, MediaPlayer& noise, std::function<QString()> midiPath);
    ~ClassicAudioPort() override;
    ClassicAudioPort(const ClassicAudioPort&) = delete;
    ClassicAudioPort& operator=(const ClassicAudioPort&) = delete;

    std::string WriteMidi(const ByteVector& bytes) override;
    std::string OpenMidi(const ByteVector& bytes) override;
    std::string OpenNoise(const std::string& path) override;
    std::string Play() override;
    void Stop() override;
    void Close() override;
    std::int64_t PositionMs() const override;
    std::int64_t LengthMs() const override;
    void SetEndListener(EndListener listener) override { listener_ = std::move(listener); }

    // The text player's notice. True when the port has taken it: the natural end of its latest
    // play (reported to the end listener), or the late notice of an earlier play while a later one
    // plays. False for a notice that is not the port's to take (a play started elsewhere, or the
    // stop or close of the port's own latest play): the window runs its end steps as usual.
    bool TextEnded();

private:
    MediaPlayer& text_;
    MediaPlayer& noise_;
    std::function<QString()> midiPath_;
    QString writtenPath_; // "temp.mid" as written, until Close removes it
    bool hasNoise_ = false;
    EndNotices ends_; // of the text player
    EndListener listener_;
};

// One timer at a time, on the window's progress timer: starting a timer replaces the one before.
class ClassicClock : public Clock {
public:
    explicit ClassicClock(QTimer& timer);
    ~ClassicClock() override;
    ClassicClock(const ClassicClock&) = delete;
    ClassicClock& operator=(const ClassicClock&) = delete;

    std::int64_t NowMs() const override;
    int StartTimer(std::int64_t intervalMs, std::function<void()> tick) override;
    void StopTimer(int id) override;

private:
    QTimer& timer_;
    QMetaObject::Connection connection_;
    QElapsedTimer elapsed_;
    std::function<void()> tick_;
    int id_ = 0; // the running timer's id, 0 when none runs
    int lastId_ = 0;
};

} // namespace qlor
