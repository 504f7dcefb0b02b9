#include "exercises/char_recognition.h"

#include "base/codepage.h"

#include <algorithm>
#include <array>

namespace qlor {
namespace {

int Median(std::vector<int> values) {
    if (values.empty()) {
        return -1;
    }
    std::sort(values.begin(), values.end());
    const std::size_t mid = values.size() / 2;
    if (values.size() % 2 == 1) {
        return values[mid];
    }
    return static_cast<int>((std::int64_t{values[mid - 1]} + values[mid]) / 2);
}

} // namespace

RecognitionPicker::RecognitionPicker(std::string_view characters, std::uint64_t seed, int slowReactionMs)
    : state_(seed), slowReactionMs_(slowReactionMs) {
    for (const char c : UpperCase1251(characters)) {
        if (static_cast<unsigned char>(c) > ' ' && characters_.find(c) == std::string::npos) {
            characters_ += c;
        }
    }
    weights_.assign(characters_.size(), kRecognitionBaseWeight);
}

// SplitMix64: a small integer generator with a full 64-bit period.
std::uint64_t RecognitionPicker::NextRandom() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

unsigned char RecognitionPicker::Next() {
    if (characters_.empty()) {
        return 0;
    }
    std::uint64_t total = 0;
    for (const int w : weights_) {
        total += static_cast<std::uint64_t>(w);
    }
    std::uint64_t r = NextRandom() % total;
    for (std::size_t i = 0; i < weights_.size(); ++i) {
        const auto w = static_cast<std::uint64_t>(weights_[i]);
        if (r < w) {
            return static_cast<unsigned char>(characters_[i]);
        }
        r -= w;
    }
    return static_cast<unsigned char>(characters_.back());
}

void RecognitionPicker::Answer(const RecognitionAnswer& answer) {
    const std::size_t at = characters_.find(static_cast<char>(answer.shown));
    if (at == std::string::npos) {
        return;
    }
    for (std::size_t i = 0; i < weights_.size(); ++i) {
        int& w = weights_[i];
        if (i != at) {
            w -= (w - kRecognitionBaseWeight) / 8;
        } else if (!answer.Correct()) {
            w = std::min(kRecognitionMaxWeight, 2 * w);
        } else if (answer.reactionMs > slowReactionMs_) {
            w = std::min(kRecognitionMaxWeight, w + w / 2);
        } else {
            w -= (w - kRecognitionBaseWeight) / 2;
        }
    }
}

int RecognitionPicker::Weight(unsigned char c) const {
    const std::size_t at = characters_.find(static_cast<char>(c));
    return at == std::string::npos || c == 0 ? 0 : weights_[at];
}

RecognitionSummary SummariseRecognition(std::span<const RecognitionAnswer> answers) {
    RecognitionSummary summary;
    std::array<std::vector<int>, 256> reactions;
    std::array<int, 256> shown{};
    std::array<int, 256> correct{};
    std::vector<int> all;
    for (const RecognitionAnswer& a : answers) {
        ++shown[a.shown];
        correct[a.shown] += a.Correct() ? 1 : 0;
        if (a.reactionMs >= 0) {
            reactions[a.shown].push_back(a.reactionMs);
            all.push_back(a.reactionMs);
        }
    }
    for (int c = 0; c < 256; ++c) {
        if (shown[static_cast<std::size_t>(c)] == 0) {
            continue;
        }
        RecognitionCharSummary row;
        row.ch = static_cast<unsigned char>(c);
        row.shown = shown[static_cast<std::size_t>(c)];
        row.correct = correct[static_cast<std::size_t>(c)];
        row.medianReactionMs = Median(std::move(reactions[static_cast<std::size_t>(c)]));
        summary.shown += row.shown;
        summary.correct += row.correct;
        summary.chars.push_back(row);
    }
    summary.medianReactionMs = Median(std::move(all));
    return summary;
}

} // namespace qlor
