// The Text page: open a text file into the memo, save the memo to a file, clear it.
#include "shell/main_form_pages.h"

#include "base/safe_file.h"
#include "shell/memo_text.h"

#include <QFile>

namespace qlor {
namespace {

// Larger files would make the memo unusable; they are refused with a message.
constexpr qint64 kMaxTextFileBytes = 32LL * 1024 * 1024; // [bytes]

} // namespace

void TMainForm::ButtonOpenClick() {
    FileDialogSpec request = OpenDialogText;
    request.filterIndex = 1;
    const auto path = dialogs_->OpenFile(this, request);
    if (!path)
        return;
    // The memo is replaced only once the whole file has been read, so a file that cannot be read
    // (a folder, a FIFO, a device, too large, no permission) leaves the text that was there.
    const FileBytes file = ReadRegularFile(QFile::encodeName(*path).toStdString(), kMaxTextFileBytes);
    if (!file.ok()) {
        dialogs_->ShowError(this, FileProblemText(OwnText(Say::CannotOpenFile), *path, file.error));
        return;
    }
    SetMemoBytes(text.MemoText, file.bytes);
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
    FileDialogSpec ask = request;
    ask.folderMissing = OwnText(Say::FolderMissing);
    const auto path = dialogs_->SaveFile(this, ask);
    if (!path)
        return;
    const std::string bytes = MemoBytes(memo);
    // Written under a temporary name, synced and renamed into place, so a failed write (a full
    // disk included) leaves any file of that name as it was.
    const std::string error = WriteFileAtomically(QFile::encodeName(*path).toStdString(), bytes);
    if (!error.empty())
        dialogs_->ShowError(this, FileProblemText(OwnText(Say::CannotWriteFile), *path, error));
}

void TMainForm::ButtonClearClick() {
    text.MemoText->clear();
}

} // namespace qlor
