#include "exercises/check_alignment.h"

#include "base/codepage.h"

#include <algorithm>

namespace qlor {
namespace {

bool IsBlank(unsigned char c) {
    return c <= 0x20;
}

// Aligns one piece (at most kAlignPieceChars by twice that, so every cost fits 16 bits).
// cost[i * (m + 1) + j] is the edit distance of sent[i..] and copy[j..], so the
// steps can be read forward from the start with the tie order documented in the header.
void AlignPiece(std::string_view sent, std::string_view copy, Alignment& out) {
    const std::size_t n = sent.size();
    const std::size_t m = copy.size();
    const std::size_t w = m + 1;
    std::vector<std::uint16_t> cost((n + 1) * w);
    for (std::size_t j = 0; j <= m; ++j) {
        cost[n * w + j] = static_cast<std::uint16_t>(m - j);
    }
    for (std::size_t i = n; i-- > 0;) {
        cost[i * w + m] = static_cast<std::uint16_t>(n - i);
        for (std::size_t j = m; j-- > 0;) {
            const unsigned diagonal = cost[(i + 1) * w + j + 1] + (sent[i] == copy[j] ? 0 : 1);
            const unsigned omit = cost[(i + 1) * w + j] + 1;
            const unsigned insert = cost[i * w + j + 1] + 1;
            cost[i * w + j] = static_cast<std::uint16_t>(std::min({diagonal, omit, insert}));
        }
    }
    std::size_t i = 0;
    std::size_t j = 0;
    AlignmentCounts& c = out.counts;
    while (i < n || j < m) {
        const unsigned here = cost[i * w + j];
        const auto s = static_cast<unsigned char>(i < n ? sent[i] : 0);
        const auto h = static_cast<unsigned char>(j < m ? copy[j] : 0);
        if (i < n && j < m && s == h && here == cost[(i + 1) * w + j + 1]) {
            out.steps.push_back({AlignOp::Match, s, h});
            ++c.matches;
            ++i;
            ++j;
        } else if (i < n && j < m && here == cost[(i + 1) * w + j + 1] + 1u) {
            out.steps.push_back({AlignOp::Substitution, s, h});
            ++c.substitutions;
            ++i;
            ++j;
        } else if (i < n && here == cost[(i + 1) * w + j] + 1u) {
            out.steps.push_back({AlignOp::Omission, s, 0});
            ++c.omissions;
            ++i;
        } else {
            out.steps.push_back({AlignOp::Insertion, 0, h});
            ++c.insertions;
            ++j;
        }
    }
}

} // namespace

std::string FoldForAlignment(std::string_view text) {
    std::string folded;
    folded.reserve(text.size());
    bool pendingSpace = false;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (IsBlank(c)) {
            pendingSpace = !folded.empty();
            continue;
        }
        if (pendingSpace) {
            folded += ' ';
            pendingSpace = false;
        }
        folded += static_cast<char>(UpCase1251(c));
    }
    return folded;
}

Alignment AlignCopy(std::string_view sentCp1251, std::string_view copyCp1251) {
    const std::string sent = FoldForAlignment(sentCp1251);
    const std::string copy = FoldForAlignment(copyCp1251);
    Alignment out;
    out.counts.sentChars = static_cast<int>(sent.size());
    out.steps.reserve(std::max(sent.size(), copy.size()));
    const std::size_t pieces = std::max<std::size_t>(1, (sent.size() + kAlignPieceChars - 1) / kAlignPieceChars);
    if (sent.size() <= kAlignPieceChars && copy.size() <= 2 * kAlignPieceChars) {
        AlignPiece(sent, copy, out);
        return out;
    }
    // Long texts: piece k of the sent text against the same share of the copy, each share at most
    // twice the piece. What the copy holds beyond that at its end is plainly extra: insertions.
    std::size_t copyStart = 0;
    for (std::size_t k = 0; k < pieces; ++k) {
        const std::size_t sentStart = k * kAlignPieceChars;
        const std::size_t sentEnd = std::min(sent.size(), sentStart + kAlignPieceChars);
        const bool last = k + 1 == pieces;
        std::size_t copyEnd = last ? copy.size() : copy.size() * sentEnd / sent.size();
        copyEnd = std::clamp(copyEnd, copyStart, std::min(copy.size(), copyStart + 2 * kAlignPieceChars));
        AlignPiece(std::string_view(sent).substr(sentStart, sentEnd - sentStart),
                   std::string_view(copy).substr(copyStart, copyEnd - copyStart), out);
        copyStart = copyEnd;
    }
    for (std::size_t j = copyStart; j < copy.size(); ++j) {
        out.steps.push_back({AlignOp::Insertion, 0, static_cast<unsigned char>(copy[j])});
        ++out.counts.insertions;
    }
    return out;
}

} // namespace qlor
