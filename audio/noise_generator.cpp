#include "audio/noise_generator.h"

#include "audio/offline_render.h"
#include "audio/portable_math.h"
#include "base/safe_file.h"
#include "synthesis/audio_formats.h"
#include "synthesis/morse_table.h"

#include <sndfile.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <new>

namespace qlor {
namespace {

using portable::Cos;
using portable::DbToGain;
using portable::Exp;
using portable::Sin;

constexpr double kPi = std::numbers::pi;
constexpr size_t kBlockFrames = 1024;   // generation block [frames]
constexpr double kWarmUpSeconds = 0.5;  // filter run-in over the loop's end before its start [s]
constexpr double kKeyEdgeMs = 5.0;      // rise and fall of a keyed element [ms]
constexpr int kLowPassOrder = 14;       // receiver filter: Butterworth low-pass at kReceiverHighHz
constexpr int kHighPassOrder = 10;      // and high-pass at kReceiverLowHz
constexpr size_t kSineTableSize = 4096; // one period, plus a guard entry

// ---- Random numbers ----

// Sequential draws for the layout (PCG32).
class Pcg32 {
public:
    explicit Pcg32(uint64_t seed) {
        Next();
        state_ += seed;
        Next();
    }
    uint32_t Next() {
        const uint64_t old = state_;
        state_ = old * 6364136223846793005ull + 1442695040888963407ull;
        const auto xorshifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
        const auto rot = static_cast<uint32_t>(old >> 59u);
        return (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
    }
    double Uniform() { return Next() * (1.0 / 4294967296.0); } // [0, 1)
    double Between(double low, double high) { return low + (high - low) * Uniform(); }
    int Int(int low, int high) { return low + static_cast<int>(Next() % static_cast<uint32_t>(high - low + 1)); }

private:
    uint64_t state_ = 0;
};

// Random access white noise: sample k of stream s is a hash of (seed, s, k), so any stretch of
// the loop can be made again without replaying the ones before it (SplitMix64 finaliser).
double White(uint64_t key, uint64_t frame) {
    uint64_t z = key + frame * 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(static_cast<int64_t>(z)) * (1.0 / 9223372036854775808.0); // [-1, 1)
}

uint64_t StreamKey(uint64_t seed, uint64_t stream) {
    return (seed + 1) * 0xD1B54A32D192ED03ull + stream * 0x8CB92BA72F3D8DD7ull;
}

// ---- Periodic tones ----

struct SineTable {
    std::array<double, kSineTableSize + 1> values{};
    SineTable() {
        for (size_t i = 0; i <= kSineTableSize; ++i) {
            values[i] = Sin(2.0 * kPi * static_cast<double>(i) / kSineTableSize);
        }
    }
    // sin(2 pi cycles) for cycles in [0, 1).
    double At(double cycles) const {
        const double position = cycles * kSineTableSize;
        const double index = std::floor(position);
        const auto i = static_cast<size_t>(index) & (kSineTableSize - 1);
        const double fraction = position - index;
        return values[i] + fraction * (values[i + 1] - values[i]);
    }
};

const SineTable& Table() {
    static const SineTable table;
    return table;
}

// Phase of a tone with `cycles` whole periods in a loop of `length` frames, frame by frame, in
// exact integers: the loop's last frame leads into its first.
class LoopPhase {
public:
    LoopPhase(uint64_t cycles, uint64_t frame, uint64_t length)
        : step_(cycles % length), length_(length), index_((step_ * (frame % length)) % length) {}
    double Cycles() const { return static_cast<double>(index_) / static_cast<double>(length_); } // [0, 1)
    void Advance() {
        index_ += step_;
        if (index_ >= length_) {
            index_ -= length_;
        }
    }

private:
    uint64_t step_;
    uint64_t length_;
    uint64_t index_;
};

// Wraps a phase into [0, 1).
double Wrap(double cycles) {
    return cycles - std::floor(cycles);
}

// ---- Receiver filter ----

struct Biquad {
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    double s1 = 0, s2 = 0;
    double Step(double x) {
        const double y = b0 * x + s1;
        s1 = b1 * x - a1 * y + s2;
        s2 = b2 * x - a2 * y;
        return y;
    }
};

// Butterworth sections by the bilinear transform.
void AddButterworth(std::vector<Biquad>& sections, int order, double cornerHz, int rate, bool highPass) {
    const double w = kPi * cornerHz / rate;
    const double k = Sin(w) / Cos(w);
    for (int i = 0; i < order / 2; ++i) {
        const double q = 1.0 / (2.0 * Sin(kPi * (2 * i + 1) / (2.0 * order)));
        const double norm = 1.0 / (1.0 + k / q + k * k);
        Biquad b;
        if (highPass) {
            b.b0 = norm;
            b.b1 = -2.0 * norm;
            b.b2 = norm;
        } else {
            b.b0 = k * k * norm;
            b.b1 = 2.0 * b.b0;
            b.b2 = b.b0;
        }
        b.a1 = 2.0 * (k * k - 1.0) * norm;
        b.a2 = (1.0 - k / q + k * k) * norm;
        sections.push_back(b);
    }
}

// ---- Layout of a loop ----

// A noise burst: in-band noise of `amplitude` (RMS) rising with `attack` and decaying with `decay`
// (time constants [frames]); it lasts `length` frames from `start` (a wrapped burst has a copy
// that starts before 0).
struct Burst {
    double start = 0;
    double length = 0;
    double amplitude = 0;
    double attack = 1;
    double decay = 1;
    uint64_t key = 0; // noise stream
};

// One keyed element of a station, from `on` to `off` [frames] (edges centred there).
struct Key {
    double on = 0;
    double off = 0;
    int station = 0;
};

struct StationTone {
    uint64_t cycles = 0;       // periods of its pitch in one loop
    double amplitude = 0;      // key-down peak
    double fadingDb = 0;       // [dB]
    uint64_t fadingCycles = 1; // fading periods in one loop
    double fadingPhase = 0;    // [cycles]
};

struct Whistle {
    double amplitude = 0;
    uint64_t cycles = 0;         // periods of its centre pitch in one loop
    uint64_t driftCycles = 1;    // periods of the drift in one loop
    double driftPhaseCycles = 0; // peak phase excursion of the drift [cycles]
};

const char* const kCalls[] = {"DL", "OK", "SP", "UA", "G", "F", "I", "EA", "W", "K", "OH", "LZ", "YU", "HA", "ON"};

std::string CallSign(Pcg32& random) {
    std::string call = kCalls[random.Next() % (sizeof(kCalls) / sizeof(kCalls[0]))];
    call += static_cast<char>('0' + random.Int(1, 9));
    const int letters = random.Int(1, 3);
    for (int i = 0; i < letters; ++i) {
        call += static_cast<char>('A' + random.Int(0, 25));
    }
    return call;
}

std::string StationText(Pcg32& random) {
    const std::string own = CallSign(random);
    const std::string other = CallSign(random);
    switch (random.Int(0, 3)) {
    case 0:
        return "CQ CQ CQ DE " + own + " " + own + " " + own + " K";
    case 1:
        return other + " DE " + own + " UR RST 599 599 BK";
    case 2:
        return "TEST " + own + " " + own + " TEST";
    default:
        return other + " " + own + " 5NN " + std::to_string(random.Int(1, 40)) + " TU";
    }
}

} // namespace

const char* NoiseKindName(NoiseKind kind) {
    switch (kind) {
    case NoiseKind::Hiss:
        return "hiss";
    case NoiseKind::Static:
        return "static";
    case NoiseKind::Qrm:
        return "qrm";
    case NoiseKind::Mix:
        return "mix";
    }
    return "hiss";
}

bool ParseNoiseKind(const std::string& name, NoiseKind& kind) {
    for (NoiseKind k : {NoiseKind::Hiss, NoiseKind::Static, NoiseKind::Qrm, NoiseKind::Mix}) {
        if (name == NoiseKindName(k)) {
            kind = k;
            return true;
        }
    }
    return false;
}

struct NoiseGenerator::State {
    NoiseRecipe recipe;
    uint64_t length = 0; // [frames]
    NoisePlan plan;
    double whiteScale = 1; // white noise of this amplitude has unit RMS behind the filter
    double hissRms = 0;
    uint64_t hissKey = 0;
    std::vector<Burst> bursts; // by start
    double longestBurst = 0;   // [frames]
    std::vector<Key> keys;     // by on
    double longestKey = 0;     // [frames]
    double halfEdge = 0;       // [frames]
    std::vector<StationTone> tones;
    Whistle whistle;
    std::vector<Biquad> filter;
    uint64_t position = 0;      // next frame to render
    uint64_t madeBlock = ~0ull; // first frame of the block in `block`
    std::vector<double> block = std::vector<double>(kBlockFrames);

