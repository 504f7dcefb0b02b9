#pragma once
// The interface language in a window: the language list of the files in the current directory,
// the choice of one of its items, and the captions and hints of a caption table written into the
// window's controls by component name.
#include "control/caption_table.h"

class QComboBox;
class QWidget;

namespace qlor {

class PageControl;

// Every entry the window shows: page captions into the tabs of `pages`, captions into labels and
// buttons, hints into tool tips. Controls the window does not have are passed over.
void WriteCaptions(QWidget* window, PageControl* pages, const CaptionTable& table);

// Fills `list` with "English", then one item per language file of the current directory; item 0
// is current. No change signal is sent.
void FillLanguageList(QComboBox* list);
// ChooseLanguage for the item `position` of `list`, with the files of the current directory.
LanguageChoice ChooseListedLanguage(const QComboBox* list, int position, CaptionTable& current,
                                    ProgramTextTable* currentTexts);

} // namespace qlor
