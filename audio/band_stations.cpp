#include "audio/band_stations.h"

#include "audio/portable_math.h"
#include "audio/tone_renderer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace qlor {
namespace {

constexpr const char* kPrefixes[] = {"DL", "OK", "SP", "UA", "G",  "F",  "I",  "EA", "W",  "K",  "OH", "LZ",
                                     "YU", "HA", "ON", "PA", "SM", "LA", "OE", "HB", "UR", "ES", "YL", "JA"};
constexpr const char* kNames[] = {"JOHN", "ANDY", "OLEG", "PETER", "JAN", "IVAN", "HANS", "TOM", "MIKE", "ALEX"};

// Appends to a fixed buffer, dropping what does not fit.
struct Writer {
    char* out;
    size_t capacity;
    size_t length = 0;
    void Add(std::string_view text) {
        for (char c : text) {
            if (length < capacity) {
                out[length++] = c;
            }
        }
    }
    void Add(char c) { Add(std::string_view(&c, 1)); }
    void Number(int value) {
        char digits[12];
        size_t n = 0;
        do {
            digits[n++] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value > 0 && n < sizeof(digits));
        while (n > 0) {
            Add(digits[--n]);
        }
    }
};

void MakeCall(BandRandom& random, char* out, size_t& length, size_t capacity) {
    Writer w{out, capacity};
    w.Add(kPrefixes[random.Next() % std::size(kPrefixes)]);
    w.Add(static_cast<char>('0' + random.Int(0, 9)));
    const int letters = random.Int(1, 3);
    for (int i = 0; i < letters; ++i) {
        w.Add(static_cast<char>('A' + random.Int(0, 25)));
    }
    length = w.length;
}

} // namespace

QrmStations::QrmStations(int count, bool close, const BandSignal& signal)
    : close_(close), signal_(signal), places_(static_cast<size_t>(std::clamp(count, 0, kMaxBandStations))) {
    const auto edgeFrames = static_cast<size_t>(std::max(1.0, std::round(kToneEdgeMs * 1e-3 * signal.rate)));
    edge_.resize(edgeFrames + 1);
    for (size_t k = 0; k <= edgeFrames; ++k) {
        edge_[k] =
            0.5 - 0.5 * portable::Cos(std::numbers::pi * static_cast<double>(k) / static_cast<double>(edgeFrames));
    }
}

void QrmStations::Restart(uint64_t seed) {
    for (size_t i = 0; i < places_.size(); ++i) {
        Place& p = places_[i];
        p.random.Seed(seed, 10 + i);
        p.active = false;
        p.keyDown = false;
        p.ramp = 0;
        // The first stations come within a few seconds; some are on the air from the start.
        p.left = p.random.Chance(0.5) ? 1 : static_cast<uint64_t>(p.random.Between(0.2, 6.0) * signal_.rate);
    }
}

int QrmStations::Active() const {
    return static_cast<int>(std::count_if(places_.begin(), places_.end(), [](const Place& p) { return p.active; }));
}

void QrmStations::Arrive(Place& p) {
    BandRandom& r = p.random;
    double offset = r.Between(50.0, close_ ? 300.0 : 800.0);
    if (r.Chance(0.5) && signal_.toneHz - offset > 150.0) {
        offset = -offset;
    }
    const double pitch = std::min(signal_.toneHz + offset, 0.45 * signal_.rate);
    const double omega = 2.0 * std::numbers::pi * pitch / signal_.rate;
    p.stepC = portable::Cos(omega);
    p.stepS = portable::Sin(omega);
    p.c = 1;
    p.s = 0;
    const double speed = signal_.speedCpm * r.Between(0.6, 1.3); // [cpm]
    p.unitFrames = 6.0 * signal_.rate / speed;
    p.fist = r.Between(0.03, 0.12);
    const double db = close_ ? r.Between(-15.0, 3.0) : r.Between(-20.0, -3.0);
    p.amplitude = signal_.amplitude * portable::DbToGain(db);
    p.fader = RayleighFader(r.Between(0.05, 0.3), static_cast<double>(signal_.rate) / kBandControlFrames);
    p.fader.Restart(r);
    p.gain = p.amplitude * std::sqrt(p.fader.NextPower(r));
    p.gainStep = 0;
    MakeCall(r, p.call.data(), p.callLength, p.call.size());
    p.messagesLeft = r.Int(1, 4);
    p.active = true;
    p.ramp = 0;
    Compose(p);
}

