#pragma once
// The controls a radiogram is composed from, read off the Text and text options pages.
#include "shell/window_pages.h"
#include "textgen/radiogram.h"

namespace qlor {

// The states of the controls that composing a radiogram reads, with `settings` as the window
// holds them now; memos exactly as their boxes hold them.
RadiogramControls ReadRadiogramControls(const Ui::TextPage& text, const Ui::TextOptionsPage& textOptions,
                                        const TransmissionSettings& settings);

} // namespace qlor