    explicit State(const NoiseRecipe& r);
    void LayOutHiss(double rms);
    void LayOutCrackle(Pcg32& random, double perSecond, double smallest, double largest);
    void LayOutCrashes(Pcg32& random, double meanGapSeconds, double lowest, double highest);
    void LayOutStations(Pcg32& random, int count, double lowestDb, double highestDb);
    void LayOutWhistle(Pcg32& random);
    void AddBurst(const Burst& burst);
    void AddKey(Key key);
    void Finish();

    // Frames [k0, k0 + count) before the receiver filter (count <= kBlockFrames, no wrap).
    void Dry(uint64_t k0, size_t count, double* out) const;
    void Filtered(uint64_t k0, size_t count, double* out);
};

NoiseGenerator::State::State(const NoiseRecipe& r) : recipe(r) {
    length = static_cast<uint64_t>(r.rate) * static_cast<uint64_t>(r.seconds);
    halfEdge = kKeyEdgeMs * 0.5e-3 * r.rate;
    AddButterworth(filter, kHighPassOrder, kReceiverLowHz, r.rate, true);
    AddButterworth(filter, kLowPassOrder, kReceiverHighHz, r.rate, false);
    // Power gain of the filter for white noise: the energy of its impulse response.
    std::vector<Biquad> probe = filter;
    double energy = 0;
    for (int n = 0; n < r.rate; ++n) { // 1 s: far longer than the filter rings
        double y = n == 0 ? 1.0 : 0.0;
        for (Biquad& b : probe) {
            y = b.Step(y);
        }
        energy += y * y;
    }
    whiteScale = std::sqrt(3.0 / energy); // uniform white noise in [-1, 1) has power 1/3

    Pcg32 random(r.seed * 4 + static_cast<uint64_t>(r.kind));
    hissKey = StreamKey(r.seed, 1);
    switch (r.kind) {
    case NoiseKind::Hiss:
        LayOutHiss(0.1);
        break;
    case NoiseKind::Static:
        LayOutHiss(0.012);
        LayOutCrackle(random, 25.0, 0.02, 0.25);
        LayOutCrashes(random, 5.0, 0.06, 0.18);
        break;
    case NoiseKind::Qrm:
        LayOutHiss(0.006);
        LayOutStations(random, random.Int(2, 4), -22.0, -8.0);
        break;
    case NoiseKind::Mix:
        LayOutHiss(0.06);
        LayOutCrackle(random, 2.0, 0.02, 0.1);
        LayOutCrashes(random, 12.0, 0.05, 0.12);
        LayOutStations(random, random.Int(1, 2), -34.0, -28.0);
        LayOutWhistle(random);
        break;
    }
    Finish();
}

void NoiseGenerator::State::LayOutHiss(double rms) {
    hissRms = rms;
}

void NoiseGenerator::State::AddBurst(const Burst& burst) {
    bursts.push_back(burst);
    if (burst.start + burst.length > static_cast<double>(length)) {
        Burst wrapped = burst;
        wrapped.start -= static_cast<double>(length);
        bursts.push_back(wrapped);
    }
    longestBurst = std::max(longestBurst, burst.length);
}

// Short clicks: heavy-tailed strengths, decays of a few tenths of a millisecond to 2.5 ms.
void NoiseGenerator::State::LayOutCrackle(Pcg32& random, double perSecond, double smallest, double largest) {
    const auto count = static_cast<uint64_t>(perSecond * recipe.seconds);
    const double rate = recipe.rate;
    for (uint64_t i = 0; i < count; ++i) {
        Burst b;
        b.start = random.Between(0, static_cast<double>(length));
        const double u = random.Between(0.02, 1.0);
        b.amplitude = std::min(largest, smallest / (u * std::sqrt(u))); // Pareto-like tail
        b.attack = 0.05e-3 * rate;
        b.decay = random.Between(0.3e-3, 2.5e-3) * rate;
        b.length = 8 * b.decay;
        b.key = StreamKey(recipe.seed, 100 + i);
        AddBurst(b);
    }
}

// Crashes: a body rising in milliseconds and dying away over a few tenths of a second, with a
// cluster of sharp clicks at its front.
void NoiseGenerator::State::LayOutCrashes(Pcg32& random, double meanGapSeconds, double lowest, double highest) {
    const int count = std::max(1, static_cast<int>(recipe.seconds / meanGapSeconds + 0.5));
    plan.crashes = count;
    const double rate = recipe.rate;
    const double slot = static_cast<double>(length) / count;
    for (int i = 0; i < count; ++i) {
        Burst body;
        body.start = slot * (i + random.Between(0.1, 0.9));
        body.amplitude = random.Between(lowest, highest);
        body.attack = random.Between(2e-3, 8e-3) * rate;
        body.decay = random.Between(60e-3, 350e-3) * rate;
        body.length = 7 * body.decay;
        body.key = StreamKey(recipe.seed, 1000000 + 20 * static_cast<uint64_t>(i));
        AddBurst(body);
        const int clicks = random.Int(3, 8);
        for (int c = 0; c < clicks; ++c) {
            Burst click;
            click.start = body.start + random.Between(0, 80e-3) * rate;
            if (click.start >= static_cast<double>(length)) {
                click.start -= static_cast<double>(length);
            }
            click.amplitude = random.Between(1.0, 2.5) * body.amplitude;
            click.attack = 0.1e-3 * rate;
            click.decay = random.Between(0.5e-3, 3e-3) * rate;
            click.length = 8 * click.decay;
            click.key = body.key + 1 + static_cast<uint64_t>(c);
            AddBurst(click);
        }
    }
}

void NoiseGenerator::State::AddKey(Key key) {
    const auto n = static_cast<double>(length);
    if (key.on >= n) {
        key.on -= n;
        key.off -= n;
    }
    keys.push_back(key);
    if (key.off + halfEdge > n) {
        keys.push_back(Key{key.on - n, key.off - n, key.station});
    }
    longestKey = std::max(longestKey, key.off - key.on + 2 * halfEdge);
}

void NoiseGenerator::State::LayOutStations(Pcg32& random, int count, double lowestDb, double highestDb) {
    const MorseTable table;
    const auto n = static_cast<double>(length);
    const double loopSeconds = recipe.seconds;
    for (int s = 0; s < count; ++s) {
        InterferingStation station;
        // Pitch: 50..800 Hz from the default tone, inside the filter, at least 60 Hz from the others.
        for (int attempt = 0; attempt < 100; ++attempt) {
            const double offset = random.Between(50.0, 800.0);
            double pitch = kDefaultToneHz + ((random.Next() & 1) != 0 ? offset : -offset);
            if (pitch < kReceiverLowHz + 80) {
                pitch = kDefaultToneHz + offset;
            }
            // Whole periods in the loop, so the tone joins itself at the loop point.
            pitch = std::floor(pitch * loopSeconds + 0.5) / loopSeconds;
            const bool apart =
                std::all_of(plan.stations.begin(), plan.stations.end(),
                            [&](const InterferingStation& o) { return std::fabs(o.pitchHz - pitch) >= 60; });
            station.pitchHz = pitch;
            if (apart) {
                break;
            }
        }
        station.speedCpm = random.Int(60, 160);
        station.peakDb = random.Between(lowestDb, highestDb);
        station.fadingDb = random.Between(0.0, 10.0);
        station.text = StationText(random);

        StationTone tone;
        tone.cycles = static_cast<uint64_t>(std::floor(station.pitchHz * loopSeconds + 0.5));
        tone.amplitude = DbToGain(station.peakDb);
        tone.fadingDb = station.fadingDb;
        tone.fadingCycles = static_cast<uint64_t>(random.Int(1, 3));
        tone.fadingPhase = random.Uniform();
        tones.push_back(tone);

        // Keying: the text again and again, with a pause after each time, until the loop is full
        // (the last element ends a word gap before the first starts, however it wraps).
        const std::string elements = TextToElements(table, station.text).elements;
        const double unit = recipe.rate * 6.0 / station.speedCpm; // dot [frames]
        const double fist = random.Between(0.05, 0.15);           // timing spread of the sender
        const double first = random.Between(0, n);
        const double limit = first + n - 7 * unit;
        double at = first;
        bool full = false;
        while (!full) {
            for (char e : elements) {
                // A hand's timing: every element and gap a little longer or shorter.
                const double hand = 1.0 + fist * random.Between(-1.0, 1.0);
                const double keyed = hand * (e == 'D' ? unit : (e == 'T' ? 3 * unit : 0));
                const double gap = hand * (e == 'P' ? unit : (e == 'Q' ? 3 * unit : (e == 'R' ? 7 * unit : 0)));
                if (at + keyed + gap > limit) {
                    full = true;
                    break;
                }
                if (keyed > 0) {
                    AddKey(Key{at, at + keyed, s});
                }
                at += keyed + gap;
            }
            at += random.Between(1.5, 6.0) * recipe.rate; // pause before the text comes again
        }
        plan.stations.push_back(station);
    }
}

void NoiseGenerator::State::LayOutWhistle(Pcg32& random) {
    const double loopSeconds = recipe.seconds;
    const double centre = std::floor(random.Between(800.0, 1600.0) * loopSeconds + 0.5) / loopSeconds;
    const double drift = random.Between(30.0, 120.0);
    whistle.amplitude = random.Between(0.02, 0.04);
    whistle.cycles = static_cast<uint64_t>(centre * loopSeconds + 0.5);
    whistle.driftCycles = static_cast<uint64_t>(random.Int(1, 2));
    // f(t) = centre + drift sin(2 pi m t / T): the phase swings by drift T / (2 pi m) cycles.
    whistle.driftPhaseCycles = drift * loopSeconds / (2 * kPi * static_cast<double>(whistle.driftCycles));
    plan.whistleHz = centre;
    plan.whistleDriftHz = drift;
}

void NoiseGenerator::State::Finish() {
    std::sort(bursts.begin(), bursts.end(), [](const Burst& a, const Burst& b) { return a.start < b.start; });
    std::sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) { return a.on < b.on; });
    // Run the filter in over the loop's end, so its first output follows its last.
    const auto warmUp = std::min<uint64_t>(length, static_cast<uint64_t>(kWarmUpSeconds * recipe.rate));
    for (uint64_t k = length - warmUp; k < length;) {
        const auto count = static_cast<size_t>(std::min<uint64_t>(kBlockFrames, length - k));
        Filtered(k, count, block.data());
        k += count;
    }
}

