#pragma once
// A small, independent Standard MIDI File reader for tests: it checks the structure strictly
// (chunk lengths, variable-length quantities, running status, meta-event lengths, end of track
// last and nothing after it) and lists the events with their absolute times [ticks].
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qlor::test {

struct SmfEvent {
    uint64_t tick = 0;  // absolute time [ticks]
    uint64_t delta = 0; // delta-time before the event [ticks]
    uint8_t status = 0; // 0x80..0xEF channel message, 0xFF meta
    uint8_t metaType = 0;
    std::vector<uint8_t> data; // channel message data bytes, or the meta payload
    bool runningStatus = false;

    bool IsNoteOn() const { return (status & 0xF0) == 0x90 && data.size() == 2 && data[1] != 0; }
    bool IsNoteOff() const {
        return ((status & 0xF0) == 0x80) || ((status & 0xF0) == 0x90 && data.size() == 2 && data[1] == 0);
    }
    bool IsMeta(uint8_t type) const { return status == 0xFF && metaType == type; }
    std::string Text() const { return std::string(data.begin(), data.end()); }
};

struct SmfFile {
    int format = -1;
    int trackCount = 0;
    int division = 0;
    std::vector<SmfEvent> events; // of the one track
};

// Parses the file; returns nullopt and sets `error` when the bytes are not a valid
// single-track SMF.
inline std::optional<SmfFile> ReadSmf(const std::vector<uint8_t>& bytes, std::string* error = nullptr) {
    auto fail = [&](const std::string& why) -> std::optional<SmfFile> {
        if (error) {
            *error = why;
        }
        return std::nullopt;
    };
    auto be = [&](size_t at, int n) {
        uint64_t v = 0;
        for (int k = 0; k < n; ++k) {
            v = (v << 8) | bytes[at + k];
        }
        return v;
    };
    if (bytes.size() < 22 || std::string(bytes.begin(), bytes.begin() + 4) != "MThd" || be(4, 4) != 6) {
        return fail("bad header chunk");
    }
    SmfFile file;
    file.format = static_cast<int>(be(8, 2));
    file.trackCount = static_cast<int>(be(10, 2));
    file.division = static_cast<int>(be(12, 2));
    if (file.trackCount != 1) {
        return fail("expected one track");
    }
    if (std::string(bytes.begin() + 14, bytes.begin() + 18) != "MTrk") {
        return fail("bad track chunk id");
    }
    const uint64_t length = be(18, 4);
    if (22 + length != bytes.size()) {
        return fail("track length " + std::to_string(length) + " does not match the " +
                    std::to_string(bytes.size() - 22) + " bytes that follow");
    }
    size_t pos = 22;
    const size_t end = bytes.size();
    auto readVarLen = [&](uint64_t& value) {
        value = 0;
        for (int k = 0; k < 4; ++k) { // the SMF limit: at most 4 bytes
            if (pos >= end) {
                return false;
            }
            uint8_t b = bytes[pos++];
            value = (value << 7) | (b & 0x7F);
            if ((b & 0x80) == 0) {
                return true;
            }
        }
        return false;
    };
    uint8_t running = 0;
    uint64_t tick = 0;
    bool ended = false;
    while (pos < end) {
        if (ended) {
            return fail("bytes after end of track");
        }
        SmfEvent ev;
        if (!readVarLen(ev.delta)) {
            return fail("bad delta-time at " + std::to_string(pos));
        }
        tick += ev.delta;
        ev.tick = tick;
        if (pos >= end) {
            return fail("delta-time without event");
        }
        uint8_t b = bytes[pos];
        if (b == 0xFF) {
            ++pos;
            if (pos >= end) {
                return fail("truncated meta event");
            }
            ev.status = 0xFF;
            ev.metaType = bytes[pos++];
            uint64_t len = 0;
            if (!readVarLen(len) || pos + len > end) {
                return fail("bad meta length");
            }
            ev.data.assign(bytes.begin() + static_cast<std::ptrdiff_t>(pos),
                           bytes.begin() + static_cast<std::ptrdiff_t>(pos + len));
            pos += len;
            running = 0; // a meta event ends running status for strict readers
            if (ev.metaType == 0x2F) {
                if (len != 0) {
                    return fail("end of track with data");
                }
                ended = true;
            }
        } else if (b == 0xF0 || b == 0xF7) {
            return fail("unexpected sysex");
        } else {
            if (b & 0x80) {
                running = b;
                ++pos;
            } else {
                if (running == 0) {
                    return fail("data byte without status at " + std::to_string(pos));
                }
                ev.runningStatus = true;
            }
            ev.status = running;
            int dataBytes = ((running & 0xF0) == 0xC0 || (running & 0xF0) == 0xD0) ? 1 : 2;
            for (int k = 0; k < dataBytes; ++k) {
                if (pos >= end || (bytes[pos] & 0x80)) {
                    return fail("bad data byte at " + std::to_string(pos));
                }
                ev.data.push_back(bytes[pos++]);
            }
        }
        file.events.push_back(std::move(ev));
    }
    if (!ended) {
        return fail("no end of track");
    }
    return file;
}

// The track split at its tempo events into the segments of a Morse file: each keys its notes one
// at a time and is closed by a "PAUSE" text event once the last note has ended.
struct SmfSegment {
    uint32_t tempoUsPerQuarter = 0; // [us/quarter]
    int notes = 0;                  // note-ons with a velocity above 0
    int channel = -1;               // channel of the note events
    uint64_t closingDelta = 0;      // delta-time of the closing "PAUSE" text event [ticks]
    bool closed = false;
    bool hasCopyright = false;
};

struct SmfTrack {
    std::string error; // empty when the file is well formed
    int format = -1;
    int division = 0;
    int program = -1;
    std::vector<SmfSegment> segments;
};

inline SmfTrack ReadSmfSegments(const std::vector<uint8_t>& bytes) {
    SmfTrack t;
    const std::optional<SmfFile> file = ReadSmf(bytes, &t.error);
    if (!file) {
        return t;
    }
    t.format = file->format;
    t.division = file->division;
    int open = 0; // notes sounding
    for (const SmfEvent& ev : file->events) {
        if (ev.IsMeta(0x51)) {
            if (ev.data.size() != 3) {
                t.error = "tempo length";
                return t;
            }
            t.segments.push_back(SmfSegment{(uint32_t{ev.data[0]} << 16) | (ev.data[1] << 8) | ev.data[2]});
        } else if (ev.IsMeta(0x02) && !t.segments.empty()) {
            t.segments.back().hasCopyright = true;
        } else if (ev.IsMeta(0x01) && ev.Text() == "PAUSE") {
            if (t.segments.empty() || open != 0) {
                t.error = "closing marker outside a segment or over a sounding note";
                return t;
            }
            t.segments.back().closingDelta = ev.delta;
            t.segments.back().closed = true;
        } else if ((ev.status & 0xF0) == 0xC0) {
            t.program = ev.data.at(0);
        } else if (ev.IsNoteOn() || ev.IsNoteOff()) {
            if (t.segments.empty()) {
                t.error = "note outside a segment";
                return t;
            }
            t.segments.back().channel = ev.status & 0x0F;
            t.segments.back().notes += ev.IsNoteOn() ? 1 : 0;
            open += ev.IsNoteOn() ? 1 : -1;
            if (open < 0 || open > 1) {
                t.error = "notes overlap or end unopened";
                return t;
            }
        }
    }
    return t;
}

} // namespace qlor::test
