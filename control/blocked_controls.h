#pragma once
// The controls that ControlBlock and ControlUnBlock switch while a transmission, a competition or
// a batch export runs, as objectNames the window iterates.
#include <cstdint>
#include <span>
#include <string_view>

namespace qlor {

// The 79 controls disabled while blocked (enabled again by ControlUnBlock), by tab.
std::span<const std::string_view> BlockedControls();
// The 4 stop buttons enabled while blocked (disabled again by ControlUnBlock).
std::span<const std::string_view> StopControls();
// The 2 memos made read-only while blocked (editable again by ControlUnBlock).
std::span<const std::string_view> ReadOnlyMemosWhileBlocked();
// The 4 on-air lamps: red while blocked, silver otherwise.
std::span<const std::string_view> TransmissionLamps();

// Lamp colours as 0xRRGGBB.
inline constexpr std::uint32_t kLampIdleRgb = 0xC0C0C0; // silver
inline constexpr std::uint32_t kLampBusyRgb = 0xFF0000; // red

} // namespace qlor
