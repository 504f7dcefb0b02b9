#include "shell/memo_files.h"

#include "base/safe_file.h"
#include "shell/memo_text.h"
#include "shell/qt_program_text.h"

#include <QFile>

namespace qlor {
namespace {

// Larger files would make the memo unusable; they are refused with a message.
constexpr qint64 kMaxTextFileBytes = 32LL * 1024 * 1024; // [bytes]

} // namespace

void OpenFileIntoMemo(UiDialogs& dialogs, QWidget* parent, const FileDialogSpec& request, const ProgramTextTable& texts,
                      QPlainTextEdit* memo) {
    const auto path = dialogs.OpenFile(parent, request);
    if (!path)
        return;
    const FileBytes file = ReadRegularFile(QFile::encodeName(*path).toStdString(), kMaxTextFileBytes);
    if (!file.ok()) {
        dialogs.ShowError(parent, FileProblemText(QProgramText(Say::CannotOpenFile, texts), *path, file.error));
        return;
    }
    SetMemoBytes(memo, file.bytes);
}

void SaveMemoToFile(UiDialogs& dialogs, QWidget* parent, FileDialogSpec request, const ProgramTextTable& texts,
                    const QPlainTextEdit* memo) {
    request.folderMissing = QProgramText(Say::FolderMissing, texts);
    const auto path = dialogs.SaveFile(parent, request);
    if (!path)
        return;
    const std::string bytes = MemoBytes(memo);
    // Written under a temporary name, synced and renamed into place, so a failed write (a full
    // disk included) leaves any file of that name as it was.
    const std::string error = WriteFileAtomically(QFile::encodeName(*path).toStdString(), bytes);
    if (!error.empty())
        dialogs.ShowError(parent, FileProblemText(QProgramText(Say::CannotWriteFile, texts), *path, error));
}

} // namespace qlor
