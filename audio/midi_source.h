#pragma once
// The text source: a MIDI file scheduled on the output grid and sounded by the SoundFont voice
// or the pure-tone voice. Rendering runs in blocks of kMidiBlockFrames aligned to absolute
// frames, so the result does not depend on how the audio is pulled (device or file).
#include "audio/audio_source.h"
#include "audio/sequencer.h"

#include <array>
#include <memory>
#include <span>
#include <string>

namespace qlor {

class SoundFontBank;

enum class VoiceKind {
    Automatic, // the SoundFont when one can be loaded, else the pure tone
    SoundFont,
    Tone,
};

// "soundfont" / "tone" / "auto" (as the CLI and the stored value "Voice" spell them).
const char* VoiceName(VoiceKind voice);
bool ParseVoiceName(const std::string& name, VoiceKind& voice);

inline constexpr size_t kMidiBlockFrames = 256; // [frames]

class MidiSource : public AudioSource {
public:
    MidiSource(std::unique_ptr<MidiTimeline> timeline, VoiceKind voice, SoundFontBank* bank);

    uint64_t LengthFrames() const override { return timeline_->lengthFrames; }
    uint64_t PositionFrames() const override { return positionFrames_; }
    size_t Render(float* out, size_t frames) override;
    void Rewind() override;
    void Halt() override;

    VoiceKind Voice() const { return voice_; } // SoundFont or Tone, as used
    // The SoundFont bank's synths play this song (a foreign file); the note cache and the pure
    // tone need nothing of the bank once the source is made.
    bool UsesBank() const { return usesBank_; }
    const MidiTimeline& Timeline() const { return *timeline_; }

private:
    std::unique_ptr<MidiTimeline> timeline_;
    VoiceKind voice_;
    bool usesBank_ = false;
    std::unique_ptr<NoteRenderer> renderer_;
    std::array<float, 2 * kMidiBlockFrames> block_{};
    uint64_t blockEnd_ = 0; // block_ holds frames [blockEnd_ - kMidiBlockFrames, blockEnd_)
    uint64_t positionFrames_ = 0;
};

struct MidiOpenResult {
    std::unique_ptr<MidiSource> source;
    std::string error;   // the file cannot be played (readable, UTF-8)
    std::string warning; // the SoundFont could not be used and the pure tone sounds instead
};

// Reads, schedules and prepares a MIDI file for `rate` [frames/s]. With VoiceKind::Automatic a
// SoundFont that cannot be loaded falls back to the pure tone (warning set); with
// VoiceKind::SoundFont it is an error. `bank` may be null for the pure tone; it must have
// `rate`.
MidiOpenResult OpenMidiFile(const std::string& path, VoiceKind voice, SoundFontBank* bank, int rate);
MidiOpenResult OpenMidiBytes(std::span<const uint8_t> bytes, VoiceKind voice, SoundFontBank* bank, int rate);

} // namespace qlor
