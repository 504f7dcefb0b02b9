#include "synthesis/midi_writer.h"

#include "base/codepage.h"
#include "base/safe_file.h"
#include "synthesis/timing.h"

#include <algorithm>
#include <array>
#include <limits>

namespace qlor {
namespace {

constexpr uint8_t kNoteOnStatus = 0x90;
constexpr uint8_t kProgramChangeStatus = 0xC0;
constexpr uint8_t kVelocity = 0x64;
constexpr std::string_view kClosingText = "PAUSE";
constexpr int kSlowestSpeed = 5; // [cpm]
// Largest delta-time of four variable-length bytes, all that readers accept [ticks].
constexpr uint64_t kMaxDeltaTicks = 0x0FFFFFFF;
// A silent note-off of the voice's note, written to cut a longer silence into delta-times that
// fit: status (when not running), note, velocity 0.
constexpr size_t kMaxSplitBytes = 4 + 3;

void Append(ByteVector& out, std::initializer_list<uint8_t> bytes) {
    out.insert(out.end(), bytes);
}

void Append(ByteVector& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
}

// Writes vlq(value) at p; returns the position after it (at most 10 bytes).
uint8_t* PutVarLen(uint8_t* p, uint64_t value) {
    if (value < 0x80) {
        *p++ = static_cast<uint8_t>(value);
        return p;
    }
    uint8_t buffer[10];
    int n = 0;
    buffer[n++] = static_cast<uint8_t>(value & 0x7F);
    value >>= 7;
    while (value != 0) {
        buffer[n++] = static_cast<uint8_t>(0x80 | (value & 0x7F));
        value >>= 7;
    }
    while (n > 0) {
        *p++ = buffer[--n];
    }
    return p;
}

void AppendVarLen(ByteVector& out, uint64_t value) {
    uint8_t buffer[10];
    uint8_t* end = PutVarLen(buffer, value);
    out.insert(out.end(), buffer, end);
}

// Writes a silence longer than one delta-time can hold as silent note-offs kMaxDeltaTicks apart
// and returns the position after them; `gap` keeps the remainder for the next event. Without a
// running note-on status the first one carries the status byte (statusSet becomes true).
uint8_t* PutLongSilence(uint8_t* p, uint64_t& gap, uint8_t status, uint8_t note, bool& statusSet) {
    p = PutVarLen(p, kMaxDeltaTicks);
    if (!statusSet) {
        *p++ = status;
        statusSet = true;
    }
    *p++ = note;
    *p++ = 0x00;
    gap -= kMaxDeltaTicks;
    return p;
}

void AppendBigEndian32(ByteVector& out, uint32_t value) {
    Append(out, {static_cast<uint8_t>(value >> 24), static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8),
                 static_cast<uint8_t>(value)});
}

// Settings outside the MIDI data range would put bytes with bit 7 set where data bytes belong and
// break the file for every reader; they are brought into range here whatever the caller passes.
MidiVoice SafeVoice(const MidiVoice& voice) {
    MidiVoice v = voice;
    v.channel = std::clamp(v.channel, 0, 15);
    v.patch = std::clamp(v.patch, 0, 127);
    v.note = std::clamp(v.note, 0, 127);
    v.pauseDelayDots = std::clamp(v.pauseDelayDots, 0, 1 << 20);
    return v;
}

// Trims bytes <= 0x20 at both ends and reduces every run of spaces to one space.
std::string Squeeze(std::string_view text) {
    std::string_view trimmed = Trim1251(text);
    std::string out;
    out.reserve(trimmed.size());
    for (char c : trimmed) {
        if (c == ' ' && !out.empty() && out.back() == ' ') {
            continue;
        }
        out.push_back(c);
    }
    return out;
}

std::string NoKeyableMessage() {
    return "the text has no character with a Morse code: it cannot be timed";
}

} // namespace

MidiVoice SettingsVoice(const TransmissionSettings& settings, int note) {
    MidiVoice voice;
    voice.channel = settings.midiChannel;
    voice.patch = settings.midiPatch;
    voice.pauseDelayDots = settings.pauseDelayDots;
    voice.note = note;
    return voice;
}

ByteVector EncodeVarLen(uint64_t value) {
    ByteVector out;
    AppendVarLen(out, value);
    return out;
}