void NoiseGenerator::State::Dry(uint64_t k0, size_t count, double* out) const {
    const double hissAmplitude = hissRms * whiteScale;
    for (size_t i = 0; i < count; ++i) {
        out[i] = hissAmplitude * White(hissKey, k0 + i);
    }
    const auto from = static_cast<double>(k0);
    const double to = from + static_cast<double>(count);

    // Bursts that overlap the block: env(t) = (1 - e^(-t/attack)) e^(-t/decay), stepped by ratios.
    auto burst = std::lower_bound(bursts.begin(), bursts.end(), from - longestBurst,
                                  [](const Burst& b, double at) { return b.start < at; });
    for (; burst != bursts.end() && burst->start < to; ++burst) {
        const double end = burst->start + burst->length;
        if (end <= from) {
            continue;
        }
        const double first = std::max(from, std::ceil(burst->start));
        const double last = std::min(to, end);
        const double t = first - burst->start;
        double rise = Exp(-t / burst->attack);
        double fall = Exp(-t / burst->decay);
        const double riseStep = Exp(-1.0 / burst->attack);
        const double fallStep = Exp(-1.0 / burst->decay);
        const double amplitude = burst->amplitude * whiteScale;
        for (double k = first; k < last; k += 1.0) {
            const auto frame = static_cast<uint64_t>(k);
            out[frame - k0] += amplitude * (1.0 - rise) * fall * White(burst->key, frame);
            rise *= riseStep;
            fall *= fallStep;
        }
    }

    // Keyed elements: raised-cosine edges centred on the key instants, fading gains interpolated
    // across the block.
    const SineTable& sine = Table();
    const double h = halfEdge;
    auto key = std::lower_bound(keys.begin(), keys.end(), from - longestKey,
                                [](const Key& k, double at) { return k.on < at; });
    for (; key != keys.end() && key->on - h < to; ++key) {
        if (key->off + h <= from) {
            continue;
        }
        const StationTone& tone = tones[static_cast<size_t>(key->station)];
        auto fadeGain = [&](uint64_t k) {
            const double phase = LoopPhase(tone.fadingCycles, k, length).Cycles() + tone.fadingPhase;
            const double c = sine.At(Wrap(phase + 0.25));
            return tone.amplitude * DbToGain(-tone.fadingDb * (0.5 - 0.5 * c));
        };
        const double g0 = fadeGain(k0);
        const double gStep = (fadeGain(k0 + count) - g0) / static_cast<double>(count);
        const double first = std::max(from, std::ceil(key->on - h));
        const double last = std::min(to, std::ceil(key->off + h));
        LoopPhase phase(tone.cycles, static_cast<uint64_t>(first), length);
        for (double k = first; k < last; k += 1.0) {
            double envelope = 1.0;
            if (k < key->on + h) {
                envelope = 0.5 - 0.5 * Cos(kPi * (k - (key->on - h)) / (2 * h));
            } else if (k > key->off - h) {
                envelope = 0.5 - 0.5 * Cos(kPi * ((key->off + h) - k) / (2 * h));
            }
            const size_t i = static_cast<size_t>(k) - k0;
            out[i] += (g0 + gStep * static_cast<double>(i)) * envelope * sine.At(phase.Cycles());
            phase.Advance();
        }
    }

    if (whistle.amplitude > 0) {
        // The drift changes slowly: its phase term is interpolated across the block.
        auto driftPhase = [&](uint64_t k) {
            const double c = sine.At(Wrap(LoopPhase(whistle.driftCycles, k, length).Cycles() + 0.25));
            return whistle.driftPhaseCycles * (1.0 - c);
        };
        const double d0 = driftPhase(k0);
        const double dStep = (driftPhase(k0 + count) - d0) / static_cast<double>(count);
        LoopPhase centre(whistle.cycles, k0, length);
        for (size_t i = 0; i < count; ++i) {
            const double phase = centre.Cycles() + d0 + dStep * static_cast<double>(i);
            out[i] += whistle.amplitude * sine.At(Wrap(phase));
            centre.Advance();
        }
    }
}

