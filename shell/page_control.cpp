#include "shell/page_control.h"

#include "shell/qt_program_text.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QPainter>
#include <QShortcut>
#include <QStackedWidget>
#include <QStyleOptionTab>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>

#include <algorithm>

namespace qlor {

PageTab::PageTab(PageControl* owner, int index) : QAbstractButton(owner), owner_(owner), index_(index) {
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (owner_->RequestPage(index_, owner_))
            setFocus(Qt::MouseFocusReason);
    });
}

bool PageTab::IsCurrent() const {
    return owner_->currentIndex() == index_;
}

QSize PageTab::sizeHint() const {
    return {PageControl::kTabWidth, PageControl::kTabHeight};
}

void PageTab::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QStyleOptionTab opt;
    opt.initFrom(this);
    opt.shape = QTabBar::RoundedSouth;
    opt.text = text();
    opt.rect = rect();
    opt.tabIndex = index_;
    const int perRow = owner_->TabsPerRow();
    const int column = index_ % perRow;
    const int rowEnd = std::min(owner_->count(), (index_ / perRow + 1) * perRow);
    const int rowLength = rowEnd - (index_ / perRow) * perRow;
    if (rowLength == 1)
        opt.position = QStyleOptionTab::OnlyOneTab;
    else if (column == 0)
        opt.position = QStyleOptionTab::Beginning;
    else if (column == rowLength - 1)
        opt.position = QStyleOptionTab::End;
    else
        opt.position = QStyleOptionTab::Middle;
    const int current = owner_->currentIndex();
    if (current == index_ - 1 && column > 0)
        opt.selectedPosition = QStyleOptionTab::PreviousIsSelected;
    else if (current == index_ + 1 && column < rowLength - 1)
        opt.selectedPosition = QStyleOptionTab::NextIsSelected;
    else
        opt.selectedPosition = QStyleOptionTab::NotAdjacent;
    if (IsCurrent())
        opt.state |= QStyle::State_Selected;
    else
        opt.state &= ~QStyle::State_Selected;
    if (hasFocus())
        opt.state |= QStyle::State_HasFocus;
    style()->drawControl(QStyle::CE_TabBarTab, &opt, &p, this);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(4, 3, -4, -3);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }
}

void PageTab::keyPressEvent(QKeyEvent* event) {
    int target = -1;
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        target = index_ - 1;
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        target = index_ + 1;
        break;
    case Qt::Key_Home:
        target = 0;
        break;
    case Qt::Key_End:
        target = owner_->count() - 1;
        break;
    default:
        QAbstractButton::keyPressEvent(event);
        return;
    }
    if (target >= 0 && target < owner_->count() && owner_->RequestPage(target, owner_))
        owner_->Tab(target)->setFocus(Qt::TabFocusReason);
    event->accept();
}

PageControl::PageControl(QWidget* parent) : QWidget(parent), stack_(new QStackedWidget(this)) {
    stack_->setObjectName(QStringLiteral("PageStack"));
    connect(stack_, &QStackedWidget::currentChanged, this, [this](int index) {
        Relayout();
        UpdateTabs();
        emit currentChanged(index);
    });
    const auto addShortcut = [this](const QKeySequence& keys, int delta) {
        auto* s = new QShortcut(keys, this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, [this, delta] { StepPage(delta); });
    };
    addShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), +1);
    addShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1);
    addShortcut(QKeySequence(Qt::CTRL | Qt::Key_Backtab), -1);
    addShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageDown), +1);
    addShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1);
}

int PageControl::AddPage(QWidget* page, const QString& caption) {
    const int index = stack_->addWidget(page);
    auto* tab = new PageTab(this, index);
    tab->setText(caption);
    tab->setObjectName(page->objectName() + QStringLiteral("Tab"));
    tabs_.push_back(tab);
    Relayout();
    UpdateTabs();
    return index;
}

int PageControl::currentIndex() const {
    return stack_->currentIndex();
}
QWidget* PageControl::currentWidget() const {
    return stack_->currentWidget();
}
QWidget* PageControl::widget(int index) const {
    return stack_->widget(index);
}
int PageControl::indexOf(QWidget* page) const {
    return stack_->indexOf(page);
}

PageTab* PageControl::Tab(int index) const {
    return index >= 0 && index < count() ? tabs_[static_cast<size_t>(index)] : nullptr;
}

void PageControl::setCurrentIndex(int index) {
    if (index < 0 || index >= count())
        return;
    const bool tabHadFocus = currentIndex() >= 0 && Tab(currentIndex())->hasFocus();
    stack_->setCurrentIndex(index);
    if (tabHadFocus)
        Tab(index)->setFocus(Qt::OtherFocusReason);
}

void PageControl::setCurrentWidget(QWidget* page) {
    setCurrentIndex(indexOf(page));
}