ByteVector MidiHeader(int trackCount, uint32_t trackLength) {
    ByteVector out;
    out.reserve(22);
    Append(out, "MThd");
    Append(out, {0x00, 0x00, 0x00, 0x06});
    Append(out, {0x00, static_cast<uint8_t>(trackCount == 1 ? 0 : 1)});
    Append(out, {0x00, static_cast<uint8_t>(trackCount & 0xFF)});
    Append(out, {0x00, static_cast<uint8_t>(kTicksPerQuarter)});
    Append(out, "MTrk");
    AppendBigEndian32(out, trackLength);
    return out;
}

// Notes and silences strictly alternate: the silences between two notes (whatever gap letters
// stand there, one, several or none) become one delta-time, silence before the first note
// becomes the delta-time of the note-on status, and silence after the last note is left to the
// closing marker. Letters other than D T P Q R sound nothing and take no time.
Events ElementsToEvents(std::string_view elements, const MidiVoice& voiceIn) {
    const MidiVoice voice = SafeVoice(voiceIn);
    const auto note = static_cast<uint8_t>(voice.note);
    // Written length [ticks] and tempo weight [ticks] of every letter; 0 for letters that are not
    // D T P Q R.
    std::array<uint64_t, 256> ticks{};
    std::array<uint64_t, 256> weight{};
    for (char letter : {'D', 'T', 'P', 'Q', 'R'}) {
        ticks[static_cast<unsigned char>(letter)] = static_cast<uint64_t>(ElementTicks(letter, voice.pauseDelayDots));
        weight[static_cast<unsigned char>(letter)] = static_cast<uint64_t>(ElementWeight(letter));
    }

    Events events;
    ByteVector& out = events.bytes;
    constexpr size_t kMaxNoteBytes = 2 * 10 + 5; // two var-lens, status, note-on and note-off data
    out.resize(64 + elements.size() * 4);
    size_t n = 0;
    uint64_t gap = 0; // silence since the last note-off [ticks]
    uint64_t weightTotal = 0;
    uint64_t sounded = 0; // [ticks] up to the last note-off
    bool started = false;
    for (char letter : elements) {
        const auto c = static_cast<unsigned char>(letter);
        weightTotal += weight[c];
        if (c == 'D' || c == 'T') {
            sounded += gap + ticks[c]; // before a long gap is cut into pieces below
            if (n + kMaxNoteBytes + (gap / kMaxDeltaTicks) * kMaxSplitBytes > out.size()) {
                out.resize(std::max(out.size() * 2, n + kMaxNoteBytes + (gap / kMaxDeltaTicks) * kMaxSplitBytes));
            }
            uint8_t* p = out.data() + n;
            const auto status = static_cast<uint8_t>(kNoteOnStatus + voice.channel);
            while (gap > kMaxDeltaTicks) {
                p = PutLongSilence(p, gap, status, note, started);
            }
            p = PutVarLen(p, gap);
            if (!started) {
                *p++ = status;
                started = true;
            }
            *p++ = note;
            *p++ = kVelocity;
            p = PutVarLen(p, ticks[c]);
            *p++ = note;
            *p++ = 0x00;
            n = static_cast<size_t>(p - out.data());
            gap = 0;
        } else {
            gap += ticks[c];
        }
    }
    out.resize(n);
    events.weightTotal = weightTotal;
    events.soundedTicks = sounded;
    return events;
}

std::string FullSegmentText(std::string_view header, std::string_view body, std::string_view ending) {
    std::string h = Squeeze(header);
    std::string full;
    full.reserve(header.size() + body.size() + ending.size() + 2);
    if (!h.empty()) {
        full += h;
        full += ' ';
    }
    full += Squeeze(body);
    std::string e = Squeeze(ending);
    if (!e.empty()) {
        full += ' ';
        full += e;
    }
    return full;
}

