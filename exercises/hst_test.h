#pragma once
// The high-speed receiving test of the trainer: one-minute texts of five-character groups at
// speeds rising in steps of 10 cpm, each followed by the competition's minute of silence, judged
// as a high-speed test is judged, and the result sheet that tells the operator how it went.
#include "control/program_texts.h"
#include "exercises/hst_judge.h"
#include "synthesis/midi_writer.h"

#include <string>
#include <vector>

namespace qlor {

struct HstTestParams {
    int textType = 0;        // "Morse Text Type": 0 letters, 2 figures, 5 mixed
    int startSpeedCpm = 200; // the first text [cpm]
    int steps = 3;           // texts, each kHstSpeedStepCpm faster than the one before
    int number = 0;          // text number 0000..9999: the texts follow from it as the competition's do
};

struct HstTestPlan {
    std::vector<SegmentText> segments; // in sending order, each "<marker><speed> vvv=" body "*"
    std::vector<HstSentText> sent;     // the bodies as the judge reads them, with their speeds
};

// The texts of a test: the competition's texts (no training text, characters per minute) from the
// start speed over `steps` speeds; the same parameters give the same texts.
HstTestPlan PlanHstTest(const HstTestParams& params);

// The result sheet (UTF-8, lines ending with CR LF) in the language of `texts`: title, the start and the test's
// settings, then per text its speed, errors and validity with the sent text and the copy, and the
// best speed.
std::string HstSheetText(const HstTestParams& params, const HstTestPlan& plan, const std::vector<std::string>& copies,
                         const HstResult& result, const std::string& dateTimeUtf8, const ProgramTextTable& texts);

// The name of a text type of the test in the language of `texts` ("Letters", "Figures", "Mixed").
std::string_view HstTextTypeName(int textType, const ProgramTextTable& texts);

} // namespace qlor
