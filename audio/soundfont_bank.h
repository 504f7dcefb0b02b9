#pragma once
// The SoundFont voice's resources: one SoundFont, loaded once with dynamic sample loading, shared
// by the synths that render the note cache (note_cache_renderer.h) and, for foreign files, by a
// pool of FluidSynth synthesisers (reverb and chorus off). In the pool a note can start on an exact
// frame only on a synth that is silent, because FluidSynth applies events at the start of its
// 64-frame blocks and only a silent synth may have its block grid moved; notes therefore go to
// the synths in turn, and the pool is as large as the release tails of a song need.
//
// Not thread-safe: the bank is used by the window's thread while a song is prepared and then
// only by the audio thread while that song plays (handed over with the song's source).
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;
typedef struct _fluid_sfont_t fluid_sfont_t;

namespace qlor {

inline constexpr const char* kSoundFontEnvironment = "QLOR_SOUNDFONT";
inline constexpr int kSynthBlockFrames = 64; // FluidSynth's internal block [frames]

class SoundFontBank {
public:
    static constexpr int kMaxSynths = 40;

    explicit SoundFontBank(int rate);
    ~SoundFontBank();
    SoundFontBank(const SoundFontBank&) = delete;
    SoundFontBank& operator=(const SoundFontBank&) = delete;

    // The font to use; empty means automatic (QLOR_SOUNDFONT, then the system's General MIDI
    // font). A different path unloads the current font.
    void SetPath(const std::string& path);
    const std::string& Path() const { return path_; }
    // The font the automatic lookup finds: QLOR_SOUNDFONT when set (even if missing, so the
    // error names it), else the first existing system General MIDI font; "" when none.
    static std::string FindSoundFont();

    // Loads the font if needed. Returns "" or a readable reason (missing or unreadable font).
    std::string Load();
    bool Loaded() const { return sfont_ != nullptr; }
    const std::string& LoadedPath() const { return loadedPath_; }
    int Rate() const { return rate_; }

    // Makes the presets usable on the audio thread without loading anything there: each
    // (bank, program) is pinned in the font, which keeps its samples in memory.
    void PinPresets(const std::set<std::pair<int, int>>& presets);
    // Renders one note of `frames` frames from its note-on on a synth of its own (window's thread):
    // the same note sounds the same, to the sample, whenever it is rendered. A preset the font
    // lacks falls back as FluidSynth's program change does (bank 0, or the standard drum kit).
    // Returns false (and leaves `stereo` silent) when the preset cannot be found.
    bool RenderNote(int bank, int program, int key, int velocity, uint64_t frames, float* stereo);
    // Replaces the pool with `count` new synths (at most kMaxSynths) and returns their number.
    // New synths every song make a song sound the same, to the sample, however often and after
    // whatever it is played: a synth that has played keeps traces of it in its voices.
    int FreshSynths(int count);
    int SynthCount() const { return static_cast<int>(synths_.size()); }
    fluid_synth_t* Synth(int index) const { return synths_[index].synth; }
    int FontId(int index) const { return synths_[index].fontId; }
    // Frames requested from synth `index` since it was created; its block grid follows from it.
    uint64_t& Written(int index) { return synths_[index].written; }

    // How long a note of this preset rings after its note-off until the synth is silent
    // [frames]; measured once (on the holder synth) and remembered.
    uint64_t ReleaseFrames(int bank, int program, int key, int velocity);

private:
    struct PoolSynth {
        fluid_settings_t* settings = nullptr;
        fluid_synth_t* synth = nullptr;
        int fontId = -1;
        uint64_t written = 0;
    };
    PoolSynth NewSynth(int channels, int polyphony);
    void DeleteSynth(PoolSynth& synth, bool ownsFont);
    void Unload();

    int rate_;
    std::string path_;
    std::string loadedPath_;
    PoolSynth holder_; // owns the font; measures releases
    fluid_sfont_t* sfont_ = nullptr;
    std::vector<PoolSynth> synths_; // share the holder's font
    std::set<std::pair<int, int>> pinned_;
    std::map<std::tuple<int, int, int, int>, uint64_t> releases_;
};

} // namespace qlor
