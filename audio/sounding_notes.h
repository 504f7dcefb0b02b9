#pragma once
// The notes that sound in a block of a song, for a renderer whose notes each cover a fixed span
// of frames [start, end) and are kept in start order. The set has a fixed capacity and never
// allocates, so it runs on the audio thread; notes beyond the capacity are dropped.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace qlor {

template <typename Note, size_t Capacity> class SoundingNotes {
public:
    static constexpr size_t kCapacity = Capacity; // notes sounding at once

    // Forgets what sounds: the next block starts with the first note that starts at or after
    // `frame` (a note already begun before it is not picked up again).
    void Restart(const std::vector<Note>& notes, uint64_t frame) {
        count_ = 0;
        next_ =
            static_cast<size_t>(std::lower_bound(notes.begin(), notes.end(), frame,
                                                 [](const Note& note, uint64_t at) { return note.startFrame < at; }) -
                                notes.begin());
    }

    // Calls mix(note, first, last) for the frames [first, last) of every note that sounds in the
    // block [start, start + frames), and lets the notes that end in it go.
    template <typename Mix> void Render(const std::vector<Note>& notes, uint64_t start, size_t frames, Mix mix) {
        const uint64_t end = start + frames;
        while (next_ < notes.size() && notes[next_].startFrame < end) {
            if (count_ < Capacity) {
                sounding_[count_++] = static_cast<uint32_t>(next_);
            }
            ++next_;
        }
        for (size_t i = 0; i < count_;) {
            const Note& note = notes[sounding_[i]];
            const uint64_t first = std::max(note.startFrame, start);
            const uint64_t last = std::min(note.endFrame, end);
            if (first < last) {
                mix(note, first, last);
            }
            if (note.endFrame <= end) {
                sounding_[i] = sounding_[--count_];
            } else {
                ++i;
            }
        }
    }

private:
    size_t next_ = 0;
    std::array<uint32_t, Capacity> sounding_{};
    size_t count_ = 0;
};

} // namespace qlor
