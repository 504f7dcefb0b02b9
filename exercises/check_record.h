#pragma once
// One reception check as the history keeps it: what was sent and how, the copy, and its scores.
#include "exercises/check_alignment.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qlor {

// How often one sent character was heard as one character in a check. sent 0 marks an insertion
// (nothing sent, `heard` typed), heard 0 an omission (`sent` sent, nothing typed).
struct PairCount {
    unsigned char sent = 0;
    unsigned char heard = 0;
    int count = 0;
    bool operator==(const PairCount&) const = default;
};
// Sorted by (sent, heard), each pair once, no zero counts.
using CharTally = std::vector<PairCount>;

// The error rate of aligned figures: errors (heard wrong, left out and extra) per sent character,
// the spaces between groups included, as the aligned score counts them; 0 when nothing was sent.
// The one error rate of a check and of a set of checks.
inline double AlignedErrorRate(const AlignmentCounts& counts) {
    return counts.sentChars > 0 ? static_cast<double>(counts.Errors()) / counts.sentChars : 0.0;
}

struct CheckRecord {
    std::int64_t id = 0;      // row number in the history; 0 before it is recorded
    std::int64_t timeUtc = 0; // when the check was made [s since 1970-01-01 UTC]
    int textNumber = 0;       // 0000..9999
    int textType = 0;         // "Morse Text Type" 0..5
    bool ownText = false;     // "Text Type": the operator's own text was sent
    std::string speedDigits;  // the three speed digits as the panel shows them ("050")
    bool paris = false;       // "Paris system": the digits are PARIS, not characters per minute
    int speedCpm = 0;         // the sending speed the digits convert to [cpm]
    int groups = 0;           // group count as sent (0 shown means 50)
    int groupSize = 0;        // characters per group as sent (1..10)
    int pauseDelayDots = 0;   // "Pause Delay" [dot units]
    int noiseType = 0;        // "Morse Noise Type" 0..4
    std::string voice;        // the stored voice name ("auto", "soundfont", "tone")
    std::string sent;         // the sent text, cp1251 (UTF-8 in the database)
    std::string copy;         // the copy, cp1251 (UTF-8 in the database)
    int positionalErrors = 0; // the check list's "Всего ошибок" count
    AlignmentCounts aligned;  // the alignment-aware figures of the body
    CharTally tally;          // the aligned character pairs of the body

    double ErrorRate() const { return AlignedErrorRate(aligned); }
};

} // namespace qlor
