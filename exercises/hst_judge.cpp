#include "exercises/hst_judge.h"

#include "base/codepage.h"

#include <algorithm>

namespace qlor {
namespace {

constexpr std::size_t kWordBits = 64;

bool IsJudgedBlank(unsigned char c) {
    return c <= 0x20 || c == 0xA0;
}

// Whether a line of a copy file (without its line feed) holds only white space.
bool IsBlankLine(std::string_view line) {
    return std::all_of(line.begin(), line.end(), [](char c) { return IsJudgedBlank(static_cast<unsigned char>(c)); });
}

} // namespace

std::string FoldForJudging(std::string_view text) {
    std::string folded;
    folded.reserve(text.size());
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (!IsJudgedBlank(c)) {
            folded += static_cast<char>(UpCase1251(c));
        }
    }
    return folded;
}

// The rows of the sent text are packed 64 to a word; peq_ holds, for every symbol of the text, the
// rows where it stands. Rows past the end of the text in the last word stay 0: they lie below
// the last row, and the bit-vector step carries only downwards, so they never reach it.
JudgedText::JudgedText(std::string_view sentCp1251) {
    const std::string sent = FoldForJudging(sentCp1251);
    length_ = sent.size();
    blocks_ = (length_ + kWordBits - 1) / kWordBits;
    lastBit_ = length_ == 0 ? 0 : std::uint64_t{1} << ((length_ - 1) % kWordBits);
    std::size_t symbols = 1; // row 0 of peq_: symbols that the text does not hold
    for (const char ch : sent) {
        auto& index = symbolIndex_[static_cast<unsigned char>(ch)];
        if (index == 0) {
            index = static_cast<std::uint8_t>(symbols++);
        }
    }
    peq_.assign(symbols * blocks_, 0);
    for (std::size_t i = 0; i < length_; ++i) {
        const std::size_t row = symbolIndex_[static_cast<unsigned char>(sent[i])];
        peq_[row * blocks_ + i / kWordBits] |= std::uint64_t{1} << (i % kWordBits);
    }
}

int JudgedText::Errors(std::string_view copyCp1251) const {
    return ErrorsOfFolded(FoldForJudging(copyCp1251));
}

// Myers' bit-vector edit distance in Hyyrö's form for whole texts: column j of the distance
// matrix D (D[i][j], sent rows i, copy columns j) is kept as its vertical differences, +1 bits in
// pv and -1 bits in mv, 64 rows a word; the top row D[0][j] = j feeds a +1 into the first word at
// every column, each word hands the horizontal difference of its last row to the next, and the
// value of the last word's bottom row is followed from D[i][0] = i.
//
// Only the words that meet the band of rows j - band .. j + band are computed (Ukkonen's cut-off):
// a path of cost d never leaves the diagonals |i - j| <= d. A word that joins at the bottom starts
// from its upper neighbour's bottom plus one per row, a word that leaves at the top hands on +1
// from then on; both are upper bounds of the true values, so every value computed is at least
// the true one and those on a path of cost at most `band` are exact. The result is therefore
// exact when it is at most `band`; otherwise it is merely more than `band`.
int JudgedText::BandedErrors(std::string_view copy, std::size_t band) const {
    constexpr std::uint64_t kTopBit = std::uint64_t{1} << (kWordBits - 1);
    const std::size_t lastWord = blocks_ - 1;
    auto rowsOf = [this, lastWord](std::size_t b) { return b == lastWord ? length_ - kWordBits * b : kWordBits; };
    std::vector<std::uint64_t> pv(blocks_, ~std::uint64_t{0});
    std::vector<std::uint64_t> mv(blocks_, 0);
    std::size_t first = 0;
    std::size_t last = 0;
    std::size_t bottom = rowsOf(0); // D at the bottom row of word `last`, column j
    auto extend = [&](std::size_t j) {
        while (last < lastWord && kWordBits * (last + 1) + 1 <= j + band) {
            ++last;
            bottom += rowsOf(last); // the new word's column before: +1 per row
        }
    };
    extend(0);
    for (std::size_t j = 1; j <= copy.size(); ++j) {
        extend(j);
        while (first < last && kWordBits * (first + 1) + band < j) {
            ++first;
        }
        const std::uint64_t* eqColumn = peq_.data() + symbolIndex_[static_cast<unsigned char>(copy[j - 1])] * blocks_;
        int hin = 1; // the top row (or a word left above) rises by one per column
        for (std::size_t b = first; b <= last; ++b) {
            const std::uint64_t p = pv[b];
            const std::uint64_t m = mv[b];
            const std::uint64_t hinPlus = hin > 0 ? 1 : 0;
            const std::uint64_t hinMinus = hin < 0 ? 1 : 0;
            const std::uint64_t eq = eqColumn[b] | hinMinus;
            const std::uint64_t xv = eqColumn[b] | m;
            const std::uint64_t xh = (((eq & p) + p) ^ p) | eq;
            std::uint64_t ph = m | ~(xh | p);
            std::uint64_t mh = p & xh;
            if (b == last) {
                const std::uint64_t bit = b == lastWord ? lastBit_ : kTopBit;
                bottom += (ph & bit) != 0 ? 1 : 0;
                bottom -= (mh & bit) != 0 ? 1 : 0;
            } else {
                hin = static_cast<int>(ph >> 63) - static_cast<int>(mh >> 63);
            }
            ph = (ph << 1) | hinPlus;
            mh = (mh << 1) | hinMinus;
            pv[b] = mh | ~(xv | ph);
            mv[b] = ph & xv;
        }
    }
    // Words the band never reached lie below the last copy column by more than `band` rows.
    for (std::size_t b = last + 1; b <= lastWord; ++b) {
        bottom += rowsOf(b);
    }
    return static_cast<int>(bottom);
}

