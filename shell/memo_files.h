#pragma once
// A memo's text read from and written to a file the operator chooses, byte for byte as the memo
// holds it (Windows-1251, every line ended by CR LF).
#include "control/program_texts.h"
#include "shell/ui_dialogs.h"

class QPlainTextEdit;
class QWidget;

namespace qlor {

// Asks for a file and puts its bytes into the memo. The memo is replaced only once the whole
// file has been read, so a file that cannot be read (a folder, a FIFO, a device, too large, no
// permission) is reported and leaves the text that was there.
void OpenFileIntoMemo(UiDialogs& dialogs, QWidget* parent, const FileDialogSpec& request, const ProgramTextTable& texts,
                      QPlainTextEdit* memo);

// Asks for a file name and writes the memo's bytes there; a failure is reported and leaves any
// earlier file of that name as it was.
void SaveMemoToFile(UiDialogs& dialogs, QWidget* parent, FileDialogSpec request, const ProgramTextTable& texts,
                    const QPlainTextEdit* memo);

} // namespace qlor
