#pragma once
// The one mixer: text source x MIDI level + noise source x noise level, float stereo, clipped to
// full scale. `Pull` feeds both the output device's callback and offline rendering, so a file
// rendered offline is exactly what the device plays.
//
// Threads: one producer (the window's thread, or the offline renderer) sends commands through a
// single-producer/single-consumer queue; one consumer (the audio callback, or the offline
// renderer itself) applies them at the start of each Pull. Pull never allocates, locks or logs.
// Sources given to the mixer belong to it until they come back through TakeRetired. Levels,
// play state, positions and the end of each playback are published through atomics.
//
// Noise follows the text: a noise started while the text plays loops sample-exactly for as long
// as the text plays and stops on the same frame as the text.
//
// A generated band (band_generator.h), when attached, runs while the text plays: the text under
// its QSB and the noise recordings are mixed with the band's own parts, through the receiver
// filter and the AGC. A playback of the text from its start starts the band from its start.
#include "audio/audio_source.h"
#include "audio/band_generator.h"
#include "audio/spsc_queue.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

namespace qlor {

enum Slot : int { kTextSlot = 0, kNoiseSlot = 1, kSlotCount = 2 };

inline constexpr uint16_t kFullLevel = 65535;

class Mixer {
public:
    explicit Mixer(int rate);
    ~Mixer(); // the consumer must have stopped
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    int Rate() const { return rate_; }

    // ---- Producer side. Each returns false only when the command queue is full. ----
    // Replaces (and retires) the slot's source; `source` is taken only when the command is queued.
    bool Attach(Slot slot, std::unique_ptr<AudioSource>& source);
    bool Detach(Slot slot);                // ends its playback, retires the source
    bool Play(Slot slot, uint32_t playId); // from the start when at the end; no effect while playing
    bool Stop(Slot slot);                  // ends the playback (a noise following the text stops too)
    // Replaces (and retires) the band; null removes it. `band` is taken only when the command is
    // queued.
    bool AttachBand(std::unique_ptr<BandGenerator>& band);
    // Sources the consumer has let go of, to be destroyed on the producer's thread.
    std::unique_ptr<AudioSource> TakeRetired();
    std::unique_ptr<BandGenerator> TakeRetiredBand();
    // Commands sent and applied so far; equal when the consumer has caught up.
    uint32_t SentCommands() const { return sent_; }
    uint32_t AppliedCommands() const { return applied_.load(std::memory_order_acquire); }

    // ---- Any thread. ----
    void SetLevel(Slot slot, uint16_t level) { levels_[slot].store(level, std::memory_order_relaxed); }
    uint16_t Level(Slot slot) const { return levels_[slot].load(std::memory_order_relaxed); }
    bool Playing(Slot slot) const { return status_[slot].playing.load(std::memory_order_acquire); }
    uint64_t PositionFrames(Slot slot) const {
        return status_[slot].positionFrames.load(std::memory_order_acquire);
    } // [frames]
    uint64_t LengthFrames(Slot slot) const {
        return status_[slot].lengthFrames.load(std::memory_order_acquire);
    } // [frames]
    // Play id of the last playback of the slot that ended (naturally, by Stop or by Detach), and
    // how many of its playbacks have ended so far.
    uint32_t EndedPlayId(Slot slot) const { return status_[slot].endedId.load(std::memory_order_acquire); }
    uint32_t EndedCount(Slot slot) const { return status_[slot].endedCount.load(std::memory_order_acquire); }
    // Frames pulled before the slot's current playback started.
    uint64_t StartFrame(Slot slot) const { return status_[slot].startFrame.load(std::memory_order_acquire); }
    uint64_t PulledFrames() const { return pulled_.load(std::memory_order_acquire); }

    // Called on the consumer's thread whenever a playback ends; must not block or allocate.
    using WakeFunction = void (*)(void* context);
    void SetWake(WakeFunction wake, void* context) {
        wakeContext_ = context;
        wake_.store(wake, std::memory_order_release);
    }

    // ---- Consumer side. ----
    // Writes `frames` interleaved stereo frames.
    void Pull(float* out, size_t frames);
    // Applies the pending commands; Pull does this first. The producer may call it itself while
    // it knows the consumer is not running.
    void ApplyCommands();

private:
    enum class Op : uint8_t { Attach, Detach, Play, Stop, Band };
    struct Command {
        Op op = Op::Play;
        Slot slot = kTextSlot;
        AudioSource* source = nullptr;
        uint32_t playId = 0;
        BandGenerator* band = nullptr;
    };
    struct SlotState { // consumer only
        AudioSource* source = nullptr;
        bool playing = false;
        bool followsText = false;
        uint32_t playId = 0;
    };
    struct SlotStatus {
        std::atomic<bool> playing{false};
        std::atomic<uint64_t> positionFrames{0};
        std::atomic<uint64_t> lengthFrames{0};
        std::atomic<uint32_t> endedId{0};
        std::atomic<uint32_t> endedCount{0};
        std::atomic<uint64_t> startFrame{0};
    };
    static constexpr size_t kChunkFrames = 1024; // [frames]

    bool Send(const Command& command);
    void Apply(const Command& command);
    void End(Slot slot);
    void Retire(AudioSource* source);
    void Publish();
    void PullChunk(float* out, size_t frames);

    int rate_;
    SpscQueue<Command, 64> commands_;
    SpscQueue<AudioSource*, 128> retired_;
    SpscQueue<BandGenerator*, 128> retiredBands_;
    BandGenerator* band_ = nullptr; // consumer only
    uint32_t sent_ = 0;
    std::atomic<uint32_t> applied_{0};
    std::array<SlotState, kSlotCount> slots_{};
    std::array<SlotStatus, kSlotCount> status_{};
    std::array<std::atomic<uint16_t>, kSlotCount> levels_{};
    std::atomic<WakeFunction> wake_{nullptr};
    void* wakeContext_ = nullptr;
    bool ended_ = false; // a playback ended during this Pull
    std::atomic<uint64_t> pulled_{0};
    std::array<float, 2 * kChunkFrames> scratch_{};
};

} // namespace qlor
