#include "exercises/char_recognition.h"

#include "base/codepage.h"
#include "synthesis/transmission_settings.h"

#include <algorithm>
#include <array>
#include <map>

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

std::optional<RecognitionMode> RecognitionModeByName(std::string_view name) {
    for (RecognitionMode m : {RecognitionMode::Characters, RecognitionMode::Words, RecognitionMode::Callsigns}) {
        if (RecognitionModeName(m) == name) {
            return m;
        }
    }
    return std::nullopt;
}

std::string_view RecognitionModeName(RecognitionMode mode) {
    switch (mode) {
    case RecognitionMode::Characters:
        return "characters";
    case RecognitionMode::Words:
        return "words";
    case RecognitionMode::Callsigns:
        return "callsigns";
    }
    return "characters";
}

std::string RecognitionSet(std::string_view characters) {
    std::string set;
    for (const char c : UpperCase1251(characters)) {
        if (static_cast<unsigned char>(c) > ' ' && set.find(c) == std::string::npos) {
            set += c;
        }
    }
    return set;
}

std::vector<std::string> RecognitionWords(RecognitionMode mode, std::string_view characters, std::uint64_t seed) {
    const std::string set = RecognitionSet(characters);
    std::vector<std::string> words;
    auto add = [&words](std::string_view word) {
        if (std::find(words.begin(), words.end(), word) == words.end()) {
            words.emplace_back(word);
        }
    };
    if (set.empty()) {
        return words;
    }
    if (mode == RecognitionMode::Words) {
        for (const TelegraphWord& w : TelegraphWords()) {
            if (w.word.find_first_not_of(set) == std::string_view::npos) {
                add(w.word);
            }
        }
    } else if (mode == RecognitionMode::Callsigns) {
        const auto number = static_cast<int>(seed % 10000);
        for (const std::string& call :
             ItemsMadeOf(TextSource::Callsigns, set, kRecognitionCallsignsDrawn, TextNumberDigits(number))) {
            if (words.size() >= static_cast<std::size_t>(kRecognitionMaxCallsigns)) {
                break;
            }
            add(call);
        }
    }
    return words;
}

RecognitionPicker::RecognitionPicker(std::string_view characters, std::uint64_t seed, int slowReactionMs)
    : characters_(RecognitionSet(characters)), state_(seed), slowReactionMs_(slowReactionMs) {
    for (const char c : characters_) {
        items_.emplace_back(1, c);
    }
    weights_.assign(items_.size(), kRecognitionBaseWeight);
}

RecognitionPicker::RecognitionPicker(std::vector<std::string> words, std::uint64_t seed, int slowReactionMs)
    : state_(seed), slowReactionMs_(slowReactionMs) {
    for (std::string& word : words) {
        if (!word.empty() && Find(word) == std::string::npos) {
            items_.push_back(std::move(word));
        }
    }
    weights_.assign(items_.size(), kRecognitionBaseWeight);
}

// SplitMix64: a small integer generator with a full 64-bit period.
std::uint64_t RecognitionPicker::NextRandom() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::size_t RecognitionPicker::Find(std::string_view item) const {
    const auto at = std::find(items_.begin(), items_.end(), item);
    return at == items_.end() ? std::string::npos : static_cast<std::size_t>(at - items_.begin());
}

std::string RecognitionPicker::NextItem() {
    if (items_.empty()) {
        return {};
    }
    std::uint64_t total = 0;
    for (const int w : weights_) {
        total += static_cast<std::uint64_t>(w);
    }
    std::uint64_t r = NextRandom() % total;
    for (std::size_t i = 0; i < weights_.size(); ++i) {
        const auto w = static_cast<std::uint64_t>(weights_[i]);
        if (r < w) {
            return items_[i];
        }
        r -= w;
    }
    return items_.back();
}

unsigned char RecognitionPicker::Next() {
    const std::string item = NextItem();
    return item.empty() ? 0 : static_cast<unsigned char>(item[0]);
}

void RecognitionPicker::Answer(const RecognitionAnswer& answer) {
    const std::size_t at = Find(answer.Item());
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
    return c == 0 ? 0 : Weight(std::string(1, static_cast<char>(c)));
}

int RecognitionPicker::Weight(std::string_view item) const {
    const std::size_t at = Find(item);
    return at == std::string::npos ? 0 : weights_[at];
}

RecognitionSummary SummariseRecognition(std::span<const RecognitionAnswer> answers) {
    struct Tally {
        int shown = 0;
        int correct = 0;
        std::vector<int> reactions;
    };
    // std::string orders its bytes as unsigned: single characters come in code order.
    std::map<std::string, Tally> items;
    std::vector<int> all;
    RecognitionSummary summary;
    for (const RecognitionAnswer& a : answers) {
        Tally& t = items[a.Item()];
        ++t.shown;
        t.correct += a.Correct() ? 1 : 0;
        if (a.reactionMs >= 0) {
            t.reactions.push_back(a.reactionMs);
            all.push_back(a.reactionMs);
        }
    }
    for (auto& [item, t] : items) {
        RecognitionCharSummary row;
        row.item = item;
        row.ch = item.size() == 1 ? static_cast<unsigned char>(item[0]) : 0;
        row.shown = t.shown;
        row.correct = t.correct;
        row.medianReactionMs = Median(std::move(t.reactions));
        summary.shown += row.shown;
        summary.correct += row.correct;
        summary.chars.push_back(std::move(row));
    }
    summary.medianReactionMs = Median(std::move(all));
    return summary;
}

} // namespace qlor
