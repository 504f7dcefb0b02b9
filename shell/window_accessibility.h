#pragma once
// The main window for screen readers and the keyboard, by component name: status lines,
// radio-button groups, Enter on buttons, the Tab chain, the first focus of every page and the
// accessible names and descriptions in the language of the program's own texts.
#include "control/program_texts.h"

class QWidget;

namespace qlor {

class PageControl;

// Status lines, radio-button groups, Enter on buttons, the Tab chain, and the first control of a
// page focused when the page opens.
void PrepareWindowAccessibility(QWidget* window, PageControl* pages);
// Gives the focus to the first control of a page (its tab for a page without controls).
void FocusFirstControl(PageControl* pages, int page);
// The accessible names and descriptions in the language of `texts`.
void ApplyAccessibleTexts(QWidget* window, PageControl* pages, const ProgramTextTable& texts);

} // namespace qlor
