// The fixed sets of controls switched while a transmission runs.
#include "control/blocked_controls.h"

#include <gtest/gtest.h>

#include <set>

namespace qlor {
namespace {

TEST(BlockedControls, SetsAreCompleteAndDisjoint) {
    std::set<std::string_view> all;
    size_t total = 0;
    for (auto list : {BlockedControls(), StopControls(), ReadOnlyMemosWhileBlocked(), TransmissionLamps()}) {
        all.insert(list.begin(), list.end());
        total += list.size();
    }
    EXPECT_EQ(BlockedControls().size(), 79u);
    EXPECT_EQ(StopControls().size(), 4u);
    EXPECT_EQ(ReadOnlyMemosWhileBlocked().size(), 2u);
    EXPECT_EQ(TransmissionLamps().size(), 4u);
    EXPECT_EQ(all.size(), total) << "a control is listed twice";

    // What the operator keeps while listening.
    for (std::string_view usable :
         {"TrackBar2", "TrackBar3", "InputMemo", "LngComboBox", "Button57", "Button58", "Button59", "Button60",
          "Button37", "PathDir", "PageControl1", "Button28", "Button42", "Button47", "Button48"}) {
        EXPECT_FALSE(all.count(usable)) << usable;
    }
    const std::set<std::string_view> blocked(BlockedControls().begin(), BlockedControls().end());
    for (std::string_view must : {"ButtonRun", "Button3", "Button10", "CheckList", "MemoSelectedSymbols", "TrackBar1",
                                  "Button11", "NoiseFile4", "Button41", "ParisSystem", "Button46"}) {
        EXPECT_TRUE(blocked.count(must)) << must;
    }
}

} // namespace
} // namespace qlor
