#pragma once
// Instant character recognition: one character (or one short word) at a time, answered at once.
// The picker draws the next character or word from a set by weights that grow when a character is missed or answered
// slowly and decay back as it is answered quickly, so weak characters come back more often (spaced repetition). Integer
// weights and an integer generator: the same seed and answers give the same characters on every machine. The reaction
// times are measured by the caller (from the audio position) and passed in [ms].
#include "exercises/course_state.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qlor {

inline constexpr int kRecognitionBaseWeight = 1000; // weight of a character answered well
inline constexpr int kRecognitionMaxWeight = 16000; // weight never grows beyond this
inline constexpr int kRecognitionSlowMs = 1000;     // an answer slower than this is slow [ms]
// Silence after each word, in which it is typed and answered with Enter [s].
inline constexpr int kRecognitionWordAnswerSeconds = 10;
// Callsigns of a session: the first this many different ones of the set's characters drawn.
inline constexpr int kRecognitionMaxCallsigns = 50;
// Callsigns drawn to find them.
inline constexpr int kRecognitionCallsignsDrawn = 4000;

// "characters", "words", "callsigns"; nothing for any other name.
std::optional<RecognitionMode> RecognitionModeByName(std::string_view name);
std::string_view RecognitionModeName(RecognitionMode mode);

// The set as the picker keeps it: upper-cased (cp1251), each character once, white space dropped.
std::string RecognitionSet(std::string_view characters);

// The words a session of `mode` sends, made only of the set's characters: every telegraph word
// of them (Words), or the first different callsigns of them drawn for the seed's last four
// decimal digits as a text number (Callsigns). Nothing for Characters.
std::vector<std::string> RecognitionWords(RecognitionMode mode, std::string_view characters, std::uint64_t seed);

class RecognitionPicker {
public:
    // `characters`: the set (see RecognitionSet); each character is an item.
    RecognitionPicker(std::string_view characters, std::uint64_t seed, int slowReactionMs = kRecognitionSlowMs);
    // Words as items, each once (cp1251, upper case); Characters() is empty.
    RecognitionPicker(std::vector<std::string> words, std::uint64_t seed, int slowReactionMs = kRecognitionSlowMs);

    const std::string& Characters() const { return characters_; }
    const std::vector<std::string>& Items() const { return items_; }
    // The next character, drawn by the weights; 0 when the set is empty.
    unsigned char Next();
    // The next item, drawn by the weights; "" when there is none.
    std::string NextItem();
    // The learner's answer to the item shown (RecognitionAnswer::Item): a miss doubles its
    // weight, a slow right answer adds half, a quick right answer halves what it has above the
    // base weight. Every other item's weight above the base decays by an eighth. Answers to
    // items outside the set are ignored.
    void Answer(const RecognitionAnswer& answer);
    // The weight of a character or item of the set; 0 for any other.
    int Weight(unsigned char c) const;
    int Weight(std::string_view item) const;

private:
    std::uint64_t NextRandom();
    std::size_t Find(std::string_view item) const;

    std::string characters_;
    std::vector<std::string> items_;
    std::vector<int> weights_; // one per item
    std::uint64_t state_;
    int slowReactionMs_;
};

struct RecognitionCharSummary {
    unsigned char ch = 0; // the character; 0 for a word
    std::string item;     // the character or word (cp1251)
    int shown = 0;
    int correct = 0;
    int medianReactionMs = -1; // over the measured answers of this character; -1 when none [ms]
    double Accuracy() const { return shown > 0 ? static_cast<double>(correct) / shown : 0.0; }
};

struct RecognitionSummary {
    int shown = 0;
    int correct = 0;
    int medianReactionMs = -1;                 // over every measured answer [ms]
    std::vector<RecognitionCharSummary> chars; // every character or word shown, in code order
    double Accuracy() const { return shown > 0 ? static_cast<double>(correct) / shown : 0.0; }
};

// Accuracy and median reaction per character or word. The median of an even count is the mean of the
// middle two, rounded down.
RecognitionSummary SummariseRecognition(std::span<const RecognitionAnswer> answers);

} // namespace qlor
