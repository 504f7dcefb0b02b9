#pragma once
// The body of a checked radiogram: the groups between its header and its ending, found in the
// sent text as it was recorded, and the part of a check's alignment that belongs to it. The
// header ("vvv=", which automatic reception also types into the copy) and the ending (the AR sign
// "*" or the operator's own ending) are framing the operator does not practise, so the scores and
// the per-character statistics of a check count the body alone.
#include "exercises/check_alignment.h"

#include <cstddef>
#include <string_view>

namespace qlor {

// Byte offsets [begin, end) of the body in a sent text.
struct BodySpan {
    std::size_t begin = 0;
    std::size_t end = 0;
    bool operator==(const BodySpan&) const = default;
};

// Where the body of `sent` (Windows-1251, as the Text page held it) lies. The operator's own text
// is body throughout. A composed radiogram is read as the composer writes it: a last line that is
// only "*" is the standard ending; of two or more lines left, the first is the header and the
// rest the body; without the standard ending, an own ending may follow the last group on its
// line, so when the body does not end with a space, it ends with its last word of `groupSize`
// characters (when there is none, the line is taken whole).
BodySpan FindBody(std::string_view sent, bool ownText, int groupSize);

// The steps of `whole` (the alignment of the copy against all of `sent`) that belong to the body:
// those of its sent characters, and the insertions between them or right before or after them
// (not those beyond the space that divides the body from its header or ending), with their counts.
// The spaces at the body's two ends are not part of it.
Alignment BodyAlignment(const Alignment& whole, std::string_view sent, BodySpan body);

// The body's part of the copy aligned against `sent` (both Windows-1251): the body found by
// FindBody, the whole copy aligned against the whole sent text with the header's and the ending's
// characters made unmatchable, so that a copy without its header never has body characters set
// against the header's ("vvv=" before a body that begins with V), then BodyAlignment.
Alignment AlignBody(std::string_view sent, std::string_view copy, bool ownText, int groupSize);

} // namespace qlor
