#include "audio/smf_reader.h"

#include "base/safe_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace qlor {
namespace {

uint32_t BigEndian(std::span<const uint8_t> bytes, size_t at, int count) {
    uint32_t value = 0;
    for (int k = 0; k < count; ++k) {
        value = (value << 8) | bytes[at + k];
    }
    return value;
}

std::string Hex(unsigned value) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text = "0x";
    text += digits[(value >> 4) & 0xF];
    text += digits[value & 0xF];
    return text;
}

// Reads one track chunk's data into `events`. Returns an empty string, or the reason the file is
// refused. A chunk that ends in the middle of an event simply ends the track there.
class TrackParser {
public:
    TrackParser(std::span<const uint8_t> data, size_t fileOffset, int trackNumber, std::vector<SmfEvent>& events,
                uint64_t& endTick)
        : data_(data), fileOffset_(fileOffset), track_(trackNumber), events_(events), endTick_(endTick) {}

    std::string Parse() {
        uint64_t tick = 0;
        uint8_t running = 0;
        while (pos_ < data_.size()) {
            uint64_t delta = 0;
            Outcome got = ReadVarLen(delta);
            if (got != Outcome::Ok) {
                return got == Outcome::Bad ? error_ : std::string();
            }
            tick += delta;
            if (pos_ >= data_.size()) {
                return {};
            }
            uint8_t status = data_[pos_];
            if (status & 0x80) {
                ++pos_;
            } else if (running != 0) {
                status = running;
            } else {
                return Fail("a data byte without a status byte");
            }

            if (status < 0xF0) {
                running = status;
                const size_t count = ((status & 0xE0) == 0xC0) ? 1 : 2; // program change, channel pressure
                if (pos_ + count > data_.size()) {
                    return {};
                }
                for (size_t k = 0; k < count; ++k) {
                    if (data_[pos_ + k] & 0x80) {
                        pos_ += k;
                        return Fail("a status byte " + Hex(data_[pos_]) + " where a data byte belongs");
                    }
                }
                SmfEvent event;
                event.tick = tick;
                event.status = status;
                event.data1 = data_[pos_];
                event.data2 = count == 2 ? data_[pos_ + 1] : 0;
                pos_ += count;
                if (!Keep(event)) {
                    return error_;
                }
            } else if (status == 0xFF) {
                if (pos_ >= data_.size()) {
                    return {};
                }
                const uint8_t type = data_[pos_++];
                uint64_t length = 0;
                got = ReadDataLength(length);
                if (got != Outcome::Ok) {
                    return got == Outcome::Bad ? error_ : std::string();
                }
                if (type == 0x51 && length == 3) {
                    const uint32_t tempoUsPerQuarter = BigEndian(data_, pos_, 3);
                    if (tempoUsPerQuarter > 0) { // a zero tempo would stop time; it is ignored
                        SmfEvent event;
                        event.tick = tick;
                        event.status = 0xFF;
                        event.tempoUsPerQuarter = tempoUsPerQuarter;
                        if (!Keep(event)) {
                            return error_;
                        }
                    }
                }
                pos_ += length;
                endTick_ = std::max(endTick_, tick);
                if (type == 0x2F) { // end of track: whatever follows is not part of it
                    return {};
                }
            } else if (status == 0xF0 || status == 0xF7) {
                uint64_t length = 0;
                got = ReadDataLength(length);
                if (got != Outcome::Ok) {
                    return got == Outcome::Bad ? error_ : std::string();
                }
                pos_ += length;
                endTick_ = std::max(endTick_, tick);
            } else {
                --pos_;
                return Fail("the status byte " + Hex(status) + ", which a MIDI file cannot hold");
            }
        }
        return {};
    }

private:
    enum class Outcome { Ok, Truncated, Bad };

    Outcome ReadVarLen(uint64_t& value) {
        value = 0;
        for (int k = 0; k < 4; ++k) {
            if (pos_ >= data_.size()) {
                return Outcome::Truncated;
            }
            const uint8_t byte = data_[pos_++];
            value = (value << 7) | (byte & 0x7F);
            if (!(byte & 0x80)) {
                return Outcome::Ok;
            }
        }
        --pos_;
        Fail("a variable-length number longer than 4 bytes");
        return Outcome::Bad;
    }

    // The length of a meta or SysEx event's data; data running past the track's end is truncated.
    Outcome ReadDataLength(uint64_t& length) {
        const Outcome got = ReadVarLen(length);
        if (got == Outcome::Ok && length > data_.size() - pos_) {
            return Outcome::Truncated;
        }
        return got;
    }

