#include "shell/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFormLayout>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

namespace qlor {
namespace {

constexpr char kStatusLine[] = "qlorStatusLine";       // bool: the label is a status line
constexpr char kStatusSubject[] = "qlorStatusSubject"; // QString: what the line is about
constexpr char kGroup[] = "qlorGroup";                 // bool: the frame groups radio buttons

QString StatusName(const QLabel* label) {
    const QString subject = label->property(kStatusSubject).toString();
    if (label->text().isEmpty())
        return subject;
    return subject.isEmpty() ? label->text() : subject + QStringLiteral(": ") + label->text();
}

// A status line as the accessibility bus sees it: a status bar whose text can be read through the
// text interface and whose name carries the status.
class StatusLineAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit StatusLineAccessible(QLabel* label) : QAccessibleWidget(label, QAccessible::StatusBar) {}

    QLabel* Label() const { return static_cast<QLabel*>(widget()); }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QString text(QAccessible::Text t) const override {
        switch (t) {
        case QAccessible::Name:
            return StatusName(Label());
        case QAccessible::Value:
            return Label()->text();
        default:
            return QAccessibleWidget::text(t);
        }
    }

    // Read-only text without a caret or a selection.
    void selection(int, int* startOffset, int* endOffset) const override { *startOffset = *endOffset = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int startOffset, int endOffset) const override {
        return Label()->text().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return static_cast<int>(Label()->text().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* startOffset, int* endOffset) const override {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }
};

QAccessibleInterface* StatusAccessibleFactory(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String("QLabel") && object->property(kStatusLine).toBool())
        return new StatusLineAccessible(static_cast<QLabel*>(object));
    // The main window is a plain widget, which Qt would call a filler; screen readers look for a
    // frame to announce its title and its activation.
    if (className == QLatin1String("qlor::TMainForm"))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    if (className == QLatin1String("QFrame") && object->property(kGroup).toBool())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Grouping);
    return nullptr;
}

void SendNameChanged(QObject* object) {
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent ev(object, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&ev);
}

} // namespace

void InstallWindowAccessibility() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(StatusAccessibleFactory);
}

void MakeStatusLine(QLabel* label) {
    label->setProperty(kStatusLine, true);
}

void SetStatusSubject(QLabel* label, const QString& subject) {
    if (label->property(kStatusSubject).toString() == subject)
        return;
    label->setProperty(kStatusSubject, subject);
    SendNameChanged(label);
}

void ShowStatus(QLabel* label, const QString& text) {
    const QString old = label->text();
    if (old == text)
        return;
    label->setText(text);
    if (!QAccessible::isActive())
        return;
    QAccessibleTextUpdateEvent changed(label, 0, old, text);
    QAccessible::updateAccessibility(&changed);
    SendNameChanged(label);
}

void AddLabelledRow(QFormLayout* form, QLabel* label, QWidget* field) {
    label->setBuddy(field);
    form->addRow(label, field);
}

void MakeGroup(QFrame* frame) {
    frame->setProperty(kGroup, true);
}

void AnnounceDescription(QWidget* widget, const QString& text) {
    // setAccessibleDescription sends the change itself.
    widget->setAccessibleDescription(text);
}

void EnterPressesButtons::InstallOn(QWidget* root) {
    for (QAbstractButton* button : root->findChildren<QAbstractButton*>()) {
        if ((qobject_cast<QPushButton*>(button) || qobject_cast<QToolButton*>(button)) && !button->isCheckable())
            button->installEventFilter(this);
    }
}

bool EnterPressesButtons::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
        return false;
    if (key->modifiers() & ~Qt::KeypadModifier)
        return false;
    auto* button = qobject_cast<QAbstractButton*>(watched);
    if (!button || !button->isEnabled())
        return false;
    // Held down, the key presses once, like Space.
    if (!key->isAutoRepeat())
        button->click();
    return true;
}

} // namespace qlor
