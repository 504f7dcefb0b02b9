#include "audio/midi_source.h"

#include "audio/note_cache_renderer.h"
#include "audio/soundfont_bank.h"
#include "audio/soundfont_renderer.h"
#include "audio/tone_renderer.h"
#include "synthesis/sound_names.h"

#include <algorithm>
#include <cstring>

namespace qlor {

const char* VoiceName(VoiceKind voice) {
    switch (voice) {
    case VoiceKind::SoundFont:
        return kVoiceSoundFont.data();
    case VoiceKind::Tone:
        return kVoiceTone.data();
    default:
        return kVoiceAuto.data();
    }
}

bool ParseVoiceName(const std::string& name, VoiceKind& voice) {
    if (name == kVoiceSoundFont) {
        voice = VoiceKind::SoundFont;
    } else if (name == kVoiceTone) {
        voice = VoiceKind::Tone;
    } else if (name == kVoiceAuto) {
        voice = VoiceKind::Automatic;
    } else {
        return false;
    }
    return true;
}

MidiSource::MidiSource(std::unique_ptr<MidiTimeline> timeline, VoiceKind voice, SoundFontBank* bank)
    : timeline_(std::move(timeline)), voice_(voice) {
    if (voice_ == VoiceKind::SoundFont && bank != nullptr && bank->Loaded()) {
        if (NoteCacheRenderer::Suits(*timeline_)) {
            renderer_ = std::make_unique<NoteCacheRenderer>(*bank, *timeline_);
        } else {
            renderer_ = std::make_unique<SoundFontRenderer>(*bank, *timeline_);
            usesBank_ = true;
        }
    } else {
        voice_ = VoiceKind::Tone;
        renderer_ = std::make_unique<ToneRenderer>(*timeline_);
    }
}

size_t MidiSource::Render(float* out, size_t frames) {
    const uint64_t length = timeline_->lengthFrames;
    size_t done = 0;
    while (done < frames && positionFrames_ < length) {
        if (positionFrames_ >= blockEnd_) {
            if (frames - done >= kMidiBlockFrames && length - positionFrames_ >= kMidiBlockFrames) {
                // A whole block is wanted: straight into the output.
                float* target = out + 2 * done;
                std::fill(target, target + 2 * kMidiBlockFrames, 0.0f);
                renderer_->RenderBlock(blockEnd_, kMidiBlockFrames, target);
                blockEnd_ += kMidiBlockFrames;
                positionFrames_ = blockEnd_;
                done += kMidiBlockFrames;
                continue;
            }
            std::fill(block_.begin(), block_.end(), 0.0f);
            renderer_->RenderBlock(blockEnd_, kMidiBlockFrames, block_.data());
            blockEnd_ += kMidiBlockFrames;
        }
        const uint64_t offset = positionFrames_ - (blockEnd_ - kMidiBlockFrames);
        const auto now = static_cast<size_t>(
            std::min<uint64_t>({frames - done, blockEnd_ - positionFrames_, length - positionFrames_}));
        std::memcpy(out + 2 * done, block_.data() + 2 * offset, 2 * now * sizeof(float));
        done += now;
        positionFrames_ += now;
    }
    return done;
}

void MidiSource::Rewind() {
    positionFrames_ = 0;
    blockEnd_ = 0;
    renderer_->Restart(0);
}

void MidiSource::Halt() {
    // What is left of the current block was rendered with the notes that are now cut.
    const uint64_t blockStart = blockEnd_ - kMidiBlockFrames;
    if (blockEnd_ > 0 && positionFrames_ > blockStart) {
        std::fill(block_.begin() + 2 * (positionFrames_ - blockStart), block_.end(), 0.0f);
    }
    renderer_->Restart(blockEnd_);
}

namespace {

MidiOpenResult Prepare(const SmfResult& song, VoiceKind voice, SoundFontBank* bank, int rate) {
    MidiOpenResult result;
    if (!song.ok()) {
        result.error = song.error;
        return result;
    }
    TimelineResult scheduled = ScheduleSong(song.song, rate);
    if (!scheduled.ok()) {
        result.error = scheduled.error;
        return result;
    }
    VoiceKind used = voice == VoiceKind::Tone ? VoiceKind::Tone : VoiceKind::SoundFont;
    if (used == VoiceKind::SoundFont) {
        const std::string why = bank == nullptr        ? std::string("No SoundFont voice is available.")
                                : bank->Rate() != rate ? std::string("The SoundFont voice runs at another rate.")
                                                       : bank->Load();
        if (!why.empty()) {
            if (voice == VoiceKind::SoundFont) {
                result.error = why;
                return result;
            }
            result.warning = why + " The pure tone is used instead.";
            used = VoiceKind::Tone;
        }
    }
    result.source =
        std::make_unique<MidiSource>(std::make_unique<MidiTimeline>(std::move(scheduled.timeline)), used, bank);
    return result;
}

} // namespace

MidiOpenResult OpenMidiBytes(std::span<const uint8_t> bytes, VoiceKind voice, SoundFontBank* bank, int rate) {
    return Prepare(ParseSmf(bytes), voice, bank, rate);
}

MidiOpenResult OpenMidiFile(const std::string& path, VoiceKind voice, SoundFontBank* bank, int rate) {
    return Prepare(ReadSmfFile(path), voice, bank, rate);
}

} // namespace qlor