bool PageControl::RequestPage(int index, QObject* sender) {
    if (index < 0 || index >= count())
        return false;
    if (index == currentIndex())
        return true;
    bool allowChange = true;
    if (changing_)
        changing_(sender ? sender : this, allowChange);
    if (!allowChange)
        return false;
    setCurrentIndex(index);
    return true;
}

void PageControl::StepPage(int delta) {
    if (count() == 0)
        return;
    const int target = (currentIndex() + delta + count()) % count();
    RequestPage(target, this);
}

void PageControl::setTabText(int index, const QString& text) {
    if (PageTab* tab = Tab(index)) {
        tab->setText(text);
        tab->update();
    }
}

QString PageControl::tabText(int index) const {
    const PageTab* tab = Tab(index);
    return tab ? tab->text() : QString();
}

int PageControl::TabsPerRow() const {
    return std::max(1, width() / kTabWidth);
}

int PageControl::RowCount() const {
    const int perRow = TabsPerRow();
    return std::max(1, (count() + perRow - 1) / perRow);
}

QRect PageControl::FrameRect() const {
    return {0, 0, width(), height() - RowCount() * kTabHeight};
}

QRect PageControl::PageRect() const {
    return FrameRect().adjusted(kPageMargin, kPageMargin, -kPageMargin, -kPageMargin);
}

void PageControl::resizeEvent(QResizeEvent*) {
    Relayout();
}

int PageControl::DisplayRow(int row) const {
    // The row of the current tab sits against the frame, the other rows keep their order below it.
    const int currentRow = std::max(0, currentIndex()) / TabsPerRow();
    if (row == currentRow)
        return 0;
    return row < currentRow ? row + 1 : row;
}

void PageControl::Relayout() {
    stack_->setGeometry(PageRect());
    const int perRow = TabsPerRow();
    const int top = FrameRect().bottom() + 1;
    for (int i = 0; i < count(); ++i) {
        const int row = DisplayRow(i / perRow);
        const int column = i % perRow;
        tabs_[static_cast<size_t>(i)]->setGeometry(column * kTabWidth, top + row * kTabHeight, kTabWidth, kTabHeight);
    }
    update();
}

void PageControl::UpdateTabs() {
    const int current = currentIndex();
    for (int i = 0; i < count(); ++i) {
        PageTab* tab = tabs_[static_cast<size_t>(i)];
        tab->setFocusPolicy(i == current ? Qt::StrongFocus : Qt::NoFocus);
        tab->update();
        if (i == current && QAccessible::isActive()) {
            QAccessible::State changed;
            changed.selected = true;
            QAccessibleStateChangeEvent ev(tab, changed);
            QAccessible::updateAccessibility(&ev);
        }
    }
    update();
}

void PageControl::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QStyleOptionTabWidgetFrame opt;
    opt.initFrom(this);
    opt.rect = FrameRect();
    opt.shape = QTabBar::RoundedSouth;
    opt.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    opt.tabBarSize = QSize(std::min(count(), TabsPerRow()) * kTabWidth, kTabHeight);
    if (const PageTab* tab = Tab(currentIndex()); tab && tab->geometry().top() == FrameRect().bottom() + 1)
        opt.selectedTabRect = tab->geometry();
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &opt, &p, this);
}

namespace {

// A tab as screen readers see it: a page tab that is selected while its page shows and that can be
// pressed (which asks the page control, like a click).
class PageTabAccessible : public QAccessibleWidget {
public:
    explicit PageTabAccessible(PageTab* tab) : QAccessibleWidget(tab, QAccessible::PageTab) {}

    PageTab* Tab() const { return static_cast<PageTab*>(widget()); }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) {
            if (!Tab()->accessibleName().isEmpty())
                return Tab()->accessibleName();
            if (Tab()->text().isEmpty()) {
                return QProgramText(Say::AccBlankPage, TextLanguage::English);
            }
            return Tab()->text();
        }
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.selectable = true;
        s.selected = Tab()->IsCurrent();
        s.focusable = true;
        return s;
    }

    QStringList actionNames() const override {
        QStringList names{pressAction()};
        for (const QString& n : QAccessibleWidget::actionNames())
            if (n != pressAction())
                names << n;
        return names;
    }

    void doAction(const QString& name) override {
        if (name == pressAction())
            Tab()->click();
        else
            QAccessibleWidget::doAction(name);
    }

    QStringList keyBindingsForAction(const QString&) const override { return {}; }
};

QAccessibleInterface* PageControlAccessibleFactory(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String("qlor::PageTab"))
        return new PageTabAccessible(static_cast<PageTab*>(object));
    if (className == QLatin1String("qlor::PageControl"))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::PageTabList);
    return nullptr;
}

} // namespace

void InstallPageControlAccessibility() {
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(PageControlAccessibleFactory);
}

} // namespace qlor
