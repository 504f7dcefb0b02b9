#include "shell/classic_audio_port.h"

#include "audio/media_player.h"
#include "base/safe_file.h"

#include <QFile>
#include <QTimer>

#include <algorithm>
#include <string_view>

namespace qlor {

ClassicAudioPort::ClassicAudioPort(MediaPlayer& text, MediaPlayer& noise, std::function<QString()> midiPath)
    : text_(text), noise_(noise), midiPath_(std::move(midiPath)) {}

ClassicAudioPort::~ClassicAudioPort() {
    Close();
}

std::string ClassicAudioPort::WriteMidi(const ByteVector& bytes) {
    const QString path = midiPath_();
    std::string error =
        WriteFileAtomically(QFile::encodeName(path).toStdString(),
                            std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    if (error.empty())
        writtenPath_ = path;
    return error;
}

std::string ClassicAudioPort::OpenMidi(const ByteVector& bytes) {
    noise_.close();
    hasNoise_ = false;
    if (writtenPath_.isEmpty()) {
        // The player plays from the file: bytes that were not written go there first.
        if (std::string error = WriteMidi(bytes); !error.empty())
            return error;
    }
    text_.setFileName(writtenPath_);
    if (!text_.open())
        return text_.errorString().toStdString();
    return {};
}

std::string ClassicAudioPort::OpenNoise(const std::string& path) {
    noise_.close();
    hasNoise_ = false;
    if (path.empty())
        return {};
    noise_.setFileName(QString::fromStdString(path));
    if (!noise_.open())
        return noise_.errorString().toStdString();
    hasNoise_ = true;
    return {};
}

std::string ClassicAudioPort::Play() {
    if (!text_.play())
        return text_.errorString().isEmpty() ? std::string("not open") : text_.errorString().toStdString();
    ends_.Started();
    if (hasNoise_)
        noise_.play();
    return {};
}

void ClassicAudioPort::Stop() {
    ends_.CutShort();
    text_.stop();
    noise_.stop();
}

void ClassicAudioPort::Close() {
    ends_.CutShort();
    text_.close();
    noise_.close();
    hasNoise_ = false;
    // Only the file this port wrote: a failed write leaves whatever stood there.
    if (!writtenPath_.isEmpty() && QFile::exists(writtenPath_))
        QFile::remove(writtenPath_);
    writtenPath_.clear();
}

std::int64_t ClassicAudioPort::PositionMs() const {
    return text_.positionMs();
}

std::int64_t ClassicAudioPort::LengthMs() const {
    return text_.lengthMs();
}

bool ClassicAudioPort::TextEnded() {
    switch (ends_.Take()) {
    case EndNotices::Notice::Foreign:
    case EndNotices::Notice::CutShort:
        return false; // a play the port did not start, or the port's play stopped or closed
    case EndNotices::Notice::Superseded:
        return true; // an earlier play's notice: the latest one still plays
    case EndNotices::Notice::Natural:
        break;
    }
    if (noise_.mode() == MediaPlayer::Mode::Playing)
        noise_.stop();
    if (listener_)
        listener_();
    return true;
}

ClassicClock::ClassicClock(QTimer& timer) : timer_(timer) {
    elapsed_.start();
    connection_ = QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
        if (tick_) {
            const auto tick = tick_; // the tick may stop or replace the timer
            tick();
        }
    });
}

ClassicClock::~ClassicClock() {
    QObject::disconnect(connection_);
}

std::int64_t ClassicClock::NowMs() const {
    return elapsed_.elapsed();
}

int ClassicClock::StartTimer(std::int64_t intervalMs, std::function<void()> tick) {
    tick_ = std::move(tick);
    timer_.setInterval(static_cast<int>(std::max<std::int64_t>(intervalMs, 1)));
    timer_.start();
    id_ = ++lastId_;
    return id_;
}

void ClassicClock::StopTimer(int id) {
    if (id == 0 || id != id_)
        return;
    timer_.stop();
    tick_ = {};
    id_ = 0;
}

} // namespace qlor
