#pragma once
// A small Standard MIDI File reader for the tests, written apart from the writer: it walks the
// one track event by event and splits it into segments at the tempo events.
#include <cstdint>
#include <string>
#include <vector>

namespace qlor::test {

struct SmfSegment {
    uint32_t tempo = 0;        // [us/quarter]
    int notes = 0;             // note-ons with a velocity above 0
    int channel = -1;          // channel of the note events
    uint64_t closingDelta = 0; // delta-time of the closing "PAUSE" text event [ticks]
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

inline SmfTrack ReadSmf(const std::vector<uint8_t>& bytes) {
    SmfTrack t;
    size_t pos = 0;
    auto need = [&](size_t n) { return pos + n <= bytes.size(); };
    auto u16 = [&] {
        uint32_t v = (bytes[pos] << 8) | bytes[pos + 1];
        pos += 2;
        return v;
    };
    auto u32 = [&] {
        uint32_t v = (uint32_t{bytes[pos]} << 24) | (bytes[pos + 1] << 16) | (bytes[pos + 2] << 8) | bytes[pos + 3];
        pos += 4;
        return v;
    };
    auto vlq = [&](uint64_t& out) {
        out = 0;
        for (int k = 0; k < 8; ++k) {
            if (!need(1)) {
                return false;
            }
            uint8_t b = bytes[pos++];
            out = (out << 7) | (b & 0x7F);
            if (!(b & 0x80)) {
                return true;
            }
        }
        return false;
    };
    if (!need(14) || std::string(bytes.begin(), bytes.begin() + 4) != "MThd") {
        t.error = "no header chunk";
        return t;
    }
    pos = 4;
    if (u32() != 6) {
        t.error = "header length";
        return t;
    }
    t.format = static_cast<int>(u16());
    if (u16() != 1) {
        t.error = "track count";
        return t;
    }
    t.division = static_cast<int>(u16());
    if (!need(8) || std::string(bytes.begin() + 14, bytes.begin() + 18) != "MTrk") {
        t.error = "no track chunk";
        return t;
    }
    pos = 18;
    const uint32_t length = u32();
    if (pos + length != bytes.size()) {
        t.error = "track length does not match the file";
        return t;
    }
    int status = 0;
    int open = 0; // notes sounding
    bool ended = false;
    while (pos < bytes.size() && !ended) {
        uint64_t delta = 0;
        if (!vlq(delta) || !need(1)) {
            t.error = "truncated delta-time";
            return t;
        }
        if (bytes[pos] & 0x80) {
            status = bytes[pos++];
        } else if (status == 0) {
            t.error = "data byte without a status";
            return t;
        }
        if (status == 0xFF) {
            if (!need(1)) {
                t.error = "truncated meta event";
                return t;
            }
            const int type = bytes[pos++];
            uint64_t len = 0;
            if (!vlq(len) || !need(len)) {
                t.error = "truncated meta event";
                return t;
            }
            std::string data(bytes.begin() + pos, bytes.begin() + pos + len);
            pos += len;
            status = 0; // a meta event ends running status
            if (type == 0x51) {
                if (len != 3) {
                    t.error = "tempo length";
                    return t;
                }
                SmfSegment seg;
                seg.tempo = (uint8_t(data[0]) << 16) | (uint8_t(data[1]) << 8) | uint8_t(data[2]);
                t.segments.push_back(seg);
            } else if (type == 0x02 && !t.segments.empty()) {
                t.segments.back().hasCopyright = true;
            } else if (type == 0x01 && data == "PAUSE") {
                if (t.segments.empty() || open != 0) {
                    t.error = "closing marker outside a segment or over a sounding note";
                    return t;
                }
                t.segments.back().closingDelta = delta;
                t.segments.back().closed = true;
            } else if (type == 0x2F) {
                ended = true;
            }
        } else if ((status & 0xF0) == 0xC0) {
            if (!need(1)) {
                t.error = "truncated program change";
                return t;
            }
            t.program = bytes[pos++];
        } else if ((status & 0xF0) == 0x90 || (status & 0xF0) == 0x80) {
            if (!need(2) || t.segments.empty()) {
                t.error = "note outside a segment";
                return t;
            }
            const uint8_t velocity = bytes[pos + 1];
            pos += 2;
            SmfSegment& seg = t.segments.back();
            seg.channel = status & 0x0F;
            if ((status & 0xF0) == 0x90 && velocity > 0) {
                ++seg.notes;
                ++open;
            } else {
                --open;
            }
            if (open < 0 || open > 1) {
                t.error = "notes overlap or end unopened";
                return t;
            }
        } else {
            t.error = "unexpected status";
            return t;
        }
    }
    if (!ended || pos != bytes.size()) {
        t.error = "no end of track at the end of the data";
    }
    return t;
}

} // namespace qlor::test
