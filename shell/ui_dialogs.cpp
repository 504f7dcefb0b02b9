#include "shell/ui_dialogs.h"

#include "control/session.h"
#include "shell/qt_program_text.h"

#include <new>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QRegularExpression>

namespace qlor {

QStringList QtNameFilters(const QString& filter) {
    QStringList out;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString pattern = parts[i + 1].trimmed();
        // Qt reads the patterns from the last parentheses of a filter. Keep a description that
        // already ends with its pattern (in any letter case); otherwise add the pattern.
        static const QRegularExpression tail(QStringLiteral("\\(([^()]*)\\)\\s*$"));
        const auto m = tail.match(description);
        if (m.hasMatch() && m.captured(1).compare(pattern, Qt::CaseInsensitive) == 0)
            out << description;
        else
            out << description + QStringLiteral(" (") + QString(pattern).replace(u';', u' ') + u')';
    }
    return out;
}

namespace {

void Prepare(QFileDialog& dialog, const FileDialogSpec& request) {
    const QStringList filters = QtNameFilters(request.filter);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters[request.filterIndex - 1]);
    dialog.setDefaultSuffix(request.defaultExt);
    dialog.setDirectory(QDir::current());
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
}

} // namespace

std::optional<QString> QtUiDialogs::OpenFile(QWidget* parent, const FileDialogSpec& request) {
    QFileDialog dialog(parent);
    Prepare(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtUiDialogs::SaveFile(QWidget* parent, const FileDialogSpec& request) {
    QFileDialog dialog(parent);
    Prepare(dialog, request);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        const QString path = dialog.selectedFiles().constFirst();
        // The folder of the chosen name must already exist.
        if (!request.pathMustExist || QFileInfo(path).absoluteDir().exists())
            return path;
        QMessageBox::warning(parent, QApplication::applicationDisplayName(),
                             request.folderMissing.arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath())));
    }
}

std::optional<QString> QtUiDialogs::ChooseFolder(QWidget* parent, const QString& startFolder) {
    const QString folder = QFileDialog::getExistingDirectory(parent, QString(), startFolder);
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

namespace {

// A message box whose text is also its accessible description, so that a screen reader speaks
// the message when the box opens, not only its title.
void ShowBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text) {
    QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
    box.setAccessibleDescription(text);
    box.exec();
}

} // namespace

void QtUiDialogs::ShowError(QWidget* parent, const QString& text) {
    ShowBox(parent, QMessageBox::Critical, QApplication::applicationDisplayName(), text);
}

void QtUiDialogs::ShowMessage(QWidget* parent, const QString& caption, const QString& text) {
    ShowBox(parent, QMessageBox::Information, caption, text);
}

QString ExceptionText(const std::exception& error, const ProgramTextTable& texts) {
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return QProgramText(Say::NotEnoughMemory, texts);
    return QString::fromLocal8Bit(error.what());
}

QString FileProblemText(const QString& what, const QString& path, const std::string& helperError) {
    const size_t colon = helperError.rfind("\": ");
    QString reason = QString::fromLocal8Bit(colon == std::string::npos ? helperError : helperError.substr(colon + 3));
    if (!reason.isEmpty())
        reason[0] = reason[0].toUpper();
    return what.arg(QDir::toNativeSeparators(path), reason + QLatin1Char('.'));
}

QString StartFailureText(const SessionStart& started, const ProgramTextTable& texts, const QString& midiPath) {
    const QString reason = QString::fromUtf8(started.reason.c_str());
    if (started.failure == SessionFailure::NotPlayable)
        return QProgramText(Say::NothingCanBePlayed, texts).arg(reason);
    return QProgramText(Say::MorseFileNotWritten, texts).arg(QDir::toNativeSeparators(midiPath), reason);
}

} // namespace qlor
