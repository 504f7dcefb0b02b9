#include "exercises/check_body.h"

#include <algorithm>
#include <string>
#include <vector>

namespace qlor {
namespace {

// White space as the alignment folds it: any byte up to and including the space.
bool Blank(char c) {
    return static_cast<unsigned char>(c) <= 0x20;
}

struct Line {
    std::size_t begin;
    std::size_t end; // before its line break
};

// The lines of a text at CR LF, LF or a lone CR; trailing empty lines are dropped.
std::vector<Line> Lines(std::string_view text) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        lines.push_back({start, end});
        if (end == text.size()) {
            break;
        }
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    while (!lines.empty() && lines.back().begin == lines.back().end) {
        lines.pop_back();
    }
    return lines;
}

} // namespace

BodySpan FindBody(std::string_view sent, bool ownText, int groupSize) {
    if (ownText) {
        return {0, sent.size()};
    }
    std::vector<Line> lines = Lines(sent);
    const bool standardEnding =
        lines.size() >= 2 && sent.substr(lines.back().begin, lines.back().end - lines.back().begin) == "*";
    if (standardEnding) {
        lines.pop_back(); // CR LF and "*"
    }
    if (lines.empty()) {
        return {0, 0};
    }
    const std::size_t first = lines.size() >= 2 ? 1 : 0; // line 0 is the header
    BodySpan body{lines[first].begin, lines.back().end};
    if (!standardEnding && body.end > body.begin && !Blank(sent[body.end - 1])) {
        // An own ending stands after the last group: the body ends with the last word of
        // `groupSize` characters.
        std::size_t lastGroupEnd = 0;
        std::size_t word = body.begin;
        for (std::size_t i = body.begin; i <= body.end; ++i) {
            if (i < body.end && !Blank(sent[i])) {
                continue;
            }
            if (groupSize > 0 && i - word == static_cast<std::size_t>(groupSize)) {
                lastGroupEnd = i;
            }
            word = i + 1;
        }
        if (lastGroupEnd > 0) {
            body.end = lastGroupEnd;
        }
    }
    return body;
}

Alignment BodyAlignment(const Alignment& whole, std::string_view sent, BodySpan body) {
    // The folded positions of the body's first and last non-blank characters, folded as
    // FoldForAlignment folds: runs of blanks become one space, none at the start.
    std::size_t folded = 0;
    bool pendingSpace = false;
    std::size_t begin = 0;
    std::size_t end = 0; // one past the last body character; begin == end: no body
    bool seen = false;
    for (std::size_t i = 0; i < sent.size(); ++i) {
        if (Blank(sent[i])) {
            pendingSpace = folded > 0;
            continue;
        }
        if (pendingSpace) {
            ++folded;
            pendingSpace = false;
        }
        if (i >= body.begin && i < body.end) {
            if (!seen) {
                begin = folded;
                seen = true;
            }
            end = folded + 1;
        }
        ++folded;
    }

    Alignment out;
    std::size_t at = 0; // folded position of the next sent character
    for (const AlignStep& step : whole.steps) {
        const bool insertion = step.op == AlignOp::Insertion;
        const bool inBody = insertion ? begin < end && at >= begin && at <= end : at >= begin && at < end;
        if (!insertion) {
            ++at;
        }
        if (!inBody) {
            continue;
        }
        out.steps.push_back(step);
        AlignmentCounts& c = out.counts;
        switch (step.op) {
        case AlignOp::Match:
            ++c.matches;
            break;
        case AlignOp::Substitution:
            ++c.substitutions;
            break;
        case AlignOp::Omission:
            ++c.omissions;
            break;
        case AlignOp::Insertion:
            ++c.insertions;
            break;
        }
        if (!insertion) {
            ++c.sentChars;
        }
    }
    return out;
}

Alignment AlignBody(std::string_view sent, std::string_view copy, bool ownText, int groupSize) {
    const BodySpan body = FindBody(sent, ownText, groupSize);
    // A byte no Unicode character maps to in Windows-1251, so no copy typed in the window holds it.
    constexpr char kUnmatchable = '\x98';
    std::string framed(sent);
    for (std::size_t i = 0; i < framed.size(); ++i) {
        if ((i < body.begin || i >= body.end) && !Blank(framed[i])) {
            framed[i] = kUnmatchable;
        }
    }
    return BodyAlignment(AlignCopy(framed, copy), sent, body);
}

} // namespace qlor
