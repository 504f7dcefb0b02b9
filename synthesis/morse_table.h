#pragma once
// The Morse code table (110 entries of element patterns over D, T, P), the conversion of a text
// into one element string, and the case-insensitive replace-all it uses.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace qlor {

class MorseTable {
public:
    static constexpr int kSize = 110; // indexes 1..110
    // Longest pattern an override may store [letters]; a longer entry is skipped as damaged. The
    // longest real pattern has 15 letters, so the element string stays at most this many letters
    // (plus one gap) per character of a text.
    static constexpr size_t kMaxPatternLetters = 256;
    // "Morse.txt" files larger than this are ignored [bytes].
    static constexpr uint64_t kMaxOverrideFileBytes = 1u << 20;

    MorseTable(); // filled with the built-in patterns (InitMorseTable)

    void InitMorseTable();
    // Applies "Morse.txt"-style override lines; a missing file does nothing. Any bytes are safe.
    void LoadMorseOverrides(const std::string& path);
    void ApplyOverrides(std::string_view fileBytes);

    // Index 1..110 of a byte after cp1251 upper-casing, or 0 when it has no entry.
    static int IndexOf(unsigned char c);

    struct Pattern {
        std::string_view pattern; // "Q" when not found
        bool found;
    };
    Pattern CharPattern(unsigned char c) const;

    const std::string& Entry(int index) const { return entries_[index]; }

private:
    std::array<std::string, kSize + 1> entries_;
};

struct Elements {
    std::string elements; // over D T P Q R (and whatever an override brought in)
    int count = 0;        // characters of the trimmed text that have an entry
};

Elements TextToElements(const MorseTable& table, std::string_view text);

// Every occurrence of oldText replaced by newText, left to right, the search ignoring case
// (cp1251); text produced by a replacement is never re-examined. O(n).
std::string ReplaceAllText(std::string_view source, std::string_view oldText, std::string_view newText);

} // namespace qlor
