// The end notices of a port's player: one natural end per play that runs out, none after Stop or
// Close, a late notice of an earlier play never taken for the later play's end.
#include "audio/end_notices.h"

#include <gtest/gtest.h>

#include <string>

namespace qlor {
namespace {

// Steps: p a play starts, c Stop or Close, n a notice comes (its kind is written: F foreign,
// S superseded, C cut short, N natural), r whether the latest play runs (R or -).
std::string NoticesOf(const std::string& steps) {
    EndNotices ends;
    std::string seen;
    for (const char step : steps) {
        switch (step) {
        case 'p':
            ends.Started();
            break;
        case 'c':
            ends.CutShort();
            break;
        case 'r':
            seen += ends.Running() ? 'R' : '-';
            break;
        case 'n':
            switch (ends.Take()) {
            case EndNotices::Notice::Foreign:
                seen += 'F';
                break;
            case EndNotices::Notice::Superseded:
                seen += 'S';
                break;
            case EndNotices::Notice::CutShort:
                seen += 'C';
                break;
            case EndNotices::Notice::Natural:
                seen += 'N';
                break;
            }
            break;
        }
    }
    return seen;
}

TEST(EndNoticesTest, EachNoticeIsTakenForWhatItIs) {
    struct Case {
        const char* what;
        const char* steps;
        const char* seen;
    };
    const Case cases[] = {
        {"a play that runs out ends once", "rprnrn", "-RN-F"},
        {"a notice before any play is foreign", "n", "F"},
        {"a stopped play never ends", "pcrn", "-C"},
        {"the stopped play's late notice while the next plays", "pcprnrnr", "RSRN-"},
        {"two stops before their notices", "pcpcnn", "SC"},
        {"a play started again while it plays", "ppnn", "SN"},
        {"after a natural end the next play ends again", "pnpn", "NN"},
        {"a stop after the natural end changes nothing", "pncn", "NF"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NoticesOf(c.steps), c.seen) << c.what;
    }
}

} // namespace
} // namespace qlor
