#include "audio/tone_renderer.h"

#include "audio/note_pitch.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace qlor {

std::vector<double> NoteHalfEdges(const std::vector<NoteSpan>& notes, int rate) {
    const double longest = kToneEdgeMs * 0.5e-3 * rate; // [frames]
    const double share = 0.5 * kToneEdgeShare;          // of a length, for half an edge
    std::vector<double> halfEdges(notes.size(), longest);
    double latestOff = -std::numeric_limits<double>::infinity();
    for (size_t i = 0; i < notes.size(); ++i) {
        double shortest = notes[i].offFrame - notes[i].onFrame;
        if (notes[i].onFrame - latestOff > 0) {
            shortest = std::min(shortest, notes[i].onFrame - latestOff);
        }
        if (i + 1 < notes.size() && notes[i + 1].onFrame - notes[i].offFrame > 0) {
            shortest = std::min(shortest, notes[i + 1].onFrame - notes[i].offFrame);
        }
        halfEdges[i] = std::min(longest, share * shortest);
        latestOff = std::max(latestOff, notes[i].offFrame);
    }
    return halfEdges;
}

ToneRenderer::ToneRenderer(const MidiTimeline& timeline) {
    const double nyquist = timeline.rate * 0.5;
    for (const TimedEvent& event : timeline.events) {
        if ((event.status & 0xF0) != 0x90) {
            continue;
        }
        Note note;
        note.onFrame = event.exactFrame;
        note.offFrame =
            event.partner != kNoPartner ? timeline.events[event.partner].exactFrame : timeline.lengthExactFrames;
        const double hertz = NoteHz(event.data1);
        if (note.offFrame <= note.onFrame || hertz >= nyquist) {
            continue;
        }
        note.omega = 2.0 * std::numbers::pi * hertz / timeline.rate;
        note.amplitude = kToneFullScale * static_cast<float>(event.data2) / 127.0f;
        notes_.push_back(note);
    }
    // Events are in time order, so the notes are already sorted by note-on.
    std::vector<NoteSpan> spans;
    spans.reserve(notes_.size());
    for (const Note& note : notes_) {
        spans.push_back({note.onFrame, note.offFrame});
    }
    const std::vector<double> halfEdges = NoteHalfEdges(spans, timeline.rate);
    for (size_t i = 0; i < notes_.size(); ++i) {
        Note& note = notes_[i];
        note.halfEdge = halfEdges[i];
        // The edges' frames; the rising edge of a note at the very start is cut at the song's start.
        note.startFrame = static_cast<uint64_t>(std::max(0.0, std::ceil(note.onFrame - note.halfEdge)));
        note.endFrame = static_cast<uint64_t>(std::max(0.0, std::ceil(note.offFrame + note.halfEdge)));
    }
}

void ToneRenderer::Restart(uint64_t start) {
    sounding_.Restart(notes_, start);
}

void ToneRenderer::RenderBlock(uint64_t start, size_t frames, float* out) {
    sounding_.Render(notes_, start, frames, [&](const Note& note, uint64_t first, uint64_t last) {
        RenderNote(note, first, last, out + 2 * (first - start));
    });
}

// Adds frames [first, last) of one note. The oscillator and the edge shapes are advanced by
// rotation from exact values at `first`, so a block's result does not depend on earlier blocks.
void ToneRenderer::RenderNote(const Note& note, uint64_t first, uint64_t last, float* out) const {
    const double h = note.halfEdge;
    const double step = std::numbers::pi / (2.0 * h); // edge phase per frame [rad]
    const double riseEnd = note.onFrame + h;
    const double fallStart = note.offFrame - h;
    const float amplitude = note.amplitude;

    double c = std::cos(note.omega * (static_cast<double>(first) - note.onFrame));
    double s = std::sin(note.omega * (static_cast<double>(first) - note.onFrame));
    const double wc = std::cos(note.omega);
    const double ws = std::sin(note.omega);
    auto advance = [&] {
        const double nc = c * wc - s * ws;
        s = s * wc + c * ws;
        c = nc;
    };
    auto emit = [&](double value) {
        const float v = amplitude * static_cast<float>(value);
        out[0] += v;
        out[1] += v;
        out += 2;
    };

    uint64_t n = first;
    if (riseEnd > fallStart) {
        // A note shorter than its edges: both edges at once, computed directly.
        for (; n < last; ++n) {
            const double t = static_cast<double>(n);
            const double rise = std::clamp((t - (note.onFrame - h)) * step, 0.0, std::numbers::pi);
            const double fall = std::clamp(((note.offFrame + h) - t) * step, 0.0, std::numbers::pi);
            emit(s * (0.5 - 0.5 * std::cos(std::min(rise, fall))));
            advance();
        }
        return;
    }
    const double rc = std::cos(step);
    const double rs = std::sin(step);
    if (static_cast<double>(n) < riseEnd) {
        const double phase = (static_cast<double>(n) - (note.onFrame - h)) * step;
        double ec = std::cos(phase);
        double es = std::sin(phase);
        for (; n < last && static_cast<double>(n) < riseEnd; ++n) {
            emit(s * (0.5 - 0.5 * ec));
            advance();
            const double nc = ec * rc - es * rs;
            es = es * rc + ec * rs;
            ec = nc;
        }
    }
    // Between the edges: four oscillators a frame apart, each turned by four frames' phase, so
    // the four rotations do not wait for one another.
    const auto plainEnd = std::min(last, static_cast<uint64_t>(std::max(std::ceil(fallStart), static_cast<double>(n))));
    if (plainEnd >= n + 8) {
        double c4[4], s4[4];
        for (int j = 0; j < 4; ++j) {
            c4[j] = c;
            s4[j] = s;
            advance();
        }
        const double w4c = std::cos(4.0 * note.omega);
        const double w4s = std::sin(4.0 * note.omega);
        for (; n + 4 <= plainEnd; n += 4) {
            for (int j = 0; j < 4; ++j) {
                emit(s4[j]);
                const double nc = c4[j] * w4c - s4[j] * w4s;
                s4[j] = s4[j] * w4c + c4[j] * w4s;
                c4[j] = nc;
            }
        }
        c = c4[0];
        s = s4[0];
    }
    for (; n < plainEnd; ++n) {
        emit(s);
        advance();
    }
    if (n < last) {
        const double phase = ((note.offFrame + h) - static_cast<double>(n)) * step;
        double ec = std::cos(phase);
        double es = std::sin(phase);
        for (; n < last; ++n) {
            emit(s * (0.5 - 0.5 * ec));
            advance();
            const double nc = ec * rc + es * rs; // phase decreases
            es = es * rc - ec * rs;
            ec = nc;
        }
    }
}

} // namespace qlor
