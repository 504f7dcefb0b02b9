// Keying makes no thumps: a keyed text of either voice has next to no energy below 100 Hz (a DC
// offset in the SoundFont's cached notes would turn into low-frequency thumps at every element).
#include "audio/offline_render.h"
#include "audio/soundfont_bank.h"
#include "audio/welch_power.h"
#include "audio_test_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace qlor {
namespace {

TEST(VoiceThumps, EnergyBelow100HzIsSixtyDecibelsDown) {
    test::TempDir dir;
    const std::string midi = dir.File("t.mid");
    test::WriteBytes(midi, test::MorseMidi({"PARIS 12345 QLOR"}, {120}, 1));
    for (VoiceKind voice : {VoiceKind::Tone, VoiceKind::SoundFont}) {
        SoundFontBank bank(48000);
        if (voice == VoiceKind::SoundFont && !bank.Load().empty()) {
            continue; // no SoundFont here
        }
        RenderRequest request;
        request.midiPath = midi;
        request.voice = voice;
        WelchAccumulator welch(8192);
        const RenderSummary summary = RenderTransmission(
            request,
            [&](const float* stereo, size_t frames) {
                welch.Add(stereo, frames, 2);
                return true;
            },
            &bank);
        ASSERT_TRUE(summary.ok()) << summary.error;
        const std::vector<double> spectrum = welch.Spectrum();
        const double low = BandPower(spectrum, 48000, 0, 100);
        const double total = BandPower(spectrum, 48000, 0, 24000);
        const double db = 10 * std::log10(low / total);
        EXPECT_LT(db, -60.0) << VoiceName(voice);
        RecordProperty(std::string(VoiceName(voice)) + "_below_100_hz_db", std::to_string(db));
    }
}

} // namespace
} // namespace qlor
