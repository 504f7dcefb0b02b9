#pragma once
// The window's controls that the numbered caption table (control/caption_table.h) feeds, by
// objectName. scripts/make-russian-lng reads the rows of caption_feeds.cpp to name the controls
// of each entry in data/Russian.lng, so keep one row per line in their shape.
#include <span>
#include <string_view>

namespace qlor {

// What a caption entry writes into its control.
enum class CaptionTarget {
    PageCaption, // the tab text of a page of PageControl1
    Caption,     // the text of a label, button, check box or radio button
    Hint,        // the tool tip of a step button
};

struct CaptionFeed {
    int entry;
    std::string_view objectName;
    CaptionTarget target;
};

// Every control fed by the table, in entry order (entries 1..85; entries 79..85 feed the hints
// of several buttons each). Entries 100..110 are shown by the indicators and are not listed.
std::span<const CaptionFeed> CaptionFeeds();

} // namespace qlor
