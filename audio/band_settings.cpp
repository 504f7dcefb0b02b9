#include "audio/band_settings.h"

#include "audio/note_pitch.h"
#include "audio/sequencer.h"
#include "audio/tone_renderer.h"
#include "synthesis/sound_names.h"
#include "synthesis/transmission_settings.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace qlor {
namespace {

template <typename T, size_t N>
bool ParseName(const std::string& name, T& value, const T (&all)[N], const char* (*nameOf)(T)) {
    for (T candidate : all) {
        if (name == nameOf(candidate)) {
            value = candidate;
            return true;
        }
    }
    return false;
}

constexpr BandPreset kPresets[] = {BandPreset::Off, BandPreset::Quiet, BandPreset::Average, BandPreset::Contest,
                                   BandPreset::Poor};
constexpr QsbKind kQsbKinds[] = {QsbKind::Off, QsbKind::Slow, QsbKind::Fast, QsbKind::Flutter};
constexpr QrnKind kQrnKinds[] = {QrnKind::Off, QrnKind::Light, QrnKind::Heavy};

constexpr int kOwnMidiVelocity = 100; // the velocity of every note the program writes

} // namespace

// The presets' names are those the stored value "Band" takes, in the enumeration's order.
static_assert(std::size(kPresets) == kBandPresetNames.size());

const char* BandPresetName(BandPreset preset) {
    const auto i = static_cast<size_t>(preset);
    return (i < kBandPresetNames.size() ? kBandPresetNames[i] : kBandPresetNames[0]).data();
}

bool ParseBandPreset(const std::string& name, BandPreset& preset) {
    return ParseName(name, preset, kPresets, BandPresetName);
}

bool ParseBandPresetOn(const std::string& name, BandPreset& preset) {
    BandPreset parsed{};
    if (!ParseBandPreset(name, parsed) || parsed == BandPreset::Off) {
        return false;
    }
    preset = parsed;
    return true;
}

const char* QsbName(QsbKind kind) {
    switch (kind) {
    case QsbKind::Off:
        return "off";
    case QsbKind::Slow:
        return "slow";
    case QsbKind::Fast:
        return "fast";
    case QsbKind::Flutter:
        return "flutter";
    }
    return "off";
}

bool ParseQsbName(const std::string& name, QsbKind& kind) {
    return ParseName(name, kind, kQsbKinds, QsbName);
}

const char* QrnName(QrnKind kind) {
    switch (kind) {
    case QrnKind::Off:
        return "off";
    case QrnKind::Light:
        return "light";
    case QrnKind::Heavy:
        return "heavy";
    }
    return "off";
}

bool ParseQrnName(const std::string& name, QrnKind& kind) {
    return ParseName(name, kind, kQrnKinds, QrnName);
}

bool ParseFilterWidth(const std::string& name, int& widthHz) {
    for (int width : kBandFilterWidthsHz) {
        if (name == std::to_string(width)) {
            widthHz = width;
            return true;
        }
    }
    return false;
}

BandSettings PresetBand(BandPreset preset) {
    BandSettings band;
    switch (preset) {
    case BandPreset::Off:
        band.snrDb = kBandMaxSnrDb;
        break;
    case BandPreset::Quiet:
        band.snrDb = 20;
        break;
    case BandPreset::Average:
        band.snrDb = 12;
        band.qsb = QsbKind::Slow;
        band.qrn = QrnKind::Light;
        band.stations = 2;
        break;
    case BandPreset::Contest:
        band.snrDb = 15;
        band.qsb = QsbKind::Slow;
        band.stations = 8;
        band.closeStations = true;
        break;
    case BandPreset::Poor:
        band.snrDb = 8;
        band.qsb = QsbKind::Flutter;
        band.qrn = QrnKind::Heavy;
        band.stations = 1;
        break;
    }
    return band;
}

BandSignal BandSignalFor(const MidiTimeline& timeline) {
    BandSignal signal;
    signal.rate = timeline.rate;
    signal.toneHz = NoteHzPortable(kToneDefault);
    double shortest = 0; // [frames]
    bool first = true;
    for (const TimedEvent& event : timeline.events) {
        if ((event.status & 0xF0) != 0x90) {
            continue;
        }
        if (first) {
            signal.toneHz = NoteHzPortable(event.data1);
            signal.amplitude = kToneFullScale * event.data2 / 127.0;
            first = false;
        }
        if (event.partner != kNoPartner) {
            const double length = timeline.events[event.partner].exactFrame - event.exactFrame;
            if (length > 0 && (shortest == 0 || length < shortest)) {
                shortest = length;
            }
        }
    }
    if (shortest > 0) {
        // A dot lasts 6 s / cpm (a character is ten dots long on average).
        signal.speedCpm = std::clamp(6.0 * timeline.rate / shortest, 20.0, 400.0);
    }
    return signal;
}

BandSignal BandSignalForTone(int rate, int tone, double speedCpm) {
    BandSignal signal;
    signal.rate = rate;
    signal.toneHz = NoteHzPortable(tone);
    signal.speedCpm = std::clamp(speedCpm, 20.0, 400.0);
    signal.amplitude = kToneFullScale * kOwnMidiVelocity / 127.0;
    return signal;
}

} // namespace qlor
