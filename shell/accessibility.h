#pragma once
// What screen readers and keyboard users need beyond Qt's defaults: status lines whose changes are
// announced, named frames that group radio buttons, and Enter / Return pressing the focused push
// button as Space does.
#include <QObject>
#include <QString>

class QFormLayout;
class QFrame;
class QLabel;
class QWidget;

namespace qlor {

// Makes `label` a status line: a status bar with a text interface whose accessible name is
// "<subject>: <text>". Must be called before anything asks for the label's accessible interface.
void MakeStatusLine(QLabel* label);
// The subject of a status line ("Export status"); the name follows it at once.
void SetStatusSubject(QLabel* label, const QString& subject);
// Shows a new status text and announces it: the text interface sends the change and the name
// changes with it, so a screen reader speaks it without the line having the focus.
void ShowStatus(QLabel* label, const QString& text);

// Adds `field` to `form` under `label`, which becomes its buddy: the label's mnemonic moves the
// focus to the field, and screen readers name the field by the label.
void AddLabelledRow(QFormLayout* form, QLabel* label, QWidget* field);

// Makes `frame` a named group for the radio buttons inside it. Call before the frame's accessible
// interface is asked for; the name itself is its accessible name.
void MakeGroup(QFrame* frame);

// Announces a text that belongs to `widget` without changing what it shows (the check's total
// after the check list has been filled): it becomes the widget's accessible description.
void AnnounceDescription(QWidget* widget, const QString& text);

// Installs the accessibility factory of these classes and of the main window once (idempotent);
// called before the first window is created.
void InstallWindowAccessibility();

// Lets Enter and Return press every push button and step button under `root`, as Space does.
// Check boxes, radio buttons and the page tabs keep their own keys.
class EnterPressesButtons : public QObject {
    Q_OBJECT
public:
    explicit EnterPressesButtons(QObject* parent = nullptr) : QObject(parent) {}
    void InstallOn(QWidget* root);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace qlor
