#include "audio/media_player.h"

#include "audio/sequencer.h"

#include <QMetaObject>

namespace qlor {

MediaPlayer::MediaPlayer(Channel channel, QObject* parent) : MediaPlayer(channel, AudioEngine::Shared(), parent) {}

MediaPlayer::MediaPlayer(Channel channel, AudioEngine& engine, QObject* parent)
    : QObject(parent), engine_(engine), slot_(channel == Channel::Text ? kTextSlot : kNoiseSlot) {
    seenEnds_ = engine_.EndedCount(slot_);
    // The notifier thread only asks for a look on the window's thread; the notice is raised there.
    engine_.SetEndListener(slot_, [this] {
        QMetaObject::invokeMethod(
            this, [this] { CollectEnds(true); }, Qt::QueuedConnection);
    });
}

MediaPlayer::~MediaPlayer() {
    engine_.SetEndListener(slot_, nullptr);
    engine_.Close(slot_);
}

// Turns the playback ends not yet reported into notices: emitted here when called from an event
// of its own, else posted so that no handler runs inside stop() or close().
void MediaPlayer::CollectEnds(bool emitNow) {
    const uint32_t ended = engine_.EndedCount(slot_);
    const uint32_t fresh = ended - seenEnds_;
    seenEnds_ = ended;
    if (fresh == 0) {
        return;
    }
    engine_.Refresh();
    for (uint32_t k = 0; k < fresh; ++k) {
        if (emitNow) {
            emit notify();
        } else {
            QMetaObject::invokeMethod(
                this, [this] { emit notify(); }, Qt::QueuedConnection);
        }
    }
}

bool MediaPlayer::open() {
    error_.clear();
    warning_.clear();
    close();
    const OpenOutcome outcome = engine_.Open(slot_, fileName_.toStdString());
    warning_ = QString::fromStdString(outcome.warning);
    if (!outcome.error.empty()) {
        error_ = QString::fromStdString(outcome.error);
        return false;
    }
    return true;
}

bool MediaPlayer::play() {
    if (!engine_.IsOpen(slot_)) {
        error_ = QStringLiteral("The player is not open.");
        return false;
    }
    engine_.Play(slot_);
    return true;
}

void MediaPlayer::stop() {
    engine_.Stop(slot_);
    CollectEnds(false);
}

void MediaPlayer::close() {
    engine_.Close(slot_);
    CollectEnds(false);
}

qint64 MediaPlayer::positionMs() const {
    return static_cast<qint64>(FramesToMs(engine_.PositionFrames(slot_), engine_.Rate()));
}

qint64 MediaPlayer::lengthMs() const {
    return static_cast<qint64>(FramesToMs(engine_.LengthFrames(slot_), engine_.Rate()));
}

} // namespace qlor
