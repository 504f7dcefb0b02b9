#pragma once
// The audio engine behind the two media players: one mixer, one SDL2 output device (the
// system's default, opened on first use, 48 kHz float stereo) and one SoundFont voice, shared by
// the text player (kTextSlot, MIDI level) and the noise player (kNoiseSlot, wave level).
//
// All methods except the listeners' calls run on one thread (the window's). Commands reach the
// audio callback through the mixer's queue; while nothing plays the device is paused and the
// commands are applied right away on the calling thread. The end of each playback is reported
// to the slot's listener from the engine's notifier thread, which the audio callback wakes
// without locking (an eventfd). Noise recordings are decoded once and kept (see noise_cache.h):
// opening the same, unchanged file again takes no decoding.
#include "audio/midi_source.h"
#include "audio/mixer.h"
#include "audio/noise_cache.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace qlor {

class SoundFontBank;

inline constexpr int kOutputRate = 48000;        // [frames/s]
inline constexpr int kDeviceBufferFrames = 1024; // SDL callback size [frames]

enum class PlayerMode {
    NotOpen, // also every mode the cycle treats as neither playing nor stopped
    Stopped,
    Playing,
};

struct OpenOutcome {
    std::string error;   // empty on success (readable, UTF-8)
    std::string warning; // e.g. the SoundFont is missing and the pure tone sounds instead
};

class AudioEngine {
public:
    explicit AudioEngine(int rate = kOutputRate);
    ~AudioEngine();
    AudioEngine(const AudioEngine&) = delete;
    AudioEngine& operator=(const AudioEngine&) = delete;

    // The process's engine, shared by the window's two players and the volume functions.
    static AudioEngine& Shared();

    // The voice for MIDI files opened from now on. The SoundFont is found by the bank's automatic
    // lookup (QLOR_SOUNDFONT, then the system's General MIDI font), loaded once and kept.
    void SetVoice(VoiceKind voice) { voice_ = voice; }
    VoiceKind Voice() const { return voice_; }
    // The generated band a MIDI file opened in the text slot from now on plays through (built
    // around its tone, speed and voice); nothing: no band.
    void SetBand(std::optional<BandSettings> band) { band_ = band; }
    const std::optional<BandSettings>& Band() const { return band_; }

    // Opens the output device if it is not open; "" or the reason (no device, for example).
    std::string OpenDevice();

    // Opens a file in a slot, closing what the slot held. MIDI files (".mid", ".midi", ".kar",
    // ".smf" or an "MThd" header) are sequenced, anything else is decoded as a recording (or
    // taken from the noise cache when this version of it has been decoded before).
    OpenOutcome Open(Slot slot, const std::string& path);
    // Decodes a recording ahead of time on a thread of its own, so that a later Open of it
    // returns at once. Returns at once; an empty path is ignored, a failure shows at Open.
    void PreloadNoise(const std::string& path) { noise_.Preload(path); }
    NoiseCache& Noise() { return noise_; }
    void Close(Slot slot);    // idempotent; returns when the audio thread has let go of the file
    uint32_t Play(Slot slot); // returns the play id reported when this playback ends; 0 if not open
    void Stop(Slot slot);
    bool IsOpen(Slot slot) const { return open_[slot]; }
    PlayerMode Mode(Slot slot) const;
    uint64_t PositionFrames(Slot slot) const;
    uint64_t LengthFrames(Slot slot) const { return open_[slot] ? lengthFrames_[slot] : 0; }
    int Rate() const { return rate_; }

    // Playbacks of the slot that have ended so far (naturally, by Stop or by Close).
    uint32_t EndedCount(Slot slot) const { return mixer_->EndedCount(slot); }
    // Called from the notifier thread, soon after EndedCount of the slot has grown.
    using EndListener = std::function<void()>;
    void SetEndListener(Slot slot, EndListener listener);
    // Pauses the device when nothing plays any more (call after handling an end).
    void Refresh();

    Mixer& GetMixer() { return *mixer_; }

private:
    static void AudioCallback(void* self, uint8_t* stream, int bytes);
    static void Wake(void* self);
    void NotifierLoop();
    void Deliver();          // after sending: applies at once when the callback does not run
    void WaitUntilApplied(); // until the consumer has applied every command sent
    void Drain();            // destroys retired sources
    void SetRunning(bool running);
    template <typename Send> void SendCommand(Send send);
    template <typename Done> void PumpUntil(Done done); // applies commands itself when needed

    int rate_;
    NoiseCache noise_; // decoded recordings; playing sources hold references of their own
    VoiceKind voice_ = VoiceKind::Automatic;
    std::optional<BandSettings> band_;
    std::unique_ptr<Mixer> mixer_;
    std::unique_ptr<SoundFontBank> bank_;
    uint32_t device_ = 0; // SDL_AudioDeviceID
    bool sdlStarted_ = false;
    bool running_ = false; // device unpaused
    std::array<bool, kSlotCount> open_{};
    std::array<uint64_t, kSlotCount> lengthFrames_{};
    std::array<bool, kSlotCount> intendPlaying_{};
    std::array<uint32_t, kSlotCount> lastCommand_{}; // commands sent up to the slot's last play/stop
    std::array<uint32_t, kSlotCount> playId_{};      // id of the slot's last playback
    uint32_t nextPlayId_ = 0;
    int bankSlot_ = -1; // slot whose song uses the SoundFont voice

    int eventFd_ = -1;
    std::atomic<bool> quit_{false};
    std::thread notifier_;
    std::mutex listenersMutex_;
    std::array<EndListener, kSlotCount> listeners_;
    std::array<uint32_t, kSlotCount> seenEnded_{};
};

} // namespace qlor
