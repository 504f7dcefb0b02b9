#pragma once
// The alignment-aware score of a reception check: the copy aligned against the sent text by the
// smallest number of edits, so that a missed or extra character costs one error instead of the
// rest of its line. The positional check list is not affected; this is a second reading of it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qlor {

// A text as the alignment reads it: every run of white space (spaces, tabs, line breaks, any byte
// of value 0x20 or less) becomes one space, white space at both ends is dropped, and letters are
// upper-cased by the Windows-1251 rules, so line wrapping and letter case never count.
std::string FoldForAlignment(std::string_view cp1251);

enum class AlignOp : std::uint8_t {
    Match,        // sent X heard X
    Substitution, // sent X heard Y
    Omission,     // sent X, nothing heard
    Insertion,    // nothing sent, Y heard
};

struct AlignStep {
    AlignOp op = AlignOp::Match;
    unsigned char sent = 0;  // folded sent character; 0 for an insertion
    unsigned char heard = 0; // folded copy character; 0 for an omission
};

struct AlignmentCounts {
    int sentChars = 0; // characters of the folded sent text
    int matches = 0;
    int substitutions = 0;
    int omissions = 0;
    int insertions = 0;
    int Errors() const { return substitutions + omissions + insertions; }
    bool operator==(const AlignmentCounts&) const = default;
};

struct Alignment {
    std::vector<AlignStep> steps; // in text order
    AlignmentCounts counts;
};

// A sent text longer than this (199 groups of ten and a header fit) is aligned in consecutive
// pieces of this many characters, each against the share of the copy of the same proportion
// (at most twice the piece; copy characters left over at the end are insertions), so the time
// and memory stay bounded whatever is pasted into the boxes [characters].
inline constexpr std::size_t kAlignPieceChars = 2560;

// Aligns the folded copy against the folded sent text with unit costs for a substitution, an
// omission and an insertion (the Levenshtein distance). Where several alignments have the
// smallest cost, the one chosen is read from the start of the texts, taking at each position
// the first optimal step of: match, substitution, omission, insertion. So "AB" heard "BA" is two
// substitutions, and a doubled letter heard once is matched at its first occurrence and omitted
// at its second.
Alignment AlignCopy(std::string_view sentCp1251, std::string_view copyCp1251);

} // namespace qlor
