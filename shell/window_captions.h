#pragma once
// The captions and hints of a caption table written into a window's controls, by component name.
#include "control/caption_table.h"

class QWidget;

namespace qlor {

class PageControl;

// Every entry the window shows: page captions into the tabs of `pages`, captions into labels and
// buttons, hints into tool tips. Controls the window does not have are passed over.
void WriteCaptions(QWidget* window, PageControl* pages, const CaptionTable& table);

} // namespace qlor
