#include "audio/soundfont_bank.h"

#include <fluidsynth.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>

namespace qlor {
namespace {

constexpr double kSynthGain = 1.8; // FluidSynth's master gain: a General MIDI note peaks near -9 dBFS
constexpr int kPoolPolyphony = 16; // voices per pool synth (it mostly plays one note at a time)
constexpr int kHolderChannels = 16;
constexpr int kHolderPolyphony = 8;  // enough for the note whose release is measured
constexpr int kProbeNoteMs = 100;    // length of the note whose release is measured [ms]
constexpr int kMaxReleaseMs = 10000; // longer releases count as this long [ms]

// FluidSynth's messages never reach the terminal: the audio thread must not log, and load
// failures are reported with our own text. The last error of the calling thread is kept; the
// other levels have no log function, so FluidSynth does not even format their text.
thread_local char tLastFluidError[256];

void FluidLogSink(int level, const char* message, void*) {
    if ((level == FLUID_ERR || level == FLUID_PANIC) && message != nullptr) {
        std::strncpy(tLastFluidError, message, sizeof(tLastFluidError) - 1);
        tLastFluidError[sizeof(tLastFluidError) - 1] = '\0';
    }
}

void SilenceFluidLog() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level : {FLUID_PANIC, FLUID_ERR}) {
            fluid_set_log_function(level, FluidLogSink, nullptr);
        }
        for (int level : {FLUID_WARN, FLUID_INFO, FLUID_DBG}) {
            fluid_set_log_function(level, nullptr, nullptr);
        }
    });
}

bool IsReadableFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

} // namespace

SoundFontBank::SoundFontBank(int rate) : rate_(rate) {
    SilenceFluidLog();
}

SoundFontBank::~SoundFontBank() {
    Unload();
}

void SoundFontBank::SetPath(const std::string& path) {
    if (path != path_) {
        path_ = path;
        Unload();
    }
}

std::string SoundFontBank::FindSoundFont() {
    if (const char* fromEnvironment = std::getenv(kSoundFontEnvironment); fromEnvironment && *fromEnvironment) {
        return fromEnvironment;
    }
    static const char* const kSystemFonts[] = {
        "/usr/share/sounds/sf2/default-GM.sf2", // Debian's alternatives link to the default GM font
        "/usr/share/sounds/sf2/TimGM6mb.sf2",   "/usr/share/sounds/sf2/FluidR3_GM.sf2",
        "/usr/share/sounds/sf3/default-GM.sf3", "/usr/share/sounds/sf3/MuseScore_General.sf3",
        "/usr/share/soundfonts/default.sf2",    "/usr/share/soundfonts/FluidR3_GM.sf2",
    };
    for (const char* candidate : kSystemFonts) {
        if (IsReadableFile(candidate)) {
            return candidate;
        }
    }
    return {};
}

SoundFontBank::PoolSynth SoundFontBank::NewSynth(int channels, int polyphony) {
    PoolSynth pool;
    pool.settings = new_fluid_settings();
    fluid_settings_setnum(pool.settings, "synth.sample-rate", rate_);
    fluid_settings_setnum(pool.settings, "synth.gain", kSynthGain);
    fluid_settings_setint(pool.settings, "synth.reverb.active", 0);
    fluid_settings_setint(pool.settings, "synth.chorus.active", 0);
    fluid_settings_setint(pool.settings, "synth.dynamic-sample-loading", 1);
    fluid_settings_setint(pool.settings, "synth.lock-memory", 0);
    fluid_settings_setint(pool.settings, "synth.min-note-length", 0);
    fluid_settings_setint(pool.settings, "synth.threadsafe-api", 0);
    fluid_settings_setint(pool.settings, "synth.cpu-cores", 1);
    fluid_settings_setint(pool.settings, "synth.polyphony", polyphony);
    fluid_settings_setint(pool.settings, "synth.midi-channels", channels);
    pool.synth = new_fluid_synth(pool.settings);
    return pool;
}

void SoundFontBank::DeleteSynth(PoolSynth& pool, bool ownsFont) {
    if (pool.synth != nullptr) {
        if (!ownsFont && sfont_ != nullptr) {
            fluid_synth_remove_sfont(pool.synth, sfont_); // the holder deletes it
        }
        delete_fluid_synth(pool.synth);
    }
    if (pool.settings != nullptr) {
        delete_fluid_settings(pool.settings);
    }
    pool = PoolSynth{};
}

void SoundFontBank::Unload() {
    for (PoolSynth& pool : synths_) {
        DeleteSynth(pool, false);
    }
    synths_.clear();
    DeleteSynth(holder_, true);
    sfont_ = nullptr;
    loadedPath_.clear();
    pinned_.clear();
    releases_.clear();
}

