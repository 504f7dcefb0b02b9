#pragma once
// QRM: other telegraph stations generated as the band runs. Each of a fixed number of places on
// the band is taken by a station for a while and then left empty: a station arrives at its own
// pitch (50..800 Hz from the tone, or 50..300 Hz in a crowded contest), speed (0.6..1.3 times the
// wanted signal's), strength, Rayleigh fading and fist (every element and gap a little longer or
// shorter), sends one to four messages of varied traffic — CQ, calls, exchanges, "QRL?", closing
// words — and leaves; after a silence another one comes. Messages are keyed from the code
// table's element patterns with the pure tone's 5 ms raised-cosine edges. Nothing repeats: every
// choice is drawn as the band runs, and nothing allocates once the stations are made.
#include "audio/band_fading.h"
#include "audio/band_random.h"
#include "audio/band_settings.h"
#include "synthesis/morse_table.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace qlor {

class QrmStations {
public:
    QrmStations(int count, bool close, const BandSignal& signal);
    void Restart(uint64_t seed);
    // At the start of each control period.
    void Schedule();
    // Adds `frames` samples (within one control period) to `out`.
    void Add(double* out, size_t frames);
    int Count() const { return static_cast<int>(places_.size()); }
    // Stations sending now (for tests and the command line).
    int Active() const;

private:
    static constexpr size_t kMessageChars = 80;
    struct Place {
        BandRandom random;
        bool active = false;
        uint64_t left = 0; // frames of the current element, gap or silence
        bool keyDown = false;
        size_t ramp = 0; // position on the edge table
        // The station now there.
        double amplitude = 0;
        RayleighFader fader;
        double gain = 0, gainStep = 0; // faded amplitude, moved linearly over a control period
        double c = 1, s = 0, stepC = 1, stepS = 0;
        double unitFrames = 1; // dot [frames]
        double fist = 0;       // timing spread
        std::array<char, 12> call{};
        size_t callLength = 0;
        int messagesLeft = 0;
        std::array<char, kMessageChars> message{};
        size_t length = 0;
        size_t next = 0; // next character of the message
        std::string_view pattern;
        size_t element = 0; // next element of `pattern`
        bool inCharacter = false;
    };
    void Arrive(Place& p);
    void Compose(Place& p);
    void NextElement(Place& p);
    void Key(Place& p, bool down, double units);

    bool close_;
    BandSignal signal_;
    const MorseTable table_;
    std::vector<double> edge_; // raised-cosine rise over kToneEdgeMs
    std::vector<Place> places_;
};

} // namespace qlor