// One message of the station's traffic.
void QrmStations::Compose(Place& p) {
    BandRandom& r = p.random;
    Writer w{p.message.data(), p.message.size()};
    const std::string_view call(p.call.data(), p.callLength);
    std::array<char, 12> otherBuffer{};
    size_t otherLength = 0;
    MakeCall(r, otherBuffer.data(), otherLength, otherBuffer.size());
    const std::string_view other(otherBuffer.data(), otherLength);
    const int kind = r.Int(0, 4);
    if (close_) {
        switch (kind) {
        case 0:
            if (r.Chance(0.5)) {
                w.Add("CQ TEST "), w.Add(call), w.Add(' '), w.Add(call);
            } else {
                w.Add(call), w.Add(" TEST");
            }
            break;
        case 1:
            w.Add(call);
            break;
        case 2:
            w.Add(r.Chance(0.5) ? other : std::string_view("TU")), w.Add(" 5NN "), w.Number(r.Int(1, 1500));
            break;
        case 3:
            w.Add("QRL?");
            break;
        default:
            w.Add(r.Chance(0.5) ? "TU " : "R TU "), w.Add(call);
            break;
        }
    } else {
        switch (kind) {
        case 0:
            w.Add("CQ CQ CQ DE "), w.Add(call), w.Add(' '), w.Add(call), w.Add(" K");
            break;
        case 1:
            w.Add(other), w.Add(" DE "), w.Add(call), w.Add(' '), w.Add(call), w.Add(" K");
            break;
        case 2:
            w.Add(other), w.Add(" DE "), w.Add(call), w.Add(" UR RST 5"), w.Number(r.Int(3, 9)), w.Add("9 NAME ");
            w.Add(kNames[r.Next() % std::size(kNames)]), w.Add(" BK");
            break;
        case 3:
            w.Add(r.Chance(0.5) ? "QRL?" : "QRL? DE "), w.Add(r.Chance(0.5) ? call : std::string_view());
            break;
        default:
            w.Add("TU 73 DE "), w.Add(call), w.Add(" SK");
            break;
        }
    }
    p.length = w.length;
    p.next = 0;
    p.element = 0;
    p.pattern = {};
    p.inCharacter = false;
}

void QrmStations::Key(Place& p, bool down, double units) {
    const double hand = 1.0 + p.fist * p.random.Signed();
    p.left = std::max<uint64_t>(1, static_cast<uint64_t>(units * hand * p.unitFrames + 0.5));
    p.keyDown = down;
}

void QrmStations::NextElement(Place& p) {
    if (!p.active) {
        Arrive(p);
    }
    for (;;) {
        if (p.element < p.pattern.size()) {
            switch (p.pattern[p.element++]) {
            case 'D':
                return Key(p, true, 1);
            case 'T':
                return Key(p, true, 3);
            case 'P':
                return Key(p, false, 1);
            case 'Q':
                return Key(p, false, 3);
            case 'R':
                return Key(p, false, 7);
            default:
                continue;
            }
        }
        if (p.inCharacter) {
            p.inCharacter = false;
            return Key(p, false, 3); // between characters
        }
        if (p.next < p.length) {
            const char c = p.message[p.next++];
            if (c == ' ') {
                return Key(p, false, 4); // with the character gap before it, a word gap
            }
            const MorseTable::Pattern pattern = table_.CharPattern(static_cast<unsigned char>(c));
            if (pattern.found) {
                p.pattern = pattern.pattern;
                p.element = 0;
                p.inCharacter = true;
            }
            continue;
        }
        if (p.messagesLeft > 1) {
            --p.messagesLeft;
            Compose(p);
            p.keyDown = false;
            p.left = static_cast<uint64_t>(p.random.Between(0.8, 4.0) * signal_.rate); // awaiting the answer
            return;
        }
        // Gone; the place stays empty for a while.
        p.active = false;
        p.keyDown = false;
        p.left = static_cast<uint64_t>(p.random.Between(close_ ? 1.0 : 3.0, close_ ? 12.0 : 40.0) * signal_.rate);
        return;
    }
}

void QrmStations::Schedule() {
    for (Place& p : places_) {
        if (!p.active) {
            p.gainStep = 0;
            continue;
        }
        const double next = p.amplitude * std::sqrt(p.fader.NextPower(p.random));
        p.gainStep = (next - p.gain) / static_cast<double>(kBandControlFrames);
        const double f = 1.5 - 0.5 * (p.c * p.c + p.s * p.s);
        p.c *= f;
        p.s *= f;
    }
}

void QrmStations::Add(double* out, size_t frames) {
    const size_t top = edge_.size() - 1;
    const double* edge = edge_.data();
    for (Place& p : places_) {
        for (size_t i = 0; i < frames; ++i) {
            if (p.left == 0) {
                NextElement(p);
            }
            --p.left;
            if (p.keyDown) {
                p.ramp += p.ramp < top ? 1 : 0;
            } else if (p.ramp > 0) {
                --p.ramp;
            } else {
                p.gain += p.gainStep;
                continue; // silent
            }
            out[i] += p.gain * edge[p.ramp] * p.s;
            p.gain += p.gainStep;
            const double c = p.c * p.stepC - p.s * p.stepS;
            p.s = p.s * p.stepC + p.c * p.stepS;
            p.c = c;
        }
    }
}

} // namespace qlor
