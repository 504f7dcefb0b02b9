#pragma once
// The controls that ControlBlock and ControlUnBlock switch while a transmission, a competition or
// a batch export runs, as objectNames the window iterates.
#include <span>
#include <string_view>

namespace qlor {

// The 79 controls disabled while blocked (enabled again by ControlUnBlock), by tab.
std::span<const std::string_view> BlockedControls();
// The 4 stop buttons enabled while blocked (disabled again by ControlUnBlock).
std::span<const std::string_view> StopControls();
// The 2 memos made read-only while blocked (editable again by ControlUnBlock).
std::span<const std::string_view> ReadOnlyMemosWhileBlocked();
// The 4 on-air lamps: kLampOnAir while blocked, kLampIdle otherwise (shell/panel_widgets.h).
std::span<const std::string_view> TransmissionLamps();

} // namespace qlor
