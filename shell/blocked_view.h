#pragma once
// The window's controls blocked while a transmission, a competition or an export runs, by
// component name: the listed controls off, the stop buttons on, the memos read-only, the lamps red.
class QWidget;

namespace qlor {

// Blocks (true) or unblocks (false) the controls under `window`; names it lacks are passed over.
void ShowBlocked(QWidget* window, bool blocked);

} // namespace qlor