    bool Keep(const SmfEvent& event) {
        if (events_.size() >= kMaxSmfEvents) {
            error_ = "The MIDI file holds too many events (more than " + std::to_string(kMaxSmfEvents) + ").";
            return false;
        }
        events_.push_back(event);
        endTick_ = std::max(endTick_, event.tick);
        return true;
    }

    std::string Fail(const std::string& what) {
        error_ = "The MIDI file is damaged: track " + std::to_string(track_) + " has " + what + " at byte " +
                 std::to_string(fileOffset_ + pos_) + ".";
        return error_;
    }

    std::span<const uint8_t> data_;
    size_t fileOffset_;
    int track_;
    std::vector<SmfEvent>& events_;
    uint64_t& endTick_;
    size_t pos_ = 0;
    std::string error_;
};

} // namespace

SmfResult ParseSmf(std::span<const uint8_t> bytes) {
    SmfResult result;
    auto fail = [&](std::string why) {
        result.error = std::move(why);
        result.song = SmfSong{};
        return result;
    };
    if (bytes.size() > kMaxSmfFileBytes) {
        return fail("The MIDI file is too large (more than " + std::to_string(kMaxSmfFileBytes >> 20) + " MB).");
    }
    if (bytes.empty()) {
        return fail("The MIDI file is empty.");
    }
    if (bytes.size() < 14 || std::memcmp(bytes.data(), "MThd", 4) != 0) {
        return fail("This is not a Standard MIDI File (it does not start with an \"MThd\" header).");
    }
    const uint32_t headerLength = BigEndian(bytes, 4, 4);
    if (headerLength < 6 || headerLength > bytes.size() - 8) {
        return fail("The MIDI file is damaged: its header chunk has a wrong length.");
    }
    SmfSong& song = result.song;
    song.format = static_cast<int>(BigEndian(bytes, 8, 2));
    if (song.format > 2) {
        return fail("The MIDI file has the unknown format " + std::to_string(song.format) + ".");
    }
    const uint32_t division = BigEndian(bytes, 12, 2);
    if (division & 0x8000) {
        const int framesPerSecond = -static_cast<int>(static_cast<int8_t>(division >> 8));
        const uint32_t ticksPerFrame = division & 0xFF;
        if (ticksPerFrame == 0 ||
            (framesPerSecond != 24 && framesPerSecond != 25 && framesPerSecond != 29 && framesPerSecond != 30)) {
            return fail("The MIDI file has an invalid SMPTE time base.");
        }
        // 29 means 30 drop-frame, 29.97 frames a second.
        song.smpteTickNumerator = framesPerSecond == 29 ? 100000000ull : 1000000ull;
        song.smpteTickDenominator =
            framesPerSecond == 29 ? 2997ull * ticksPerFrame : 1ull * framesPerSecond * ticksPerFrame;
    } else if (division == 0) {
        return fail("The MIDI file is damaged: its time base is zero.");
    } else {
        song.ticksPerQuarter = division;
    }

    size_t pos = 8 + headerLength;
    while (bytes.size() - pos >= 8) {
        const bool isTrack = std::memcmp(bytes.data() + pos, "MTrk", 4) == 0;
        const uint32_t length = BigEndian(bytes, pos + 4, 4);
        pos += 8;
        const size_t available = std::min<size_t>(length, bytes.size() - pos);
        if (isTrack) {
            ++song.trackCount;
            TrackParser parser(bytes.subspan(pos, available), pos, song.trackCount, song.events, song.endTick);
            std::string error = parser.Parse();
            if (!error.empty()) {
                return fail(std::move(error));
            }
        }
        pos += available;
    }
    if (song.trackCount == 0) {
        return fail("The MIDI file holds no track.");
    }
    // Each track is in time order already; a stable sort merges them, keeping track order for
    // events at the same tick (so a tempo change in track 1 precedes notes of later tracks).
    std::stable_sort(song.events.begin(), song.events.end(),
                     [](const SmfEvent& a, const SmfEvent& b) { return a.tick < b.tick; });
    return result;
}

SmfResult ReadSmfFile(const std::string& path) {
    SmfResult result;
    // Non-blocking and regular files only: a FIFO or a device given as the MIDI file never hangs.
    const FileBytes file = ReadRegularFile(path, kMaxSmfFileBytes);
    if (!file.ok()) {
        result.error = file.status == ReadStatus::TooLarge
                           ? "\"" + path + "\": the MIDI file is too large."
                           : "Cannot open the MIDI file \"" + path +
                                 "\": " + file.error.substr(file.error.rfind("\": ") + 3) + ".";
        return result;
    }
    result = ParseSmf(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(file.bytes.data()), file.bytes.size()));
    if (!result.ok()) {
        result.error = "\"" + path + "\": " + result.error;
    }
    return result;
}

} // namespace qlor