void NoiseGenerator::State::Filtered(uint64_t k0, size_t count, double* out) {
    Dry(k0, count, out);
    for (size_t i = 0; i < count; ++i) {
        double y = out[i];
        for (Biquad& b : filter) {
            y = b.Step(y);
        }
        out[i] = y;
    }
}

NoiseGenerator::NoiseGenerator(const NoiseRecipe& recipe) : state_(std::make_unique<State>(recipe)) {}

NoiseGenerator::~NoiseGenerator() = default;

uint64_t NoiseGenerator::LengthFrames() const {
    return state_->length;
}

const NoisePlan& NoiseGenerator::Plan() const {
    return state_->plan;
}

size_t NoiseGenerator::Render(int16_t* out, size_t frames) {
    // Made in whole blocks on a fixed grid, so the samples do not depend on how they are asked for.
    State& s = *state_;
    size_t done = 0;
    while (done < frames && s.position < s.length) {
        const uint64_t blockStart = s.position - s.position % kBlockFrames;
        if (s.madeBlock != blockStart) {
            s.Filtered(blockStart, static_cast<size_t>(std::min<uint64_t>(kBlockFrames, s.length - blockStart)),
                       s.block.data());
            s.madeBlock = blockStart;
        }
        const auto offset = static_cast<size_t>(s.position - blockStart);
        const auto count =
            static_cast<size_t>(std::min<uint64_t>({kBlockFrames - offset, frames - done, s.length - s.position}));
        for (size_t i = 0; i < count; ++i) {
            const double v = std::floor(s.block[offset + i] * 32767.0 + 0.5);
            out[done + i] = static_cast<int16_t>(std::clamp(v, -32768.0, 32767.0));
        }
        s.position += count;
        done += count;
    }
    return done;
}

