#include "shell/radiogram_controls.h"

#include "shell/memo_text.h"

#include "ui_textoptionspage.h"
#include "ui_textpage.h"

namespace qlor {

RadiogramControls ReadRadiogramControls(const Ui::TextPage& text, const Ui::TextOptionsPage& textOptions,
                                        const TransmissionSettings& settings) {
    RadiogramControls c;
    c.settings = settings;
    c.ownText = textOptions.CheckBoxTextType->isChecked();
    c.memoText = MemoBytes(text.MemoText);
    c.needHeader = textOptions.NeedHeader->isChecked();
    c.headerStandard = textOptions.HeaderStandart->isChecked();
    c.beginChar = ToCp1251(textOptions.BeginChar->text());
    c.needEnded = textOptions.NeedEnded->isChecked();
    c.endedStandard = textOptions.EndedStandart->isChecked();
    c.endChar = ToCp1251(textOptions.EndChar->text());
    c.allSymbols = textOptions.AllSymbols->isChecked();
    c.selectedSymbols = MemoBytes(textOptions.MemoSelectedSymbols);
    return c;
}

} // namespace qlor
