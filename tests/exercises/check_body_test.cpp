// The body of a checked radiogram: found in the sent text as the composer frames it, and only its
// characters counted in a check's scores and pairs.
#include "exercises/check_body.h"
#include "exercises/check_history.h"
#include "exercises/check_statistics.h"

#include <gtest/gtest.h>

#include <string>

namespace qlor {
namespace {

TEST(FindBody, TheGroupsBetweenHeaderAndEnding) {
    const struct {
        const char* sent;
        bool ownText;
        int groupSize;
        const char* body;
    } kCases[] = {
        {"vvv=\r\nABCDE FGHIJ \r\n*", false, 5, "ABCDE FGHIJ "}, // standard header and ending
        {"ABCDE FGHIJ \r\n*", false, 5, "ABCDE FGHIJ "},         // no header
        {"vvv=\r\nABCDE FGHIJ ", false, 5, "ABCDE FGHIJ "},      // no ending
        {"QST\r\nABCDE FGHIJ AR", false, 5, "ABCDE FGHIJ"},      // own header, own ending
        {"ABCDE FGHIJ AR K", false, 5, "ABCDE FGHIJ"},           // an own ending with a space
        {"ABCDE FGHIJ", false, 5, "ABCDE FGHIJ"},                // no ending, no last space
        {"ABCD EFGH AR", false, 5, "ABCD EFGH AR"},              // no group of that size: the line
        {"vvv=\r\nABC\r\n*", true, 5, "vvv=\r\nABC\r\n*"},       // own text: all of it
        {"vvv=\r\n\r\n*", false, 5, ""},
        {"*", false, 5, "*"},
        {"", false, 5, ""},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.sent);
        const std::string sent = c.sent;
        const BodySpan span = FindBody(sent, c.ownText, c.groupSize);
        ASSERT_LE(span.begin, span.end);
        ASSERT_LE(span.end, sent.size());
        EXPECT_EQ(sent.substr(span.begin, span.end - span.begin), c.body);
    }
}

int TimesSent(const CheckRecord& r, unsigned char c) {
    int n = 0;
    for (const PairCount& p : r.tally) {
        n += p.sent == c ? p.count : 0;
    }
    return n;
}

// Header and ending never count, whether the copy has them (typed in by automatic reception, or
// by the operator, rightly or wrongly) or not; the body counts with its insertions.
TEST(BodyScore, OnlyTheBodyCounts) {
    // clang-format off
    const struct {
        const char* name;
        const char* sent;
        const char* copy;
        bool ownText;
        AlignmentCounts counts; // sentChars, matches, substitutions, omissions, insertions
        int vSent;              // times V counts as sent
    } kCases[] = {
        {"header typed in, ending left out", "vvv=\r\nABCDE FGHIJ \r\n*", "vvv=\r\nABCDE FGHIJ", false,
         {11, 11, 0, 0, 0}, 0},
        {"no header typed, ending as AR", "vvv=\r\nABCDE FGHIJ \r\n*", "ABCDE FGHIJ AR", false,
         {11, 11, 0, 0, 0}, 0},
        {"no header typed before a body that begins with V", "vvv=\r\nVVABC DEFGH \r\n*", "VVABC DEFGH", false,
         {11, 11, 0, 0, 0}, 2},
        {"errors and an extra letter in the body", "vvv=\r\nABCDE FGHIJ \r\n*", "vvv=\r\nAXDE FGHIJK\r\n*", false,
         {11, 9, 1, 1, 1}, 0},
        {"own text counts whole", "vvv=\r\nABC", "ABC", true, {8, 3, 0, 5, 0}, 3},
    };
    // clang-format on
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.name);
        const CheckRecord r = MakeCheckRecord(0, c.sent, c.copy, 0, c.ownText, 5);
        EXPECT_EQ(r.aligned, c.counts);
        EXPECT_EQ(TimesSent(r, 'V'), c.vSent);
        // The chart's rate of the check and the summary's rate of it alone are one figure.
        const CheckRecord* one[] = {&r};
        EXPECT_EQ(ComputeStatistics(one).totals.ErrorRate(), r.ErrorRate());
    }
}

} // namespace
} // namespace qlor
