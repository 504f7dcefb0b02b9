#pragma once
// Practice texts beyond random groups: amateur callsigns, common telegraph words and
// abbreviations, and short QSO overs. Like the groups, every text is fully determined by the
// four text-number digits: the same number gives the same bytes on every machine, because every
// draw comes from the text generator (ChaosRandom) seeded with those digits.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qlor {

enum class TextSource {
    Groups,    // the radiogram's random groups (GenerateText)
    Callsigns, // callsigns of the ITU prefix table
    Words,     // telegraph words, abbreviations, Q-codes, names and numbers
    Qso,       // overs of short QSOs between two stations, in the order a QSO runs
};

// "groups", "callsigns", "words", "qso"; nothing for any other name (exact, lower case).
std::optional<TextSource> TextSourceByName(std::string_view name);
std::string_view TextSourceName(TextSource source);

// One entry of the prefix table: a prefix, how often it is heard on the air (relative weight),
// whether a call area digit follows it (false where the prefix ends in its digit, as HB9), and
// the relative weights of suffixes of one, two and three letters.
struct CallPrefix {
    std::string_view prefix;
    int weight;
    bool digitFollows;
    std::array<int, 3> suffixWeights;
};
std::span<const CallPrefix> CallPrefixTable();

// One entry of the word list with its relative weight.
struct TelegraphWord {
    std::string_view word;
    int weight;
};
std::span<const TelegraphWord> TelegraphWords();

// The overs of one QSO, in order; fields in braces are filled by QsoItems.
std::span<const std::string_view> QsoOverTemplates();

// `count` items of `source` (Callsigns, Words or Qso) for the text-number digits d1..d4 as the
// panel shows them, each followed by one space, like the groups of a radiogram body. Upper-case
// Latin letters, figures and "/ ?" only, so every character has a Morse code. A count of 0 or
// less gives an empty text; Groups gives an empty text (the radiogram generator makes those).
// Every QSO over counts as one item; after the last over of a QSO the next one begins with two
// new stations.
std::string SourceItems(TextSource source, int count, const std::array<int, 4>& digits);

// Of the first `drawn` items SourceItems gives for `source` (Callsigns or Words) and the digits,
// those made only of characters of `allowed` (cp1251, upper case), in the order drawn, repeats
// kept. Nothing for Groups and Qso.
std::vector<std::string> ItemsMadeOf(TextSource source, std::string_view allowed, int drawn,
                                     const std::array<int, 4>& digits);

} // namespace qlor
