#pragma once
// An audio port and a clock in virtual time: the test moves the clock, the port's playback
// follows it, and both call back synchronously, the way the real ones call back on the window's
// thread. Nothing sleeps.
#include "control/session.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace qlor::test {

class ManualClock : public Clock {
public:
    std::int64_t NowMs() const override { return nowMs_; }
    int StartTimer(std::int64_t intervalMs, std::function<void()> tick) override {
        const int id = ++lastId_;
        timers_[id] = Timer{std::max<std::int64_t>(intervalMs, 1), nowMs_ + std::max<std::int64_t>(intervalMs, 1),
                            std::move(tick)};
        return id;
    }
    void StopTimer(int id) override { timers_.erase(id); }
    std::size_t ActiveTimers() const { return timers_.size(); }

    // Moves the time on by `ms`, firing every timer that falls due on the way, in time order.
    // `moveTo(t)` runs first at each step, so that a port ends its playback at the right time.
    void Advance(std::int64_t ms, const std::function<void(std::int64_t)>& moveTo = {}) {
        const std::int64_t end = nowMs_ + ms;
        for (;;) {
            std::int64_t next = end;
            for (const auto& [id, timer] : timers_)
                next = std::min(next, timer.dueMs);
            if (moveTo)
                next = std::min(next, nextEventMs_ ? nextEventMs_() : next);
            nowMs_ = std::max(nowMs_, next);
            if (moveTo)
                moveTo(nowMs_);
            // Copies: a tick may start or stop timers.
            std::vector<int> due;
            for (const auto& [id, timer] : timers_)
                if (timer.dueMs <= nowMs_)
                    due.push_back(id);
            for (int id : due) {
                const auto it = timers_.find(id);
                if (it == timers_.end())
                    continue;
                it->second.dueMs += it->second.intervalMs;
                auto tick = it->second.tick;
                tick();
            }
            if (nowMs_ >= end)
                break;
        }
    }
    // The next time something other than a timer happens (the port's end of playback).
    std::function<std::int64_t()> nextEventMs_;

private:
    struct Timer {
        std::int64_t intervalMs = 0;
        std::int64_t dueMs = 0;
        std::function<void()> tick;
    };
    std::int64_t nowMs_ = 0;
    int lastId_ = 0;
    std::map<int, Timer> timers_;
};

// Plays for a length the test gives per opened MIDI (by default its LengthOf), in the clock's time.
class FakeAudioPort : public AudioPort {
public:
    explicit FakeAudioPort(ManualClock& clock) : clock_(clock) {
        clock_.nextEventMs_ = [this] { return playing_ ? startMs_ + lengthMs_ : INT64_MAX; };
    }
    ~FakeAudioPort() override { clock_.nextEventMs_ = {}; }

    std::string WriteMidi(const ByteVector& bytes) override {
        if (!failWrite.empty())
            return failWrite;
        written.push_back(bytes);
        return {};
    }
    std::string OpenMidi(const ByteVector& bytes) override {
        Close();
        if (!failOpen.empty())
            return failOpen;
        opened.push_back(bytes);
        open_ = true;
        lengthMs_ = lengthOfNext ? lengthOfNext(bytes) : 1000;
        return {};
    }
    std::string OpenNoise(const std::string& path) override {
        noise.clear();
        if (!path.empty() && !failNoise.empty())
            return failNoise;
        noise = path;
        return {};
    }
    std::string Play() override {
        if (!open_)
            return "not open";
        if (!failPlay.empty())
            return failPlay;
        playing_ = true;
        startMs_ = clock_.NowMs();
        return {};
    }
    void Stop() override {
        if (playing_)
            ++stops;
        playing_ = false;
        stoppedAtMs_ = std::min(clock_.NowMs() - startMs_, lengthMs_);
    }
    void Close() override {
        playing_ = false;
        open_ = false;
    }
    std::int64_t PositionMs() const override {
        if (!open_)
            return 0;
        return playing_ ? std::min(clock_.NowMs() - startMs_, lengthMs_) : stoppedAtMs_;
    }
    std::int64_t LengthMs() const override { return open_ ? lengthMs_ : 0; }
    void SetEndListener(EndListener listener) override { listener_ = std::move(listener); }

    bool Playing() const { return playing_; }
    // Advances the clock by `ms`; a playback that reaches its end on the way ends there.
    void Advance(std::int64_t ms) {
        clock_.Advance(ms, [this](std::int64_t now) {
            if (playing_ && now >= startMs_ + lengthMs_) {
                playing_ = false;
                stoppedAtMs_ = lengthMs_;
                if (listener_)
                    listener_();
            }
        });
    }

    std::function<std::int64_t(const ByteVector&)> lengthOfNext; // [ms] of each opened MIDI
    std::string failOpen;                                        // the reason OpenMidi fails, if any
    std::string failWrite;                                       // ... WriteMidi
    std::string failNoise;                                       // ... OpenNoise of a recording
    std::string failPlay;                                        // ... Play
    std::vector<ByteVector> written;
    std::vector<ByteVector> opened;
    std::string noise;
    int stops = 0;

private:
    ManualClock& clock_;
    EndListener listener_;
    bool open_ = false;
    bool playing_ = false;
    std::int64_t startMs_ = 0;
    std::int64_t lengthMs_ = 0;
    std::int64_t stoppedAtMs_ = 0;
};

} // namespace qlor::test
