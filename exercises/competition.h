#pragma once
// The competition: an optional training text and texts at speeds rising in steps of 10, in one
// MIDI file with 60 seconds of silence after each, plus the protocol of what was sent.
#include "synthesis/midi_writer.h"
#include "synthesis/transmission_settings.h"

#include <string>
#include <vector>

namespace qlor {

inline constexpr int kCompetitionPauseSeconds = 60;

struct CompetitionParams {
    TransmissionSettings settings; // digits, text type, char in group, start/final speed
    bool trainText = true;         // TrainTextNeed
    bool cpm = true;               // OurSystem checked
    bool english = true;           // language position 0
    std::string dateTime;          // short date + " " + long time (cp1251)
    // Length in bytes of the symbol memo's text as the box holds it: the generator's
    // no-three-in-a-row rule reads it even though the competition draws from all symbols.
    std::size_t symbolMemoLength = 0;
};

struct CompetitionPlan {
    std::vector<std::string> protocol; // lines (cp1251)
    std::vector<SegmentText> segments; // in sending order
    std::string ProtocolText() const;  // each line followed by CR LF
};

CompetitionPlan PlanCompetition(const CompetitionParams& params);

// Number of competition texts: (final - start) / 10 + 1 truncated toward zero; 0 when that is
// not positive.
int CompetitionTextCount(int startSpeed, int finalSpeed);

} // namespace qlor
