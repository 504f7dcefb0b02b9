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

class ProgressWindow : public QWidget {
    Q_OBJECT
public:
    explicit ProgressWindow(TMainForm* form);

    Ui::ProgressWindow ui;

    // Reads the history again and redraws the chart, the table and the summary.
    void Refresh();
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

    TMainForm* form_;
    std::vector<CheckRecord> checks_;
    Statistics stats_;
};

} // namespace qlor
