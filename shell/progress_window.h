#pragma once
// The progress window: the recorded checks as a chart of the error rate over time with the
// sending speed, the per-character table with the most common confusions, the drills and the
// export of the history as CSV. Not modal; opened from the Reception page.
#include "exercises/check_statistics.h"

#include "ui_progresswindow.h"

#include <QWidget>

#include <vector>

namespace qlor {

class TMainForm;

// `frame` moved as little as puts it wholly inside `area`; a frame larger than the area is put
// at the area's top left corner, so its title bar and close button stay reachable.
QRect KeepInside(QRect frame, const QRect& area);

class ProgressWindow : public QWidget {
    Q_OBJECT
public:
    explicit ProgressWindow(TMainForm* form);

    Ui::ProgressWindow ui;

    // Reads the history again and redraws the chart, the table and the summary.
    void Refresh();
    // Shows the window wholly on the main window's screen: the first time centred over the main
    // window, later where it was left.
    void ShowOnScreen();
    // The window's texts in the language of the main window's current position.
    void ShowTexts();
    // The checks the chosen items of WindowComboBox and TypeComboBox show.
    StatsWindow CurrentWindow() const;
    const Statistics& CurrentStatistics() const { return stats_; }

public slots:
    void WindowComboBoxChange(int index);
    void ButtonDrillWeakClick();
    void ButtonDrillKochClick();
    void ButtonExportCsvClick();

private:
    void ShowStatistics();

    // Moves the window into the available area of the main window's screen.
    void MoveOntoScreen();

    TMainForm* form_;
    bool placed_ = false;
    std::vector<CheckRecord> checks_;
    Statistics stats_;
};

} // namespace qlor
