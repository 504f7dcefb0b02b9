#include "audio/note_cache_renderer.h"

#include "audio/note_pitch.h"
#include "audio/soundfont_bank.h"
#include "audio/soundfont_renderer.h"
#include "audio/tone_renderer.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <optional>
#include <tuple>

namespace qlor {
namespace {

constexpr size_t kMaxClips = 128;      // distinct notes of one song
constexpr double kLoudnessMs = 250.0;  // the start of a note whose RMS is matched to the tone [ms]
constexpr double kRumbleCut = 0.5;     // the cached notes' offset and rumble are taken off below this times the note
constexpr double kRumbleTailMs = 20.0; // [ms]

using ClipId = std::tuple<int, int, int, int>; // bank, program, key, velocity

struct PlannedNote {
    double onFrame = 0; // exact [frames]
    double offFrame = 0;
    double halfEdge = 0; // [frames]
    uint64_t endFrame = 0;
    ClipId clip;
};

struct Plan {
    std::vector<PlannedNote> notes;
    std::map<ClipId, uint64_t> clipFrames; // the longest note of each clip [frames]
};

// Rendered beyond a clip's end, so that the rumble filter's run-out falls outside the clip [frames].
uint64_t TailFrames(int rate) {
    return static_cast<uint64_t>(std::lround(kRumbleTailMs * 1e-3 * rate));
}

uint64_t AttackSkipFrames(int rate) {
    return static_cast<uint64_t>(std::lround(NoteCacheRenderer::kAttackSkipMs * 1e-3 * rate));
}

// The first frame of a note's key-down edge, which may lie before the song (negative).
int64_t FirstFrame(double on, double halfEdge) {
    return static_cast<int64_t>(std::ceil(on - halfEdge));
}

// The song's notes with their clips, or nothing when the song holds other events or its
// notes do not fit the cache.
std::optional<Plan> PlanNotes(const MidiTimeline& timeline) {
    Plan plan;
    ChannelPresets presets;
    for (const TimedEvent& event : timeline.events) {
        const int type = event.status & 0xF0;
        if (type == 0x80) {
            continue;
        }
        if (type == 0xC0 || (type == 0xB0 && event.data1 == 0)) {
            presets.Apply(event);
            continue;
        }
        if (type != 0x90) {
            return std::nullopt; // a controller, pitch bend or pressure changes a sounding note
        }
        const int channel = event.status & 0x0F;
        PlannedNote note;
        note.onFrame = event.exactFrame;
        note.offFrame =
            event.partner != kNoPartner ? timeline.events[event.partner].exactFrame : timeline.lengthExactFrames;
        if (note.offFrame <= note.onFrame) {
            continue;
        }
        note.clip = ClipId{presets.bank[channel], presets.program[channel], event.data1, event.data2};
        plan.clipFrames.emplace(note.clip, 0);
        if (plan.clipFrames.size() > kMaxClips) {
            return std::nullopt;
        }
        plan.notes.push_back(note);
    }
    // The pure tone's edges, note by note, and the frames each clip must hold.
    std::vector<NoteSpan> spans;
    spans.reserve(plan.notes.size());
    for (const PlannedNote& note : plan.notes) {
        spans.push_back({note.onFrame, note.offFrame});
    }
    const std::vector<double> halfEdges = NoteHalfEdges(spans, timeline.rate);
    uint64_t total = 0;
    for (size_t i = 0; i < plan.notes.size(); ++i) {
        PlannedNote& note = plan.notes[i];
        note.halfEdge = halfEdges[i];
        note.endFrame = static_cast<uint64_t>(std::ceil(note.offFrame + note.halfEdge));
        uint64_t& frames = plan.clipFrames[note.clip];
        const auto needed =
            static_cast<uint64_t>(static_cast<int64_t>(note.endFrame) - FirstFrame(note.onFrame, note.halfEdge));
        if (needed > frames) {
            total += needed - frames;
            frames = needed;
        }
        if (total > NoteCacheRenderer::kMaxCacheFrames) {
            return std::nullopt;
        }
    }
    return plan;
}

} // namespace

// The instrument's sound sits on an offset and carries a rumble below its note (at the default
// note, 30..100 Hz at -38 dB of the sound); keyed on and off they would thump (energy below
// 100 Hz at -27 dB of the whole). Each rendered note is high-passed an octave below the note,
// forwards and backwards (no phase shift, so the keying edges stay where they are), once, off the
// audio thread. The filter runs in over the attack, which the clip leaves out, and out over a
// tail rendered beyond the clip.
void NoteCacheRenderer::RemoveRumble(std::vector<float>& stereo, int key, int rate) {
    const size_t frames = stereo.size() / 2;
    if (frames == 0) {
        return;
    }
    // Second-order Butterworth high-pass by the bilinear transform.
    const double cutHz = kRumbleCut * NoteHz(key);
    const double k = std::tan(std::numbers::pi * std::min(cutHz, 0.25 * rate) / rate);
    const double norm = 1.0 / (1.0 + std::numbers::sqrt2 * k + k * k);
    const double b0 = norm, b1 = -2.0 * norm, b2 = norm;
    const double a1 = 2.0 * (k * k - 1.0) * norm, a2 = (1.0 - std::numbers::sqrt2 * k + k * k) * norm;
    std::vector<double> x(frames);
    for (size_t channel = 0; channel < 2; ++channel) {
        for (size_t n = 0; n < frames; ++n) {
            x[n] = stereo[2 * n + channel];
        }
        for (int pass = 0; pass < 2; ++pass) {
            double s1 = 0, s2 = 0;
            for (double& v : x) {
                const double y = b0 * v + s1;
                s1 = b1 * v - a1 * y + s2;
                s2 = b2 * v - a2 * y;
                v = y;
            }
            std::reverse(x.begin(), x.end());
        }
        for (size_t n = 0; n < frames; ++n) {
            stereo[2 * n + channel] = static_cast<float>(x[n]);
        }
    }
}

bool NoteCacheRenderer::Suits(const MidiTimeline& timeline) {
    return PlanNotes(timeline).has_value();
}

NoteCacheRenderer::NoteCacheRenderer(SoundFontBank& bank, const MidiTimeline& timeline) {
    std::optional<Plan> plan = PlanNotes(timeline);
    if (!plan) {
        return; // silent; callers check Suits first
    }
    std::map<ClipId, uint32_t> index;
    for (const auto& [id, frames] : plan->clipFrames) {
        Clip clip;
        std::tie(clip.bank, clip.program, clip.key, clip.velocity) = id;
        clip.frames = frames;
        const uint64_t skip = AttackSkipFrames(timeline.rate);
        const uint64_t tail = TailFrames(timeline.rate);
        clip.stereo.assign(2 * (skip + frames + tail), 0.0f);
        const bool rendered =
            bank.RenderNote(clip.bank, clip.program, clip.key, clip.velocity, skip + frames + tail, clip.stereo.data());
        if (rendered) {
            RemoveRumble(clip.stereo, clip.key, timeline.rate);
        }
        clip.stereo.erase(clip.stereo.begin(), clip.stereo.begin() + static_cast<std::ptrdiff_t>(2 * skip));
        clip.stereo.resize(2 * frames);
        if (rendered) {
            // Key-down loudness of the pure tone: a sine of amplitude kToneFullScale * velocity / 127.
            const auto measured =
                static_cast<size_t>(std::min<double>(static_cast<double>(frames), kLoudnessMs * 1e-3 * timeline.rate));
            double power = 0;
            for (size_t k = 0; k < 2 * measured; ++k) {
                power += static_cast<double>(clip.stereo[k]) * clip.stereo[k];
            }
            const double rms = measured > 0 ? std::sqrt(power / (2.0 * static_cast<double>(measured))) : 0.0;
            const double target = kToneFullScale * clip.velocity / 127.0 / std::numbers::sqrt2;
            if (rms > 1e-9) {
                const auto gain = static_cast<float>(target / rms);
                for (float& sample : clip.stereo) {
                    sample *= gain;
                }
            }
        }
        index[id] = static_cast<uint32_t>(clips_.size());
        clips_.push_back(std::move(clip));
    }
    notes_.reserve(plan->notes.size());
    for (const PlannedNote& planned : plan->notes) {
        const uint32_t id = index[planned.clip];
        const int64_t start = FirstFrame(planned.onFrame, planned.halfEdge);
        Note note;
        note.startFrame = start > 0 ? static_cast<uint64_t>(start) : 0;
        note.skip = start < 0 ? static_cast<uint64_t>(-start) : 0;
        note.onFrame = planned.onFrame;
        note.offFrame = planned.offFrame;
        note.halfEdge = planned.halfEdge;
        note.endFrame = planned.endFrame;
        note.clip = id;
        notes_.push_back(note);
    }
    // Events are in time order, so the notes are already sorted by their start.
}

void NoteCacheRenderer::Restart(uint64_t start) {
    sounding_.Restart(notes_, start);
}

void NoteCacheRenderer::RenderBlock(uint64_t start, size_t frames, float* out) {
    sounding_.Render(notes_, start, frames, [&](const Note& note, uint64_t first, uint64_t last) {
        MixNote(note, first, last, out + 2 * (first - start));
    });
}

// Adds frames [first, last) of a note: the clip under raised-cosine edges whose midpoints are the
// exact note-on and note-off; between the edges it is added as rendered.
void NoteCacheRenderer::MixNote(const Note& note, uint64_t first, uint64_t last, float* out) const {
    const float* clip = clips_[note.clip].stereo.data() + 2 * (note.skip + first - note.startFrame);
    const double h = note.halfEdge;
    const double step = std::numbers::pi / (2.0 * h); // edge phase per frame [rad]
    const double riseEnd = note.onFrame + h;
    const double fallStart = note.offFrame - h;
    auto edged = [&](uint64_t n) {
        const double t = static_cast<double>(n);
        const double rise = std::clamp((t - (note.onFrame - h)) * step, 0.0, std::numbers::pi);
        const double fall = std::clamp((note.offFrame + h - t) * step, 0.0, std::numbers::pi);
        const auto gain = static_cast<float>(0.5 - 0.5 * std::cos(std::min(rise, fall)));
        const size_t k = 2 * (n - first);
        out[k] += gain * clip[k];
        out[k + 1] += gain * clip[k + 1];
    };
    uint64_t n = first;
    for (; n < last && static_cast<double>(n) < riseEnd; ++n) {
        edged(n);
    }
    const uint64_t plainEnd =
        fallStart <= static_cast<double>(n) ? n : std::min(last, static_cast<uint64_t>(std::ceil(fallStart)));
    for (size_t k = 2 * (n - first); k < 2 * (plainEnd - first); ++k) {
        out[k] += clip[k];
    }
    for (n = plainEnd; n < last; ++n) {
        edged(n);
    }
}

} // namespace qlor