int JudgedText::ErrorsOfFolded(std::string_view copy) const {
    if (length_ == 0) {
        return static_cast<int>(copy.size());
    }
    // A band as wide as a word first (a copy worth judging has few errors), doubled until the
    // count is within it or the band covers the whole table.
    const std::size_t whole = std::max(length_, copy.size());
    const std::size_t lengthDifference = length_ > copy.size() ? length_ - copy.size() : copy.size() - length_;
    for (std::size_t band = std::max(kWordBits, lengthDifference);; band *= 2) {
        const int errors = BandedErrors(copy, band);
        if (static_cast<std::size_t>(errors) <= band || band >= whole) {
            return errors;
        }
    }
}

int CountHstErrors(std::string_view sentCp1251, std::string_view copyCp1251) {
    return JudgedText(sentCp1251).Errors(copyCp1251);
}

HstResult JudgeHstTest(const std::vector<HstSentText>& sent, const std::vector<JudgedText>& prepared,
                       const std::vector<std::string>& copies) {
    HstResult result;
    result.texts.reserve(sent.size());
    for (std::size_t i = 0; i < sent.size() && i < prepared.size(); ++i) {
        HstTextResult r;
        r.speedCpm = sent[i].speedCpm;
        r.scored = sent[i].scored;
        r.copied = i < copies.size();
        r.errors = r.copied ? prepared[i].Errors(copies[i]) : static_cast<int>(prepared[i].Length());
        r.valid = IsValidHstCopy(r.errors);
        if (r.valid && r.scored && (!result.bestSpeedCpm || r.speedCpm > *result.bestSpeedCpm)) {
            result.bestSpeedCpm = r.speedCpm;
        }
        result.texts.push_back(r);
    }
    return result;
}

HstResult JudgeHstTest(const std::vector<HstSentText>& sent, const std::vector<std::string>& copies) {
    std::vector<JudgedText> prepared;
    prepared.reserve(sent.size());
    for (const HstSentText& text : sent) {
        prepared.emplace_back(text.text);
    }
    return JudgeHstTest(sent, prepared, copies);
}

std::vector<std::string> SplitCopyBlocks(std::string_view copy) {
    std::vector<std::string_view> lines;
    std::size_t at = 0;
    while (at < copy.size()) {
        const std::size_t end = std::min(copy.find('\n', at), copy.size());
        lines.push_back(copy.substr(at, end - at));
        at = end + 1;
    }
    while (!lines.empty() && IsBlankLine(lines.back())) {
        lines.pop_back();
    }
    std::vector<std::string> blocks;
    std::size_t blankRun = 0;
    bool started = false; // a line of a block has been seen
    for (const std::string_view line : lines) {
        if (IsBlankLine(line)) {
            ++blankRun;
            continue;
        }
        // Before the first block each empty block is an empty line and its separator; between
        // two blocks the first empty line is the separator.
        const std::size_t emptyBlocks = started ? blankRun / 2 : (blankRun + 1) / 2;
        blocks.insert(blocks.end(), emptyBlocks, std::string());
        if (!started || blankRun > 0) {
            blocks.emplace_back(line);
        } else {
            blocks.back() += '\n';
            blocks.back() += line;
        }
        started = true;
        blankRun = 0;
    }
    return blocks;
}

} // namespace qlor