std::string WriteNoiseFile(const NoiseRecipe& recipe, const std::string& outPath) {
    SF_INFO info{};
    info.samplerate = recipe.rate;
    info.channels = 1;
    const AudioFormat* format = AudioFormatOfPath(outPath);
    if (format == nullptr || !format->mono) {
        return "The output file \"" + outPath + "\" must end in .wav, .flac or .ogg.";
    }
    info.format = format->type == AudioFileType::Wav
                      ? SF_FORMAT_WAV | SF_FORMAT_PCM_16 // an hour of mono stays far below 4 GiB
                      : SndfileFormat(format->type);
    if (!sf_format_check(&info)) {
        return "This system cannot write \"" + outPath + "\" at " + std::to_string(recipe.rate) + " Hz.";
    }
    // Created exclusively, never through a link, and removed unless the whole file was written.
    PartFile part;
    if (std::string error = part.Create(outPath); !error.empty()) {
        return error;
    }
    SNDFILE* file = sf_open_fd(part.Descriptor(), SFM_WRITE, &info, SF_FALSE);
    if (file == nullptr) {
        return "Cannot create \"" + outPath + "\": " + sf_strerror(nullptr);
    }
    if ((info.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_FLAC) {
        // Fixed predictors only: the encoder's choices are then made in integers, so the bytes do
        // not depend on the processor's floating-point paths.
        double level = 0.0;
        sf_command(file, SFC_SET_COMPRESSION_LEVEL, &level, sizeof(level));
    }
    std::string error;
    try {
        NoiseGenerator generator(recipe);
        std::vector<int16_t> samples(16384);
        for (;;) {
            const size_t made = generator.Render(samples.data(), samples.size());
            if (made == 0) {
                break;
            }
            if (sf_write_short(file, samples.data(), static_cast<sf_count_t>(made)) != static_cast<sf_count_t>(made)) {
                error = "Writing \"" + outPath + "\" failed: " + sf_strerror(file);
                break;
            }
        }
    } catch (const std::bad_alloc&) {
        error = "There is not enough memory to generate \"" + outPath + "\".";
    }
    if (sf_close(file) != 0 && error.empty()) {
        error = "Writing \"" + outPath + "\" failed.";
    }
    if (error.empty()) {
        error = part.Commit();
    }
    return error;
}

} // namespace qlor
