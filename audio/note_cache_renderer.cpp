#include "audio/note_cache_renderer.h"

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

constexpr size_t kMaxClips = 128;     // distinct notes of one song
constexpr double kLoudnessMs = 250.0; // the start of a note whose RMS is matched to the tone [ms]

using ClipId = std::tuple<int, int, int, int>; // bank, program, key, velocity

struct PlannedNote {
    double on = 0; // exact [frames]
    double off = 0;
    uint64_t end = 0;
    ClipId clip;
};

struct Plan {
    std::vector<PlannedNote> notes;
    std::map<ClipId, uint64_t> clipFrames; // the longest note of each clip [frames]
};

double HalfEdgeFrames(int rate) {
    return kToneEdgeMs * 0.5e-3 * rate;
}

double MaxLeadFrames(int rate) {
    return NoteCacheRenderer::kMaxLeadMs * 1e-3 * rate;
}

// The song's notes with their clips, or nothing when the song holds other events or its
// notes do not fit the cache.
std::optional<Plan> PlanNotes(const MidiTimeline& timeline) {
    const double halfEdge = HalfEdgeFrames(timeline.rate);
    const auto maxLead = static_cast<uint64_t>(std::ceil(MaxLeadFrames(timeline.rate))) + 1;
    Plan plan;
    ChannelPresets presets;
    uint64_t total = 0;
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
        note.on = event.exactFrame;
        note.off = event.partner != kNoPartner ? timeline.events[event.partner].exactFrame : timeline.lengthExact;
        if (note.off <= note.on) {
            continue;
        }
        note.end = static_cast<uint64_t>(std::ceil(note.off + halfEdge));
        note.clip = ClipId{presets.bank[channel], presets.program[channel], event.data1, event.data2};
        uint64_t& frames = plan.clipFrames[note.clip];
        const uint64_t needed = note.end - static_cast<uint64_t>(note.on) + maxLead;
        if (needed > frames) {
            total += needed - frames;
            frames = needed;
        }
        if (plan.clipFrames.size() > kMaxClips || total > NoteCacheRenderer::kMaxCacheFrames) {
            return std::nullopt;
        }
        plan.notes.push_back(note);
    }
    return plan;
}

} // namespace

// Where the clip's envelope first reaches half its key-down level: the envelope is the mean of
// |left + right| over two periods of the note (linear in the amplitude, so it keeps the half
// point of an edge where it is); the key-down level is its mean over the loudness window.
double NoteCacheRenderer::AttackLead(const Clip& clip, int rate) {
    const double hertz = 440.0 * std::exp2((clip.key - 69) / 12.0);
    const auto half = std::max<int64_t>(1, std::lround(rate / hertz)); // one period [frames]
    const auto frames = static_cast<int64_t>(clip.frames);
    const auto window = std::min<int64_t>(frames, static_cast<int64_t>(kLoudnessMs * 1e-3 * rate));
    const auto maxLead = static_cast<int64_t>(MaxLeadFrames(rate));
    if (window <= 2 * half + maxLead) {
        return 0;
    }
    std::vector<double> sum(static_cast<size_t>(window + 1), 0.0); // running sum of |l + r|
    for (int64_t n = 0; n < window; ++n) {
        const size_t k = static_cast<size_t>(2 * n);
        sum[static_cast<size_t>(n + 1)] = sum[static_cast<size_t>(n)] + std::fabs(clip.stereo[k] + clip.stereo[k + 1]);
    }
    const auto envelope = [&](int64_t n) {
        const int64_t a = std::max<int64_t>(0, n - half);
        const int64_t b = std::min<int64_t>(window, n + half + 1);
        return (sum[static_cast<size_t>(b)] - sum[static_cast<size_t>(a)]) / static_cast<double>(2 * half + 1);
    };
    double level = 0;
    for (int64_t n = half; n < window - half; ++n) {
        level += envelope(n);
    }
    level /= static_cast<double>(window - 2 * half);
    const double target = level / 2;
    double previous = envelope(0);
    for (int64_t n = 1; n <= maxLead; ++n) {
        const double now = envelope(n);
        if (now >= target && previous < target) {
            return static_cast<double>(n - 1) + (target - previous) / (now - previous);
        }
        previous = now;
    }
    return 0;
}

bool NoteCacheRenderer::Suits(const MidiTimeline& timeline) {
    return PlanNotes(timeline).has_value();
}

