#include "shell/selected_symbols_menu.h"

#include "exercises/koch_drill.h"
#include "shell/memo_text.h"
#include "shell/qt_program_text.h"
#include "shell/stored_controls.h"
#include "synthesis/transmission_settings.h"

#include <QAbstractButton>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>

#include <memory>

namespace qlor {

SymbolsMenuChoice ExecSelectedSymbolsMenu(QPlainTextEdit* memo, QPoint pos, const ProgramTextTable& texts,
                                          bool haveHistory) {
    std::unique_ptr<QMenu> menu(memo->createStandardContextMenu(pos));
    menu->addSeparator();
    QAction* full = menu->addAction(QProgramText(Say::FullAlphabet, texts));
    const bool editable = SymbolListEditable(memo);
    full->setEnabled(editable);
    QAction* weak = menu->addAction(QProgramText(Say::DrillWeak, texts));
    weak->setEnabled(editable && haveHistory);
    QMenu* koch = menu->addMenu(QProgramText(Say::DrillKoch, texts));
    koch->setEnabled(editable);
    for (int lesson = kKochFirstLesson; lesson <= kKochLastLesson; ++lesson)
        koch->addAction(
                QProgramText(Say::DrillKochLesson, texts).arg(lesson).arg(FromCp1251(KochLessonSymbols(lesson))))
            ->setData(lesson);
    QAction* chosen = menu->exec(memo->mapToGlobal(pos));
    SymbolsMenuChoice choice;
    if (!chosen)
        return choice;
    if (chosen == full)
        choice.kind = SymbolsMenuChoice::Kind::FullAlphabet;
    else if (chosen == weak)
        choice.kind = SymbolsMenuChoice::Kind::WeakDrill;
    else if (koch->actions().contains(chosen))
        choice = {SymbolsMenuChoice::Kind::KochLesson, chosen->data().toInt()};
    return choice;
}

namespace {

// Watches the list's viewport, where the mouse events arrive.
class FullAlphabetOnDoubleClick : public QObject {
public:
    explicit FullAlphabetOnDoubleClick(QPlainTextEdit* memo) : QObject(memo), memo_(memo) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::MouseButtonDblClick ||
            static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
            return QObject::eventFilter(watched, event);
        if (memo_->isEnabled())
            PutFullAlphabet(memo_);
        return true;
    }

private:
    QPlainTextEdit* memo_;
};

} // namespace

void InstallFullAlphabetOnDoubleClick(QPlainTextEdit* memo) {
    memo->viewport()->installEventFilter(new FullAlphabetOnDoubleClick(memo));
}

void PutFullAlphabet(QPlainTextEdit* memo) {
    SetMemoBytes(memo, FullAlphabet());
}

bool SymbolListEditable(const QPlainTextEdit* memo) {
    return memo->isEnabled() && !memo->isReadOnly();
}

bool PutDrillSymbols(QPlainTextEdit* memo, QAbstractButton* selectedSymbols, const std::string& cp1251) {
    if (cp1251.empty() || !SymbolListEditable(memo) || !selectedSymbols->isEnabled())
        return false;
    SetMemoBytes(memo, cp1251);
    SetRadioChecked(selectedSymbols, true);
    return true;
}

} // namespace qlor
