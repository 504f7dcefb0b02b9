#include "shell/selected_symbols_menu.h"

#include "exercises/koch_drill.h"
#include "shell/memo_text.h"
#include "shell/qt_program_text.h"
#include "shell/stored_controls.h"
#include "shell/ui_dialogs.h"
#include "shell/window_history.h"
#include "synthesis/transmission_settings.h"

#include <QAbstractButton>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>

#include <memory>
#include <vector>

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

SelectedSymbolsList::SelectedSymbolsList(QPlainTextEdit* memo, QAbstractButton* selectedSymbols, WindowHistory& history,
                                         UiDialogs& dialogs, const ProgramTextTable& texts, QWidget* window)
    : QObject(memo), memo_(memo), selectedSymbols_(selectedSymbols), history_(history), dialogs_(dialogs),
      texts_(texts), window_(window) {
    InstallFullAlphabetOnDoubleClick(memo_);
    memo_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(memo_, &QWidget::customContextMenuRequested, this, &SelectedSymbolsList::ShowMenu);
}

void SelectedSymbolsList::ShowMenu(QPoint pos) {
    const SymbolsMenuChoice choice = ExecSelectedSymbolsMenu(memo_, pos, texts_, history_.Get() != nullptr);
    switch (choice.kind) {
    case SymbolsMenuChoice::Kind::None:
        break;
    case SymbolsMenuChoice::Kind::FullAlphabet:
        PutFullAlphabet(memo_);
        break;
    case SymbolsMenuChoice::Kind::WeakDrill: {
        StatsWindow window;
        window.lastChecks = kDrillChecks;
        DrillWeakCharacters(window);
        break;
    }
    case SymbolsMenuChoice::Kind::KochLesson:
        DrillKochLesson(choice.lesson);
        break;
    }
}

QString SelectedSymbolsList::Text() const {
    return FromCp1251(MemoBytes(memo_));
}

bool SelectedSymbolsList::DrillKochLesson(int lesson) {
    return PutDrillSymbols(memo_, selectedSymbols_, KochLessonSymbols(lesson));
}

bool SelectedSymbolsList::DrillWeakCharacters(const StatsWindow& window) {
    if (!SymbolListEditable(memo_))
        return false;
    std::vector<CheckRecord> checks;
    history_.Load(checks, false);
    // Only characters the generator can draw: those of the full alphabet.
    const std::string symbols = WeakCharacterDrill(checks, window);
    if (symbols.empty()) {
        dialogs_.ShowMessage(window_, QProgramText(Say::DrillWeak, texts_),
                             QProgramText(Say::DrillNothingToPractise, texts_).arg(kDefaultMinOccurrences));
        return false;
    }
    return PutDrillSymbols(memo_, selectedSymbols_, symbols);
}

} // namespace qlor
