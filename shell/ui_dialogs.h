#pragma once
// The window's modal dialogs behind one small interface, so that tests can answer them: file open
// and save, the folder chooser and the two message boxes (the standard error report and a plain
// message).
#include "control/program_texts.h"

#include <QString>
#include <QStringList>

#include <exception>
#include <optional>
#include <string>

class QWidget;

namespace qlor {

struct SessionStart;

// A file dialog as the window describes it. The filter is a list of "description|pattern" pairs
// joined by "|", e.g. "Звуковые файлы (*.wav)|*.wav|Все файлы (*.*)|*.*".
struct FileDialogSpec {
    QString filter;
    int filterIndex = 1; // 1-based: the filter selected when the dialog opens
    QString defaultExt;  // appended when the typed name has no extension ("" for none)
    QString fileName;    // proposed name ("0123.txt", "*.txt")
    bool overwritePrompt = false;
    bool pathMustExist = true;
    // The message the dialog itself may show ("%1" the folder), in the window's language.
    QString folderMissing = QString::fromUtf8(ProgramText(Say::FolderMissing, TextLanguage::English));
};

// Qt name filters of a "description|pattern|..." list; the pattern is shown in the description
// when the description does not already name it. Patterns match regardless of letter case.
QStringList QtNameFilters(const QString& filter);

class UiDialogs {
public:
    virtual ~UiDialogs() = default;
    // The chosen path, or nothing when the user cancels.
    virtual std::optional<QString> OpenFile(QWidget* parent, const FileDialogSpec& request) = 0;
    virtual std::optional<QString> SaveFile(QWidget* parent, const FileDialogSpec& request) = 0;
    virtual std::optional<QString> ChooseFolder(QWidget* parent, const QString& startFolder) = 0;
    // The standard error report: a message box with the error's text.
    virtual void ShowError(QWidget* parent, const QString& text) = 0;
    // A message of the program's own (e.g. the text generator's).
    virtual void ShowMessage(QWidget* parent, const QString& caption, const QString& text) = 0;
};

// The real dialogs of the desktop.
class QtUiDialogs : public UiDialogs {
public:
    std::optional<QString> OpenFile(QWidget* parent, const FileDialogSpec& request) override;
    std::optional<QString> SaveFile(QWidget* parent, const FileDialogSpec& request) override;
    std::optional<QString> ChooseFolder(QWidget* parent, const QString& startFolder) override;
    void ShowError(QWidget* parent, const QString& text) override;
    void ShowMessage(QWidget* parent, const QString& caption, const QString& text) override;
};

// The text of an exception for the error report ("not enough memory" for bad_alloc, from `texts`).
QString ExceptionText(const std::exception& error, const ProgramTextTable& texts);
// The report of a file that could not be read or written: `what` with "%1" the path (native
// separators) and "%2" the reason, taken from a file helper's error ("cannot read "PATH": reason")
// after the path, which is named already, as a sentence.
QString FileProblemText(const QString& what, const QString& path, const std::string& helperError);
// The report of a transmission that did not start (`started` failed): nothing can be played, with
// the reason, or the MIDI file at `midiPath` could not be written.
QString StartFailureText(const SessionStart& started, const ProgramTextTable& texts, const QString& midiPath);

} // namespace qlor
