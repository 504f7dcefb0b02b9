#pragma once
// Instant character recognition: one character at a time, answered at once. The picker draws the
// next character from a set by weights that grow when a character is missed or answered slowly
// and decay back as it is answered quickly, so weak characters come back more often (spaced
// repetition). Integer weights and an integer generator: the same seed and answers give the same
// characters on every machine. The reaction times are measured by the caller (from the audio
// position) and passed in [ms].
#include "exercises/course_state.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qlor {

inline constexpr int kRecognitionBaseWeight = 1000; // weight of a character answered well
inline constexpr int kRecognitionMaxWeight = 16000; // weight never grows beyond this
inline constexpr int kRecognitionSlowMs = 1000;     // an answer slower than this is slow [ms]

class RecognitionPicker {
public:
    // `characters`: the set (cp1251; upper-cased, each character once, white space dropped).
    RecognitionPicker(std::string_view characters, std::uint64_t seed, int slowReactionMs = kRecognitionSlowMs);

    const std::string& Characters() const { return characters_; }
    // The next character, drawn by the weights; 0 when the set is empty.
    unsigned char Next();
    // The learner's answer to `shown`: a miss doubles its weight, a slow right answer adds half,
    // a quick right answer halves what it has above the base weight. Every other character's
    // weight above the base decays by an eighth. Characters outside the set are ignored.
    void Answer(const RecognitionAnswer& answer);
    // The weight of a character of the set; 0 for any other.
    int Weight(unsigned char c) const;

private:
    std::uint64_t NextRandom();

    std::string characters_;
    std::vector<int> weights_; // one per character of characters_
    std::uint64_t state_;
    int slowReactionMs_;
};

struct RecognitionCharSummary {
    unsigned char ch = 0;
    int shown = 0;
    int correct = 0;
    int medianReactionMs = -1; // over the measured answers of this character; -1 when none [ms]
    double Accuracy() const { return shown > 0 ? static_cast<double>(correct) / shown : 0.0; }
};

struct RecognitionSummary {
    int shown = 0;
    int correct = 0;
    int medianReactionMs = -1;                 // over every measured answer [ms]
    std::vector<RecognitionCharSummary> chars; // every character shown, in code order
    double Accuracy() const { return shown > 0 ? static_cast<double>(correct) / shown : 0.0; }
};

// Accuracy and median reaction per character. The median of an even count is the mean of the
// middle two, rounded down.
RecognitionSummary SummariseRecognition(std::span<const RecognitionAnswer> answers);

} // namespace qlor
