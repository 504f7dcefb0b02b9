#include "audio/audio_engine.h"

#include "audio/noise_source.h"
#include "audio/signal_to_noise.h"
#include "audio/soundfont_bank.h"
#include "base/safe_file.h"

#include <SDL.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>

namespace qlor {
namespace {

constexpr auto kApplyTimeout = std::chrono::seconds(2);

bool LooksLikeMidi(const std::string& path) {
    std::string extension;
    if (const auto dot = path.find_last_of('.'); dot != std::string::npos && path.find('/', dot) == std::string::npos) {
        extension = path.substr(dot + 1);
        std::transform(extension.begin(), extension.end(), extension.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    }
    if (extension == "mid" || extension == "midi" || extension == "kar" || extension == "smf") {
        return true;
    }
    // Opened without blocking: a FIFO or device is no MIDI file and must not hang the window.
    const OpenedFile opened = OpenRegularFile(path);
    if (opened.fd < 0) {
        return false;
    }
    char magic[4] = {};
    const bool midi = ::read(opened.fd, magic, 4) == 4 && std::string_view(magic, 4) == "MThd";
    ::close(opened.fd);
    return midi;
}

} // namespace

AudioEngine::AudioEngine(int rate)
    : rate_(rate), noise_(rate), mixer_(std::make_unique<Mixer>(rate)), bank_(std::make_unique<SoundFontBank>(rate)) {
    // Non-blocking: the audio thread's write never waits, even with the counter near its limit.
    eventFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    mixer_->SetWake(&AudioEngine::Wake, this);
    if (eventFd_ >= 0) {
        notifier_ = std::thread([this] { NotifierLoop(); });
    }
}

AudioEngine::~AudioEngine() {
    if (device_ != 0) {
        SDL_CloseAudioDevice(device_); // the callback does not run after this
        device_ = 0;
    }
    running_ = false;
    quit_.store(true);
    if (notifier_.joinable()) {
        Wake(this);
        notifier_.join();
    }
    mixer_.reset(); // its sources may use the SoundFont bank
    bank_.reset();
    if (sdlStarted_) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    if (eventFd_ >= 0) {
        close(eventFd_);
    }
}

AudioEngine& AudioEngine::Shared() {
    static AudioEngine engine;
    return engine;
}

void AudioEngine::AudioCallback(void* self, uint8_t* stream, int bytes) {
    auto* engine = static_cast<AudioEngine*>(self);
    engine->mixer_->Pull(reinterpret_cast<float*>(stream), static_cast<size_t>(bytes) / (2 * sizeof(float)));
}

void AudioEngine::Wake(void* self) {
    auto* engine = static_cast<AudioEngine*>(self);
    if (engine->eventFd_ >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = write(engine->eventFd_, &one, sizeof(one));
    }
}

void AudioEngine::NotifierLoop() {
    for (;;) {
        pollfd ready{eventFd_, POLLIN, 0};
        if (poll(&ready, 1, -1) < 0 && errno != EINTR) {
            return;
        }
        uint64_t count = 0;
        const ssize_t got = read(eventFd_, &count, sizeof(count));
        if (got < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        if (quit_.load() || got < 0) {
            return;
        }
        std::lock_guard lock(listenersMutex_);
        for (int i = 0; i < kSlotCount; ++i) {
            const uint32_t ended = mixer_->EndedCount(static_cast<Slot>(i));
            if (ended != seenEnded_[i]) {
                seenEnded_[i] = ended;
                if (listeners_[i]) {
                    listeners_[i]();
                }
            }
        }
    }
}

void AudioEngine::SetEndListener(Slot slot, EndListener listener) {
    std::lock_guard lock(listenersMutex_);
    listeners_[slot] = std::move(listener);
}

std::string AudioEngine::OpenDevice() {
    if (device_ != 0) {
        return {};
    }
    if (!sdlStarted_) {
        // The audio subsystem brings SDL's event subsystem, whose SIGINT/SIGTERM handlers would
        // swallow those signals; the program handles them itself (it closes its window).
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            return std::string("No audio output is available: ") + SDL_GetError();
        }
        sdlStarted_ = true;
    }
    SDL_AudioSpec want{};
    SDL_AudioSpec have{};
    want.freq = rate_;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = kDeviceBufferFrames;
    want.callback = &AudioEngine::AudioCallback;
    want.userdata = this;
    // No changes allowed: SDL converts to whatever the device needs, the callback always gets
    // float stereo at our rate.
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device_ == 0) {
        return std::string("No audio output device could be opened: ") + SDL_GetError();
    }
    running_ = false; // SDL opens devices paused
    return {};
}

void AudioEngine::Drain() {
    while (std::unique_ptr<AudioSource> source = mixer_->TakeRetired()) {
        source.reset();
    }
    while (std::unique_ptr<BandGenerator> band = mixer_->TakeRetiredBand()) {
        band.reset();
    }
}

void AudioEngine::Deliver() {
    if (!running_) {
        // The callback does not run while the device is paused (or absent): apply here.
        if (device_ != 0) {
            SDL_LockAudioDevice(device_);
        }
        mixer_->ApplyCommands();
        if (device_ != 0) {
            SDL_UnlockAudioDevice(device_);
        }
    }
    Drain();
}

// Waits until done() holds. While the device is paused the commands are applied here at once; once
// the callback has stopped being called for kApplyTimeout (a lost device) they are applied under
// the device lock.
template <typename Done> void AudioEngine::PumpUntil(Done done) {
    const auto deadline = std::chrono::steady_clock::now() + kApplyTimeout;
    while (!done()) {
        if (!running_) {
            Deliver();
        } else if (std::chrono::steady_clock::now() > deadline) {
            SDL_LockAudioDevice(device_);
            mixer_->ApplyCommands();
            SDL_UnlockAudioDevice(device_);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
}

template <typename Send> void AudioEngine::SendCommand(Send send) {
    Drain();
    PumpUntil(send);
    Deliver();
}

void AudioEngine::WaitUntilApplied() {
    PumpUntil([this] { return mixer_->AppliedCommands() == mixer_->SentCommands(); });
    Drain();
}

void AudioEngine::SetRunning(bool running) {
    if (device_ == 0 || running == running_) {
        return;
    }
    SDL_PauseAudioDevice(device_, running ? 0 : 1);
    running_ = running;
    if (!running) {
        Deliver(); // commands the callback had not reached yet
    }
}

OpenOutcome AudioEngine::Open(Slot slot, const std::string& path) {
    Close(slot);
    OpenOutcome outcome;
    if (std::string error = OpenDevice(); !error.empty()) {
        outcome.error = std::move(error);
        return outcome;
    }
    std::unique_ptr<AudioSource> source;
    bool usesBank = false;
    if (LooksLikeMidi(path)) {
        // One song at a time may play on the SoundFont bank's synths (a foreign file); a second one
        // gets the pure tone. Songs from the note cache hold nothing of the bank.
        const bool bankFree = bankSlot_ < 0 || bankSlot_ == slot;
        MidiOpenResult midi = OpenMidiFile(path, voice_, bankFree ? bank_.get() : nullptr, rate_);
        if (!midi.error.empty()) {
            outcome.error = std::move(midi.error);
            return outcome;
        }
        outcome.warning = std::move(midi.warning);
        usesBank = midi.source->UsesBank();
        if (slot == kTextSlot) {
            std::unique_ptr<BandGenerator> band;
            if (band_) {
                band = std::make_unique<BandGenerator>(*band_, BandSignalOfText(*midi.source));
            }
            SendCommand([&] { return mixer_->AttachBand(band); }); // none: the last one goes
        }
        source = std::move(midi.source);
    } else {
        NoiseResult noise = noise_.Open(path);
        if (!noise.ok()) {
            outcome.error = std::move(noise.error);
            return outcome;
        }
        source = std::make_unique<NoiseSource>(std::move(noise.clip));
    }
    const uint64_t length = source->LengthFrames();
    SendCommand([&] { return mixer_->Attach(slot, source); });
    open_[slot] = true;
    lengthFrames_[slot] = length;
    intendPlaying_[slot] = false;
    lastCommand_[slot] = mixer_->SentCommands();
    if (usesBank) {
        bankSlot_ = slot;
    }
    return outcome;
}

void AudioEngine::Close(Slot slot) {
    if (!open_[slot]) {
        return;
    }
    SendCommand([&] { return mixer_->Detach(slot); });
    WaitUntilApplied();
    open_[slot] = false;
    lengthFrames_[slot] = 0;
    intendPlaying_[slot] = false;
    lastCommand_[slot] = mixer_->SentCommands();
    if (bankSlot_ == slot) {
        bankSlot_ = -1;
    }
    Refresh();
}

uint32_t AudioEngine::Play(Slot slot) {
    if (!open_[slot]) {
        return 0;
    }
    if (Mode(slot) == PlayerMode::Playing) {
        return playId_[slot];
    }
    const uint32_t id = ++nextPlayId_ == 0 ? ++nextPlayId_ : nextPlayId_;
    SendCommand([&] { return mixer_->Play(slot, id); });
    intendPlaying_[slot] = true;
    lastCommand_[slot] = mixer_->SentCommands();
    playId_[slot] = id;
    SetRunning(true);
    return id;
}

void AudioEngine::Stop(Slot slot) {
    if (!open_[slot]) {
        return;
    }
    SendCommand([&] { return mixer_->Stop(slot); });
    intendPlaying_[slot] = false;
    lastCommand_[slot] = mixer_->SentCommands();
    Refresh();
}

PlayerMode AudioEngine::Mode(Slot slot) const {
    if (!open_[slot]) {
        return PlayerMode::NotOpen;
    }
    const bool pending = static_cast<int32_t>(mixer_->AppliedCommands() - lastCommand_[slot]) < 0;
    const bool playing = pending ? intendPlaying_[slot] : mixer_->Playing(slot);
    return playing ? PlayerMode::Playing : PlayerMode::Stopped;
}

uint64_t AudioEngine::PositionFrames(Slot slot) const {
    return open_[slot] ? mixer_->PositionFrames(slot) : 0;
}

void AudioEngine::Refresh() {
    SetRunning(Mode(kTextSlot) == PlayerMode::Playing || Mode(kNoiseSlot) == PlayerMode::Playing);
}

} // namespace qlor
