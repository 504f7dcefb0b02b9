#include "audio/mixer.h"

#include <algorithm>
#include <cstring>

namespace qlor {

Mixer::Mixer(int rate) : rate_(rate) {
    for (auto& level : levels_) {
        level.store(kFullLevel);
    }
}

Mixer::~Mixer() {
    ApplyCommands();
    for (SlotState& slot : slots_) {
        delete slot.source;
        slot.source = nullptr;
    }
    AudioSource* source = nullptr;
    while (retired_.Pop(source)) {
        delete source;
    }
    delete band_;
    BandGenerator* band = nullptr;
    while (retiredBands_.Pop(band)) {
        delete band;
    }
}

bool Mixer::Send(const Command& command) {
    if (!commands_.Push(command)) {
        return false;
    }
    ++sent_;
    return true;
}

bool Mixer::Attach(Slot slot, std::unique_ptr<AudioSource>& source) {
    Command command;
    command.op = Op::Attach;
    command.slot = slot;
    command.source = source.get();
    if (!Send(command)) {
        return false;
    }
    source.release(); // now the mixer's
    return true;
}

bool Mixer::AttachBand(std::unique_ptr<BandGenerator>& band) {
    Command command;
    command.op = Op::Band;
    command.band = band.get();
    if (!Send(command)) {
        return false;
    }
    band.release(); // now the mixer's
    return true;
}

std::unique_ptr<BandGenerator> Mixer::TakeRetiredBand() {
    BandGenerator* band = nullptr;
    if (retiredBands_.Pop(band)) {
        return std::unique_ptr<BandGenerator>(band);
    }
    return nullptr;
}

bool Mixer::Detach(Slot slot) {
    return Send(Command{Op::Detach, slot, nullptr, 0});
}

bool Mixer::Play(Slot slot, uint32_t playId) {
    return Send(Command{Op::Play, slot, nullptr, playId});
}

bool Mixer::Stop(Slot slot) {
    return Send(Command{Op::Stop, slot, nullptr, 0});
}

std::unique_ptr<AudioSource> Mixer::TakeRetired() {
    AudioSource* source = nullptr;
    if (retired_.Pop(source)) {
        return std::unique_ptr<AudioSource>(source);
    }
    return nullptr;
}

void Mixer::Retire(AudioSource* source) {
    if (source != nullptr && !retired_.Push(source)) {
        // Cannot happen while the producer drains the retired sources before each command
        // (the command queue is smaller); keeping the source alive is the safe choice.
    }
}

void Mixer::End(Slot slot) {
    SlotState& state = slots_[slot];
    state.playing = false;
    status_[slot].playing.store(false, std::memory_order_release);
    status_[slot].endedId.store(state.playId, std::memory_order_release);
    status_[slot].endedCount.fetch_add(1, std::memory_order_acq_rel);
    ended_ = true;
    if (slot == kTextSlot) {
        SlotState& noise = slots_[kNoiseSlot];
        if (noise.playing && noise.followsText) {
            noise.source->Halt();
            End(kNoiseSlot);
        }
    }
}

void Mixer::Apply(const Command& command) {
    SlotState& state = slots_[command.slot];
    switch (command.op) {
    case Op::Attach:
        if (state.source != nullptr) {
            if (state.playing) {
                End(command.slot);
            }
            Retire(state.source);
        }
        state.source = command.source;
        state.playing = false;
        status_[command.slot].lengthFrames.store(state.source ? state.source->LengthFrames() : 0,
                                                 std::memory_order_release);
        break;
    case Op::Detach:
        if (state.playing) {
            End(command.slot);
        }
        Retire(state.source);
        state.source = nullptr;
        status_[command.slot].lengthFrames.store(0, std::memory_order_release);
        break;
    case Op::Band:
        if (band_ != nullptr && !retiredBands_.Push(band_)) {
            // As for sources: the producer drains the retired ones, so this cannot happen.
        }
        band_ = command.band;
        break;
    case Op::Play:
        if (state.source != nullptr && !state.playing) {
            if (state.source->PositionFrames() >= state.source->LengthFrames()) {
                state.source->Rewind();
            }
            if (command.slot == kTextSlot && band_ != nullptr && state.source->PositionFrames() == 0) {
                band_->Restart(); // the text from its start: the band from its start
            }
            state.playing = true;
            state.playId = command.playId;
            state.followsText = command.slot == kNoiseSlot && slots_[kTextSlot].playing;
            status_[command.slot].startFrame.store(pulled_.load(std::memory_order_relaxed), std::memory_order_release);
            status_[command.slot].playing.store(true, std::memory_order_release);
            if (state.source->LengthFrames() == 0) {
                End(command.slot); // nothing to play: it ends at once
            }
        }
        break;
    case Op::Stop:
        if (state.playing) {
            state.source->Halt();
            End(command.slot);
        }
        break;
    }
}

void Mixer::ApplyCommands() {
    Command command;
    bool any = false;
    while (commands_.Pop(command)) {
        Apply(command);
        applied_.fetch_add(1, std::memory_order_acq_rel);
        any = true;
    }
    if (any) {
        Publish();
    }
}

void Mixer::Publish() {
    for (int i = 0; i < kSlotCount; ++i) {
        const SlotState& state = slots_[i];
        if (state.source != nullptr) {
            status_[i].positionFrames.store(state.source->PositionFrames(), std::memory_order_release);
        }
    }
    if (ended_) {
        ended_ = false;
        if (WakeFunction wake = wake_.load(std::memory_order_acquire)) {
            wake(wakeContext_);
        }
    }
}

void Mixer::PullChunk(float* out, size_t frames) {
    float* scratch = scratch_.data();

    size_t textEnd = frames; // the text stops sounding here when it ends in this chunk
    size_t silentFrom = 0;   // frames from here on have nothing in them yet
    SlotState& text = slots_[kTextSlot];
    const float textGain = levels_[kTextSlot].load(std::memory_order_relaxed) / float(kFullLevel);
    const bool banded = band_ != nullptr && text.playing;
    bool noiseMade = false; // banded: the noise waits in scratch for the band
    if (text.playing) {
        const float gain = textGain;
        const size_t made = text.source->Render(out, frames);
        float* __restrict scaled = out; // nothing else is written here: the loop vectorises
        const size_t samples = 2 * made;
        for (size_t k = 0; k < samples; ++k) {
            scaled[k] *= gain;
        }
        silentFrom = made;
        if (made < frames) {
            textEnd = made;
        }
    }
    std::memset(out + 2 * silentFrom, 0, 2 * (frames - silentFrom) * sizeof(float));

    SlotState& noise = slots_[kNoiseSlot];
    if (noise.playing) {
        const float gain = levels_[kNoiseSlot].load(std::memory_order_relaxed) / float(kFullLevel);
        const size_t limit = noise.followsText ? textEnd : frames;
        const uint64_t length = noise.source->LengthFrames();
        size_t made = 0;
        while (made < limit) {
            made += noise.source->Render(scratch + 2 * made, limit - made);
            if (made < limit) {
                if (!noise.followsText || length == 0) {
                    break;
                }
                noise.source->Rewind(); // the loop point: the next frame is the recording's first
            }
        }
        if (banded) {
            // Mixed in before the receiver; what sounds after the text (a noise of its own) as usual.
            const size_t banding = std::min(made, textEnd);
            for (size_t k = 0; k < 2 * banding; ++k) {
                scratch[k] *= gain;
            }
            std::memset(scratch + 2 * banding, 0, 2 * (textEnd - banding) * sizeof(float));
            for (size_t k = 2 * banding; k < 2 * made; ++k) {
                out[k] += gain * scratch[k];
            }
            noiseMade = true;
        } else {
            for (size_t k = 0; k < 2 * made; ++k) {
                out[k] += gain * scratch[k];
            }
        }
        if (made < limit) {
            End(kNoiseSlot);
        }
    }
    if (banded) {
        band_->Process(out, noiseMade ? scratch : nullptr, textGain, out, textEnd);
    }
    if (text.playing && textEnd < frames) {
        End(kTextSlot); // also ends a noise that follows the text, on the same frame
    }

    float* __restrict clipped = out;
    const size_t samples = 2 * frames;
    for (size_t k = 0; k < samples; ++k) { // clipped at full scale (written so it vectorises)
        clipped[k] = std::min(std::max(clipped[k], -1.0f), 1.0f);
    }
}

void Mixer::Pull(float* out, size_t frames) {
    ApplyCommands();
    for (size_t done = 0; done < frames;) {
        const size_t now = std::min(kChunkFrames, frames - done);
        PullChunk(out + 2 * done, now);
        done += now;
    }
    pulled_.fetch_add(frames, std::memory_order_acq_rel);
    Publish();
}

} // namespace qlor
