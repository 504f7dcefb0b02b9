#pragma once
// The context menu of the selected-symbols list: the memo's own commands, then the full alphabet
// (the double-click command, so that the keyboard reaches it too) and the drills that fill the
// list as the operator could by hand.
#include "control/program_texts.h"

#include <QPoint>

#include <string>

class QAbstractButton;
class QPlainTextEdit;

namespace qlor {

struct SymbolsMenuChoice {
    enum class Kind { None, FullAlphabet, WeakDrill, KochLesson };
    Kind kind = Kind::None;
    int lesson = 0; // of a Koch lesson
};

// Shows the menu at `pos` (the memo's coordinates) and returns the command chosen; the list's own
// commands (copy, paste...) run inside. The commands that fill the list are offered only while it
// can be edited, the weak-character drill only with a history.
SymbolsMenuChoice ExecSelectedSymbolsMenu(QPlainTextEdit* memo, QPoint pos, const ProgramTextTable& texts,
                                          bool haveHistory);

// A left double-click on the list puts the full alphabet in while the list is enabled; the
// double-click selects nothing then.
void InstallFullAlphabetOnDoubleClick(QPlainTextEdit* memo);
// Puts the full alphabet into the list.
void PutFullAlphabet(QPlainTextEdit* memo);

// True while the list can be edited, so a drill may fill it.
bool SymbolListEditable(const QPlainTextEdit* memo);
// Puts a drill's characters (Windows-1251) into the list and checks `selectedSymbols`, as the
// operator could by hand, and only while both can be changed. True when it did.
bool PutDrillSymbols(QPlainTextEdit* memo, QAbstractButton* selectedSymbols, const std::string& cp1251);

} // namespace qlor
