// The Text page: open a text file into the memo, save the memo to a file, clear it.
#include "shell/main_form_pages.h"

#include "shell/memo_files.h"

namespace qlor {

void TMainForm::ButtonOpenClick() {
    FileDialogSpec request = OpenDialogText;
    request.filterIndex = 1;
    OpenFileIntoMemo(*dialogs_, this, request, OwnTexts(), text.MemoText);
}

void TMainForm::ButtonSaveClick() {
    FileDialogSpec request = SaveDialogText;
    if (textOptions.CheckBoxTextType->isChecked()) {
        request.fileName = QStringLiteral("*.txt");
    } else {
        QString name;
        for (const int digit : settings_.number)
            name += QString::number(digit);
        request.fileName = name + QStringLiteral(".txt");
    }
    SaveMemoAs(request, text.MemoText);
}

void TMainForm::SaveMemoAs(const FileDialogSpec& request, const QPlainTextEdit* memo) {
    SaveMemoToFile(*dialogs_, this, request, OwnTexts(), memo);
}

void TMainForm::ButtonClearClick() {
    text.MemoText->clear();
}

} // namespace qlor