std::string SoundFontBank::Load() {
    const std::string path = path_.empty() ? FindSoundFont() : path_;
    if (path.empty()) {
        return "No SoundFont was found: install the package timgm6mb-soundfont or name a .sf2 file in " +
               std::string(kSoundFontEnvironment) + ".";
    }
    if (sfont_ != nullptr && loadedPath_ == path) {
        return {};
    }
    Unload();
    if (!IsReadableFile(path)) {
        return "The SoundFont \"" + path + "\" does not exist.";
    }
    holder_ = NewSynth(kHolderChannels, kHolderPolyphony);
    if (holder_.synth == nullptr) {
        DeleteSynth(holder_, true);
        return "The synthesiser could not be created.";
    }
    tLastFluidError[0] = '\0';
    const int id = fluid_synth_sfload(holder_.synth, path.c_str(), 1);
    if (id == FLUID_FAILED) {
        std::string reason = tLastFluidError[0] ? tLastFluidError : "it is not a valid SoundFont";
        DeleteSynth(holder_, true);
        return "The SoundFont \"" + path + "\" cannot be loaded: " + reason + ".";
    }
    holder_.fontId = id;
    sfont_ = fluid_synth_get_sfont_by_id(holder_.synth, id);
    loadedPath_ = path;
    return {};
}

void SoundFontBank::PinPresets(const std::set<std::pair<int, int>>& presets) {
    if (sfont_ == nullptr) {
        return;
    }
    for (const auto& preset : presets) {
        // A preset the font lacks fails here and stays silent on the audio thread as well.
        if (pinned_.count(preset) == 0 &&
            fluid_synth_pin_preset(holder_.synth, holder_.fontId, preset.first, preset.second) == FLUID_OK) {
            pinned_.insert(preset);
        }
    }
}

bool SoundFontBank::RenderNote(int bank, int program, int key, int velocity, uint64_t frames, float* stereo) {
    if (sfont_ == nullptr) {
        return false;
    }
    PoolSynth synth = NewSynth(16, kPoolPolyphony);
    if (synth.synth == nullptr) {
        DeleteSynth(synth, true);
        return false;
    }
    synth.fontId = fluid_synth_add_sfont(synth.synth, sfont_);
    const int channel = 0;
    bool found = fluid_synth_program_select(synth.synth, channel, synth.fontId, bank, program) == FLUID_OK;
    if (!found) {
        found = fluid_synth_program_select(synth.synth, channel, synth.fontId, bank == 128 ? 128 : 0,
                                           bank == 128 ? 0 : program) == FLUID_OK;
    }
    if (found) {
        fluid_synth_noteon(synth.synth, channel, key, velocity);
        constexpr uint64_t kChunk = 1 << 16; // [frames]
        for (uint64_t done = 0; done < frames;) {
            const auto now = static_cast<int>(std::min(kChunk, frames - done));
            float* at = stereo + 2 * done;
            fluid_synth_write_float(synth.synth, now, at, 0, 2, at, 1, 2);
            done += static_cast<uint64_t>(now);
        }
    }
    DeleteSynth(synth, false);
    return found;
}

int SoundFontBank::FreshSynths(int count) {
    for (PoolSynth& pool : synths_) {
        DeleteSynth(pool, false);
    }
    synths_.clear();
    if (sfont_ == nullptr) {
        return 0;
    }
    count = std::min(count, kMaxSynths);
    while (SynthCount() < count) {
        PoolSynth pool = NewSynth(16, kPoolPolyphony);
        if (pool.synth == nullptr) {
            DeleteSynth(pool, true);
            break;
        }
        pool.fontId = fluid_synth_add_sfont(pool.synth, sfont_);
        fluid_synth_program_reset(pool.synth);
        synths_.push_back(pool);
    }
    return SynthCount();
}

uint64_t SoundFontBank::ReleaseFrames(int bank, int program, int key, int velocity) {
    const auto id = std::make_tuple(bank, program, key, velocity);
    if (auto found = releases_.find(id); found != releases_.end()) {
        return found->second;
    }
    if (sfont_ == nullptr) {
        return 0;
    }
    PoolSynth& probe = holder_;
    float scratch[2 * kSynthBlockFrames];
    auto render = [&](int frames) {
        while (frames > 0) {
            const int now = std::min(frames, kSynthBlockFrames);
            fluid_synth_write_float(probe.synth, now, scratch, 0, 2, scratch, 1, 2);
            probe.written += static_cast<uint64_t>(now);
            frames -= now;
        }
    };
    fluid_synth_all_sounds_off(probe.synth, -1);
    render(static_cast<int>((kSynthBlockFrames - probe.written % kSynthBlockFrames) % kSynthBlockFrames));
    uint64_t release = 0;
    if (fluid_synth_program_select(probe.synth, 0, probe.fontId, bank, program) == FLUID_OK) {
        fluid_synth_noteon(probe.synth, 0, key, velocity);
        render(rate_ * kProbeNoteMs / 1000);
        fluid_synth_noteoff(probe.synth, 0, key);
        const uint64_t limit = static_cast<uint64_t>(rate_) * kMaxReleaseMs / 1000;
        while (release < limit) {
            render(kSynthBlockFrames);
            release += kSynthBlockFrames;
            if (fluid_synth_get_active_voice_count(probe.synth) == 0) {
                break;
            }
        }
    }
    fluid_synth_all_sounds_off(probe.synth, -1);
    render(kSynthBlockFrames); // let the cut take effect so the synth is silent again
    fluid_synth_program_select(probe.synth, 0, probe.fontId, 0, 0);
    releases_[id] = release;
    return release;
}

} // namespace qlor
