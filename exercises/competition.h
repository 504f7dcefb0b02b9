#pragma once
// The competition: an optional training text and texts at speeds rising in steps of 10, in one
// MIDI file with 60 seconds of silence after each, plus the protocol of what was sent.
#include "synthesis/midi_writer.h"
#include "synthesis/transmission_settings.h"

#include <string>
#include <string_view>
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

// A text read back from a protocol: each text is announced by a line "TRAIN <speed>" or
// "<marker><speed>", then a line "vvv=", then its body on one line.
struct ProtocolText {
    int speed = 0;         // the announced speed: the sending speed of a training text, else nominal
    bool training = false; // "TRAIN <speed>"
    std::string body;      // the body line as written (cp1251), empty when the protocol ends before it
};

struct ProtocolReading {
    std::vector<ProtocolText> texts; // in sending order
    std::string error;               // empty when the protocol could be read (it may hold no text)
};

// Reads the texts of a protocol (cp1251; lines end with CR LF or LF). A "vvv=" line whose line
// before does not end in a speed is an error naming its line.
ProtocolReading ReadProtocolTexts(std::string_view protocol);

// Number of competition texts: (final - start) / 10 + 1 truncated toward zero; 0 when that is
// not positive.
int CompetitionTextCount(int startSpeed, int finalSpeed);

} // namespace qlor
