// The Text page: open a text file into the memo, save the memo to a file, clear it.
#include "shell/main_form.h"

#include "shell/memo_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace qlor {
namespace {

// Larger files would make the memo unusable; they are refused with a message.
constexpr qint64 kMaxTextFileBytes = 32LL * 1024 * 1024; // [bytes]

QString FileError(const QString& what, const QString& path, const QString& reason) {
    return what.arg(QDir::toNativeSeparators(path), reason);
}

} // namespace

void TMainForm::ButtonOpenClick() {
    FileDialogSpec request = OpenDialogText;
    request.filterIndex = 1;
    const auto path = dialogs_->OpenFile(this, request);
    if (!path)
        return;
    // The memo is replaced only once the whole file has been read, so a file that cannot be read
    // leaves the text that was there.
    const QFileInfo info(*path);
    if (!info.isFile()) {
        dialogs_->ShowError(this, FileError(OwnText(Say::CannotOpenFile), *path, OwnText(Say::NotRegularFile)));
        return;
    }
    if (info.size() > kMaxTextFileBytes) {
        dialogs_->ShowError(this, FileError(OwnText(Say::CannotOpenFile), *path,
                                            OwnText(Say::FileTooLarge).arg(kMaxTextFileBytes >> 20)));
        return;
    }
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly)) {
        dialogs_->ShowError(this, FileError(OwnText(Say::CannotOpenFile), *path, file.errorString()));
        return;
    }
    const QByteArray bytes = file.read(kMaxTextFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        dialogs_->ShowError(this, FileError(OwnText(Say::CannotReadFile), *path, file.errorString()));
        return;
    }
    file.close();
    SetMemoBytes(text.MemoText, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
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
    const auto path = dialogs_->SaveFile(this, request);
    if (!path)
        return;
    const std::string bytes = MemoBytes(memo);
    // Written under a temporary name and renamed into place, so a failed write leaves any file
    // of that name as it was.
    QSaveFile file(*path);
    if (!file.open(QIODevice::WriteOnly)) {
        dialogs_->ShowError(this, FileError(OwnText(Say::CannotCreateFile), *path, file.errorString()));
        return;
    }
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()) ||
        !file.commit()) {
        // The temporary file is discarded with the QSaveFile.
        dialogs_->ShowError(this, FileError(OwnText(Say::CannotWriteFile), *path, file.errorString()));
    }
}

void TMainForm::ButtonClearClick() {
    text.MemoText->clear();
}

} // namespace qlor