NoteCacheRenderer::NoteCacheRenderer(SoundFontBank& bank, const MidiTimeline& timeline)
    : halfEdge_(HalfEdgeFrames(timeline.rate)) {
    std::optional<Plan> plan = PlanNotes(timeline);
    if (!plan) {
        return; // silent; callers check Suits first
    }
    std::map<ClipId, uint32_t> index;
    for (const auto& [id, frames] : plan->clipFrames) {
        Clip clip;
        std::tie(clip.bank, clip.program, clip.key, clip.velocity) = id;
        clip.frames = frames;
        clip.stereo.assign(2 * frames, 0.0f);
        if (bank.RenderNote(clip.bank, clip.program, clip.key, clip.velocity, frames, clip.stereo.data())) {
            // Key-down loudness of the pure tone: a sine of amplitude kToneFullScale * velocity / 127.
            const auto measured = static_cast<size_t>(
                std::min<double>(static_cast<double>(frames), kLoudnessMs * 1e-3 * timeline.rate));
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
            clip.lead = AttackLead(clip, timeline.rate);
        }
        index[id] = static_cast<uint32_t>(clips_.size());
        clips_.push_back(std::move(clip));
    }
    notes_.reserve(plan->notes.size());
    for (const PlannedNote& planned : plan->notes) {
        const uint32_t id = index[planned.clip];
        const double start = std::round(planned.on - clips_[id].lead);
        Note note;
        note.start = start > 0 ? static_cast<uint64_t>(start) : 0;
        note.skip = start < 0 ? static_cast<uint64_t>(-start) : 0;
        note.off = planned.off;
        note.end = planned.end;
        note.clip = id;
        notes_.push_back(note);
    }
    // Events are in time order; the attacks of different clips may differ in length.
    std::stable_sort(notes_.begin(), notes_.end(), [](const Note& a, const Note& b) { return a.start < b.start; });
}

void NoteCacheRenderer::Restart(uint64_t start) {
    soundingCount_ = 0;
    next_ = static_cast<size_t>(std::lower_bound(notes_.begin(), notes_.end(), start,
                                                 [](const Note& note, uint64_t at) { return note.start < at; }) -
                                notes_.begin());
}

void NoteCacheRenderer::RenderBlock(uint64_t start, size_t frames, float* out) {
    const uint64_t end = start + frames;
    while (next_ < notes_.size() && notes_[next_].start < end) {
        if (soundingCount_ < kMaxSounding) {
            sounding_[soundingCount_++] = static_cast<uint32_t>(next_);
        }
        ++next_;
    }
    for (size_t i = 0; i < soundingCount_;) {
        const Note& note = notes_[sounding_[i]];
        const uint64_t first = std::max(note.start, start);
        const uint64_t last = std::min(note.end, end);
        if (first < last) {
            MixNote(note, first, last, out + 2 * (first - start));
        }
        if (note.end <= end) {
            sounding_[i] = sounding_[--soundingCount_];
        } else {
            ++i;
        }
    }
}

// Adds frames [first, last) of a note: the clip as rendered until the key-up edge, then the clip
// under the falling half of a raised cosine whose midpoint is the exact note-off.
void NoteCacheRenderer::MixNote(const Note& note, uint64_t first, uint64_t last, float* out) const {
    const float* clip = clips_[note.clip].stereo.data() + 2 * (note.skip + first - note.start);
    const double fallStart = note.off - halfEdge_;
    const auto plainEnd =
        fallStart <= static_cast<double>(first)
            ? first
            : std::min(last, static_cast<uint64_t>(std::ceil(fallStart))); // frames before the edge
    const size_t plain = 2 * (plainEnd - first);
    for (size_t k = 0; k < plain; ++k) {
        out[k] += clip[k];
    }
    const double step = std::numbers::pi / (2.0 * halfEdge_); // edge phase per frame [rad]
    for (uint64_t n = plainEnd; n < last; ++n) {
        const double phase = std::clamp((note.off + halfEdge_ - static_cast<double>(n)) * step, 0.0, std::numbers::pi);
        const auto gain = static_cast<float>(0.5 - 0.5 * std::cos(phase));
        const size_t k = 2 * (n - first);
        out[k] += gain * clip[k];
        out[k + 1] += gain * clip[k + 1];
    }
}

} // namespace qlor