MidiResult BuildSegment(const MorseTable& table, const SegmentText& segment, int pauseSeconds, const MidiVoice& voice) {
    MidiResult result;
    // The tempo comes from the body alone, so header and ending sound at the body's speed.
    const Elements body = TextToElements(table, segment.body);
    const int speed = std::max(segment.speedCpm, kSlowestSpeed);
    const auto tempoUsPerQuarter = SegmentTempoUsPerQuarter(body.count, ElementWeightTotal(body.elements), speed);
    if (!tempoUsPerQuarter) {
        result.error = MidiError::NoKeyableCharacter;
        result.message = NoKeyableMessage();
        return result;
    }
    // The tempo field holds 3 bytes: a longer quarter note is clamped (a very short body at a
    // very low speed); the closing pause is computed from the tempo actually written.
    const uint64_t written = std::clamp<uint64_t>(*tempoUsPerQuarter, 1, kMaxTempoUsPerQuarter);
    const Elements full = TextToElements(table, FullSegmentText(segment.header, segment.body, segment.ending));
    Events events = ElementsToEvents(full.elements, voice);

    ByteVector& out = result.bytes;
    out.reserve(events.bytes.size() + 48);
    Append(out, {0x00, 0xFF, 0x51, 0x03, static_cast<uint8_t>(written >> 16), static_cast<uint8_t>(written >> 8),
                 static_cast<uint8_t>(written)});
    Append(out, {0x00, 0xFF, 0x02, static_cast<uint8_t>(kCopyrightText.size())});
    Append(out, kCopyrightText);
    out.insert(out.end(), events.bytes.begin(), events.bytes.end());
    // The closing pause may be longer than one delta-time (a fast tempo and a long pause).
    const MidiVoice safe = SafeVoice(voice);
    uint64_t pause = EndPauseTicks(written, std::max(pauseSeconds, 0));
    // One tick lasts written / kTicksPerQuarter [us]; rounded to the nearest microsecond.
    const uint64_t segmentTicks = events.soundedTicks + pause;
    constexpr auto kTicks = static_cast<uint64_t>(kTicksPerQuarter);
    result.segmentLengthsUs.push_back((segmentTicks * written + kTicks / 2) / kTicks);
    while (pause > kMaxDeltaTicks) {
        uint8_t split[kMaxSplitBytes];
        bool statusSet = false; // after meta events a status byte is always written
        uint8_t* end = PutLongSilence(split, pause, static_cast<uint8_t>(kNoteOnStatus + safe.channel),
                                      static_cast<uint8_t>(safe.note), statusSet);
        out.insert(out.end(), split, end);
    }
    AppendVarLen(out, pause);
    Append(out, {0xFF, 0x01, static_cast<uint8_t>(kClosingText.size())});
    Append(out, kClosingText);
    return result;
}

MidiResult BuildMorseMidi(const MorseTable& table, const std::vector<SegmentText>& segments, int pauseSeconds,
                          const MidiVoice& voiceIn) {
    const MidiVoice voice = SafeVoice(voiceIn);
    ByteVector track;
    Append(track,
           {0x00, static_cast<uint8_t>(kProgramChangeStatus + voice.channel), static_cast<uint8_t>(voice.patch)});
    std::vector<uint64_t> lengthsUs;
    for (const SegmentText& segment : segments) {
        MidiResult part = BuildSegment(table, segment, pauseSeconds, voice);
        if (!part) {
            return part;
        }
        track.insert(track.end(), part.bytes.begin(), part.bytes.end());
        lengthsUs.push_back(part.segmentLengthsUs.front());
    }
    Append(track, {0x00, 0xFF, 0x2F, 0x00});

    MidiResult result;
    if (track.size() > std::numeric_limits<uint32_t>::max()) {
        result.error = MidiError::Io;
        result.message = "the text is too long for one MIDI track";
        return result;
    }
    result.bytes = MidiHeader(1, static_cast<uint32_t>(track.size()));
    result.bytes.insert(result.bytes.end(), track.begin(), track.end());
    result.segmentLengthsUs = std::move(lengthsUs);
    return result;
}

MidiResult WriteMorseMidi(const MorseTable& table, const std::vector<SegmentText>& segments, const std::string& path,
                          int pauseSeconds, const MidiVoice& voice) {
    MidiResult result = BuildMorseMidi(table, segments, pauseSeconds, voice);
    if (!result) {
        return result;
    }
    std::string error = WriteFileAtomically(
        path, std::string_view(reinterpret_cast<const char*>(result.bytes.data()), result.bytes.size()));
    if (!error.empty()) {
        result.error = MidiError::Io;
        result.message = std::move(error);
        result.bytes.clear();
    }
    return result;
}

} // namespace qlor
