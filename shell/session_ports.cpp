#include "shell/session_ports.h"

#include "audio/audio_engine.h"
#include "audio/media_player.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryFile>
#include <QTimer>

namespace qlor {

DeviceAudioPort::DeviceAudioPort(VoiceKind voice, QObject* parent)
    : QObject(parent), engine_(std::make_unique<AudioEngine>()) {
    engine_->SetVoice(voice);
    text_ = new MediaPlayer(MediaPlayer::Channel::Text, *engine_, this);
    noise_ = new MediaPlayer(MediaPlayer::Channel::Noise, *engine_, this);
    connect(text_, &MediaPlayer::notify, this, &DeviceAudioPort::TextEnded);
    connect(noise_, &MediaPlayer::notify, this, &DeviceAudioPort::NoiseEnded);
}

DeviceAudioPort::~DeviceAudioPort() {
    Close();
    // The players go before the engine they play on.
    delete text_;
    delete noise_;
    text_ = noise_ = nullptr;
}

void DeviceAudioPort::SetVoice(VoiceKind voice) {
    engine_->SetVoice(voice);
}

std::string DeviceAudioPort::OpenMidi(const ByteVector& bytes) {
    Close();
    auto file = std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/qlor-trainer-XXXXXX.mid"));
    if (!file->open())
        return file->errorString().toStdString();
    const auto size = static_cast<qint64>(bytes.size());
    if (file->write(reinterpret_cast<const char*>(bytes.data()), size) != size || !file->flush())
        return file->errorString().toStdString();
    file->close();
    text_->setFileName(file->fileName());
    if (!text_->open())
        return text_->errorString().toStdString();
    midiFile_ = std::move(file);
    return {};
}

std::string DeviceAudioPort::OpenNoise(const std::string& path) {
    noise_->close();
    hasNoise_ = false;
    if (path.empty())
        return {};
    noise_->setFileName(QString::fromStdString(path));
    if (!noise_->open())
        return noise_->errorString().toStdString();
    hasNoise_ = true;
    return {};
}

std::string DeviceAudioPort::Play() {
    if (!text_->play())
        return text_->errorString().isEmpty() ? std::string("not open") : text_->errorString().toStdString();
    ends_.Started();
    if (hasNoise_)
        noise_->play();
    return {};
}

void DeviceAudioPort::Stop() {
    ends_.CutShort();
    text_->stop();
    noise_->stop();
}

void DeviceAudioPort::Close() {
    ends_.CutShort();
    text_->close();
    noise_->close();
    hasNoise_ = false;
    midiFile_.reset(); // removes the temporary file
}

std::int64_t DeviceAudioPort::PositionMs() const {
    return text_->positionMs();
}

std::int64_t DeviceAudioPort::LengthMs() const {
    return text_->lengthMs();
}

void DeviceAudioPort::TextEnded() {
    if (ends_.Take() != EndNotices::Notice::Natural)
        return; // the end of an earlier play, or of one cut short by Stop or Close
    if (noise_->mode() == MediaPlayer::Mode::Playing)
        noise_->stop();
    if (listener_)
        listener_();
}

void DeviceAudioPort::NoiseEnded() {
    // The noise repeats for as long as the text sounds.
    if (ends_.Running() && hasNoise_ && text_->mode() == MediaPlayer::Mode::Playing)
        noise_->play();
}

QtClock::QtClock() : elapsed_(std::make_unique<QElapsedTimer>()) {
    elapsed_->start();
}

QtClock::~QtClock() {
    for (auto& [id, timer] : timers_)
        delete timer;
}

std::int64_t QtClock::NowMs() const {
    return elapsed_->elapsed();
}

int QtClock::StartTimer(std::int64_t intervalMs, std::function<void()> tick) {
    auto* timer = new QTimer;
    timer->setInterval(static_cast<int>(intervalMs));
    QObject::connect(timer, &QTimer::timeout, timer, std::move(tick));
    timer->start();
    timers_[++lastId_] = timer;
    return lastId_;
}

void QtClock::StopTimer(int id) {
    const auto it = timers_.find(id);
    if (it == timers_.end())
        return;
    it->second->stop();
    it->second->deleteLater(); // a timer may be stopped from its own tick
    timers_.erase(it);
}

} // namespace qlor
