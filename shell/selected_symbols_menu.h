#pragma once
// The context menu of the selected-symbols list: the memo's own commands, then the full alphabet
// (the double-click command, so that the keyboard reaches it too) and the drills that fill the
// list as the operator could by hand.
#include "control/program_texts.h"
#include "exercises/check_statistics.h"

#include <QObject>
#include <QPoint>

#include <string>

class QAbstractButton;
class QPlainTextEdit;
class QWidget;

namespace qlor {

class UiDialogs;
class WindowHistory;

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

// The selected-symbols list with its radio button SelectedSymbols, as the window offers it: the
// context menu and the double-click above, and the drills, from the menu or the progress window.
// A child of the list, made once with the window.
class SelectedSymbolsList : public QObject {
public:
    // Messages go over `window` through `dialogs` in `texts` as they read then; the weak-character
    // drill reads `history` (none of them owned).
    SelectedSymbolsList(QPlainTextEdit* memo, QAbstractButton* selectedSymbols, WindowHistory& history,
                        UiDialogs& dialogs, const ProgramTextTable& texts, QWidget* window);

    // The drills: they put characters into the list and select SelectedSymbols, as the operator
    // could by hand, and only while the list can be edited. True when they did.
    bool DrillWeakCharacters(const StatsWindow& window);
    bool DrillKochLesson(int lesson);
    // The characters of the list, where a drill has put them.
    QString Text() const;
    // Checks the weak-character drill reads when it is chosen from the list's menu.
    static constexpr int kDrillChecks = 100;

private:
    void ShowMenu(QPoint pos);

    QPlainTextEdit* memo_;
    QAbstractButton* selectedSymbols_;
    WindowHistory& history_;
    UiDialogs& dialogs_;
    const ProgramTextTable& texts_;
    QWidget* window_;
};

} // namespace qlor
