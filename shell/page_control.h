#pragma once
// The window's page control: pages stacked in a frame, their tabs along the bottom edge in as many
// rows as the width needs, every tab 97 pixels wide. A user's change of page (a click on a tab,
// the arrow keys on the tabs, Ctrl+Tab / Ctrl+Shift+Tab, Ctrl+PgDown / Ctrl+PgUp) first asks the
// owner's Changing handler, which may refuse it; setCurrentIndex() from code asks nobody.
#include <QAbstractButton>
#include <QWidget>

#include <functional>
#include <vector>

class QStackedWidget;

namespace qlor {

class PageControl;

// One tab of the page control. It takes keyboard focus only while its page is the current one,
// so the tab row is a single stop in the focus chain and the arrow keys move along it.
class PageTab : public QAbstractButton {
    Q_OBJECT
public:
    PageTab(PageControl* owner, int index);
    int Index() const { return index_; }
    bool IsCurrent() const;
    PageControl* Owner() const { return owner_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    PageControl* owner_;
    int index_;
};

class PageControl : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTabWidth = 97;  // [px]
    static constexpr int kTabHeight = 20; // [px]
    static constexpr int kPageMargin = 2; // [px] between the frame and a page

    // The question before a user's page change; set allowChange to false to keep the page.
    using ChangingHandler = std::function<void(QObject* sender, bool& allowChange)>;

    explicit PageControl(QWidget* parent = nullptr);

    int AddPage(QWidget* page, const QString& caption);
    int count() const { return static_cast<int>(tabs_.size()); }
    int currentIndex() const;
    QWidget* currentWidget() const;
    QWidget* widget(int index) const;
    int indexOf(QWidget* page) const;
    PageTab* Tab(int index) const;

    // Changes the page without asking (a change made by the program itself).
    void setCurrentIndex(int index);
    void setCurrentWidget(QWidget* page);
    // A change asked for by the user: the Changing handler decides. Returns whether it happened.
    bool RequestPage(int index, QObject* sender = nullptr);
    void SetChangingHandler(ChangingHandler handler) { changing_ = std::move(handler); }

    void setTabText(int index, const QString& text);
    QString tabText(int index) const;

    int TabsPerRow() const;
    int RowCount() const;
    QRect FrameRect() const; // the frame around the pages, in this widget's coordinates
    QRect PageRect() const;  // the area a page fills

signals:
    void currentChanged(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void Relayout();
    int DisplayRow(int row) const;
    void UpdateTabs();
    void StepPage(int delta);

    QStackedWidget* stack_;
    std::vector<PageTab*> tabs_;
    ChangingHandler changing_;
};

// Makes screen readers see the tabs as a page-tab list with selectable page tabs that can be
// pressed. Called once before the first window is created (idempotent).
void InstallPageControlAccessibility();

} // namespace qlor
