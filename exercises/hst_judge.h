#pragma once
// Judging of high-speed receiving tests: each copy is set against its sent text by the aligned
// count (every wrong, missing or extra character one error; letter case and white space do not
// count), a text is valid with at most kHstMaxValidErrors errors, and the result of a test is
// its highest valid speed. Built for judging a whole class: a sent text is prepared once and
// then judged against any number of copies by a bit-parallel edit distance.
#include "synthesis/settings_table.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qlor {

// The highest speed of a high-speed test or competition text [cpm]. The classic panel keeps
// its own range (0..399, competitions up to 390).
inline constexpr int kHstMaxSpeedCpm = kHighSpeedTestMaxCpm;
// A copy with this many errors or fewer is valid.
inline constexpr int kHstMaxValidErrors = 5;

// A text as the judge reads it: white space removed entirely (bytes of value 0x20 or less and the
// no-break space 0xA0), letters upper-cased by the Windows-1251 rules.
std::string FoldForJudging(std::string_view cp1251);

// A sent text prepared for judging copies against it.
class JudgedText {
public:
    explicit JudgedText(std::string_view sentCp1251);

    // The aligned error count of a copy (cp1251): the smallest number of substitutions,
    // omissions and insertions that turn the folded sent text into the folded copy.
    int Errors(std::string_view copyCp1251) const;
    // The same for a copy already folded by FoldForJudging.
    int ErrorsOfFolded(std::string_view foldedCopy) const;

    std::size_t Length() const { return length_; } // folded characters

private:
    // The count when it is at most `band`, else some number above `band` [characters].
    int BandedErrors(std::string_view foldedCopy, std::size_t band) const;

    std::size_t length_ = 0;
    std::size_t blocks_ = 0;             // 64-row words per column
    std::uint64_t lastBit_ = 0;          // the last row's bit in the last word
    std::uint8_t symbolIndex_[256] = {}; // byte -> row of peq_ (0: not in the text)
    std::vector<std::uint64_t> peq_;     // per symbol, `blocks_` words: rows holding it
};

// The aligned error count of one copy against one sent text (both cp1251).
int CountHstErrors(std::string_view sentCp1251, std::string_view copyCp1251);

inline bool IsValidHstCopy(int errors) {
    return errors <= kHstMaxValidErrors;
}

// One text of a test as sent.
struct HstSentText {
    int speedCpm = 0;   // as announced (the protocol's nominal speed)
    std::string text;   // cp1251
    bool scored = true; // false for a training text: judged and shown, never the result
};

struct HstTextResult {
    int speedCpm = 0;
    int errors = 0;
    bool valid = false;
    bool scored = true;
    bool copied = true; // false when the copy had no block for this text (every character missed)
};

struct HstResult {
    std::vector<HstTextResult> texts; // in sending order
    std::optional<int> bestSpeedCpm;  // the highest valid scored speed; none when none is valid
};

// Judges the copies (one per text, in sending order; missing ones count every sent character as
// an error, surplus ones are not judged) against prepared texts of the same order.
HstResult JudgeHstTest(const std::vector<HstSentText>& sent, const std::vector<JudgedText>& prepared,
                       const std::vector<std::string>& copies);
// The same, preparing the texts itself (for one copy set).
HstResult JudgeHstTest(const std::vector<HstSentText>& sent, const std::vector<std::string>& copies);

// A copy file of a class: one block per sent text in sending order, blocks separated by one empty
// line (a line of white space only counts as empty). An empty block is an empty line of its own
// between its two separators, so a run of r empty lines between two blocks holds r / 2 empty
// blocks (rounded down: two empty lines in a row, a separator typed twice, also read as one
// empty block), and a run of r before the first block (r + 1) / 2. Line ends may be LF or CR LF.
// Empty lines at the end of the file add no block; an empty file has none.
std::vector<std::string> SplitCopyBlocks(std::string_view copy);

} // namespace qlor
