#include "shell/progress_window.h"

#include "exercises/check_report.h"
#include "exercises/koch_drill.h"
#include "shell/accessibility.h"
#include "shell/main_form.h"
#include "shell/memo_text.h"
#include "shell/panel_map.h"
#include "shell/selected_symbols_menu.h"

#include <QDateTime>
#include <QHeaderView>
#include <QSaveFile>
#include <QScreen>
#include <QShortcut>

#include <algorithm>

namespace qlor {
namespace {

// The items of WindowComboBox: how many of the latest checks they show (0: all).
constexpr int kWindowChecks[] = {20, 100, 0};
constexpr Say kWindowTexts[] = {Say::ProgressLast20, Say::ProgressLast100, Say::ProgressAll};
// How many confusions the table names per character.
constexpr std::size_t kHeardShown = 3;

QString Char(unsigned char c) {
    return FromCp1251(std::string(1, static_cast<char>(c)));
}

QString Percent(double rate) {
    return QString::number(100.0 * rate, 'f', 1) + QStringLiteral(" %");
}

} // namespace

ProgressWindow::ProgressWindow(TMainForm* form) : QWidget(form, Qt::Window), form_(form) {
    ui.setupUi(this);
    setObjectName(QStringLiteral("ProgressWindow"));
    setFixedSize(size());
    setFont(form->font());
    for (const int checks : kWindowChecks)
        ui.WindowComboBox->addItem(QString(), checks);
    ui.WindowComboBox->setCurrentIndex(0);
    // Every text type, then each one alone (its number as the item's data).
    ui.TypeComboBox->addItem(QString(), -1);
    for (int type = 0; type <= 5; ++type)
        ui.TypeComboBox->addItem(QString(), type);
    ui.KochSpinBox->setRange(kKochFirstLesson, kKochLastLesson);

    QTableWidget* table = ui.CharTable;
    table->setColumnCount(6);
    table->verticalHeader()->setVisible(false);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6); // [px]
    table->horizontalHeader()->setStretchLastSection(true);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const int columnWidths[] = {58, 52, 52, 58, 56}; // [px]; "heard as" takes the rest
    for (int column = 0; column < 5; ++column)
        table->setColumnWidth(column, columnWidths[column]);

    connect(ui.WindowComboBox, &QComboBox::currentIndexChanged, this, &ProgressWindow::WindowComboBoxChange);
    connect(ui.TypeComboBox, &QComboBox::currentIndexChanged, this, &ProgressWindow::WindowComboBoxChange);
    connect(ui.ButtonDrillWeak, &QPushButton::clicked, this, &ProgressWindow::ButtonDrillWeakClick);
    connect(ui.ButtonDrillKoch, &QPushButton::clicked, this, &ProgressWindow::ButtonDrillKochClick);
    connect(ui.ButtonExportCsv, &QPushButton::clicked, this, &ProgressWindow::ButtonExportCsvClick);
    connect(ui.ButtonClose, &QPushButton::clicked, this, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    // Enter and Return press the buttons here as in the main window.
    (new EnterPressesButtons(this))->InstallOn(this);
    ShowTexts();
}

QRect KeepInside(QRect frame, const QRect& area) {
    frame.moveLeft(std::max(area.left(), std::min(frame.left(), area.right() - frame.width() + 1)));
    frame.moveTop(std::max(area.top(), std::min(frame.top(), area.bottom() - frame.height() + 1)));
    return frame;
}

void ProgressWindow::MoveOntoScreen() {
    const QScreen* screen = form_->screen();
    if (!screen)
        return;
    QRect frame = frameGeometry();
    if (!placed_) {
        frame.moveCenter(form_->frameGeometry().center());
        placed_ = true;
    }
    const QRect inside = KeepInside(frame, screen->availableGeometry());
    if (inside.topLeft() != frameGeometry().topLeft())
        move(inside.topLeft());
}

void ProgressWindow::ShowOnScreen() {
    MoveOntoScreen();
    show();
    // Once shown, the frame the window manager adds is known: keep that on the screen as well.
    MoveOntoScreen();
}

void ProgressWindow::ShowTexts() {
    setWindowTitle(form_->OwnText(Say::ProgressTitle));
    ui.WindowLabel->setText(form_->OwnText(Say::ProgressWindowLabel));
    for (int i = 0; i < ui.WindowComboBox->count(); ++i)
        ui.WindowComboBox->setItemText(i, form_->OwnText(kWindowTexts[i]));
    // The text types by the short names the main panel shows.
    ui.TypeLabel->setText(form_->OwnText(Say::ProgressTypeLabel));
    ui.TypeComboBox->setItemText(0, form_->OwnText(Say::ProgressAll));
    for (int type = 0; type <= 5; ++type)
        ui.TypeComboBox->setItemText(type + 1, form_->English() ? *EnglishTextTypeName(type)
                                                                : form_->CaptionEntry(kTextTypeNameEntry + type));
    ui.ProgressChart->SetTexts(form_->OwnText(Say::ProgressChartEmpty), form_->OwnText(Say::ProgressChartErrors),
                               form_->OwnText(Say::ProgressChartSpeed));
    ui.ProgressChart->setAccessibleName(form_->OwnText(Say::ProgressChartName));
    ui.WindowComboBox->setAccessibleName(form_->OwnText(Say::AccProgressChecksName));
    ui.WindowComboBox->setAccessibleDescription(form_->OwnText(Say::AccProgressChecksDesc));
    ui.TypeComboBox->setAccessibleName(form_->OwnText(Say::AccProgressTypeName));
    ui.TypeComboBox->setAccessibleDescription(form_->OwnText(Say::AccProgressTypeDesc));
    ui.SummaryLabel->setAccessibleName(form_->OwnText(Say::AccProgressSummaryName));
    ui.ProgressChart->setAccessibleDescription(form_->OwnText(Say::AccProgressChartDesc));
    ui.CharTable->setAccessibleName(form_->OwnText(Say::AccProgressTableName));
    ui.CharTable->setAccessibleDescription(form_->OwnText(Say::AccProgressTableDesc));
    ui.ButtonDrillWeak->setAccessibleDescription(form_->OwnText(Say::AccDrillWeakDesc));
    ui.KochSpinBox->setAccessibleName(form_->OwnText(Say::AccKochLessonName));
    ui.ButtonDrillKoch->setAccessibleDescription(form_->OwnText(Say::AccDrillKochDesc));
    ui.ButtonExportCsv->setAccessibleDescription(form_->OwnText(Say::AccExportHistoryDesc));
    ui.StatusLabel->setAccessibleName(form_->OwnText(Say::AccProgressStatusName));
    ui.CharTable->setHorizontalHeaderLabels({form_->OwnText(Say::ColumnCharacter), form_->OwnText(Say::ColumnSent),
                                             form_->OwnText(Say::ColumnCorrect), form_->OwnText(Say::ColumnOmitted),
                                             form_->OwnText(Say::ColumnErrorRate), form_->OwnText(Say::ColumnHeardAs)});
    ui.ButtonDrillWeak->setText(form_->OwnText(Say::DrillWeak));
    ui.KochLabel->setText(form_->OwnText(Say::DrillKoch));
    ui.ButtonDrillKoch->setText(form_->OwnText(Say::DrillKochTake));
    ui.ButtonExportCsv->setText(form_->OwnText(Say::ExportHistory));
    ui.ButtonClose->setText(form_->OwnText(Say::CloseWindow));
    ShowStatistics();
}

StatsWindow ProgressWindow::CurrentWindow() const {
    StatsWindow window;
    window.lastChecks = ui.WindowComboBox->currentData().toInt();
    if (const int type = ui.TypeComboBox->currentData().toInt(); type >= 0)
        window.textType = type;
    return window;
}

void ProgressWindow::Refresh() {
    checks_.clear();
    form_->LoadHistory(checks_, false);
    ShowStatistics();
}

void ProgressWindow::WindowComboBoxChange(int) {
    ShowStatistics();
}

void ProgressWindow::ShowStatistics() {
    const std::vector<const CheckRecord*> chosen = SelectChecks(checks_, CurrentWindow());
    stats_ = ComputeStatistics(chosen);

    std::vector<ChartPoint> points;
    points.reserve(chosen.size());
    for (const CheckRecord* check : chosen)
        points.push_back({check->ErrorRate(), check->speedCpm});
    ui.ProgressChart->SetPoints(std::move(points));

    // The error rate of the chosen checks together, defined as each check's in the chart.
    const StatsTotals& t = stats_.totals;
    const QString summary = form_->OwnText(Say::ProgressSummary)
                                .arg(t.checks)
                                .arg(t.aligned.sentChars)
                                .arg(QString::number(100.0 * t.ErrorRate(), 'f', 1));
    ui.SummaryLabel->setText(summary);
    // What a screen reader says of the chart: the summary and the latest check.
    QString description = summary;
    if (!chosen.empty()) {
        const CheckRecord& last = *chosen.back();
        description += QStringLiteral("; ") + QDateTime::fromSecsSinceEpoch(last.timeUtc).toString(Qt::ISODate) +
                       QStringLiteral(": ") + Percent(last.ErrorRate()) + QStringLiteral(", ") +
                       QString::number(last.speedCpm) + QLatin1Char(' ') + form_->OwnText(Say::ProgressChartSpeed);
    }
    ui.ProgressChart->setAccessibleDescription(description);

    // The ranked characters first (weakest at the top), then, also weakest first, those sent too
    // seldom to rank, marked as few samples: in parentheses, in italics and with a tool tip.
    std::vector<CharStats> rows = RankByErrorRate(stats_);
    const std::size_t ranked = rows.size();
    for (CharStats& row : FewSamples(stats_))
        rows.push_back(std::move(row));
    const QString fewSamples = form_->OwnText(Say::FewSamples).arg(kDefaultMinOccurrences);
    QTableWidget* table = ui.CharTable;
    table->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const CharStats& row = rows[static_cast<std::size_t>(r)];
        QString heard;
        for (std::size_t k = 0; k < row.heard.size() && k < kHeardShown; ++k) {
            if (!heard.isEmpty())
                heard += QStringLiteral(", ");
            heard += Char(row.heard[k].first) + QStringLiteral(" ×") + QString::number(row.heard[k].second);
        }
        const bool few = static_cast<std::size_t>(r) >= ranked;
        const QString cells[] = {Char(row.ch),
                                 QString::number(row.sent),
                                 QString::number(row.correct),
                                 QString::number(row.omitted),
                                 few ? QLatin1Char('(') + Percent(row.ErrorRate()) + QLatin1Char(')')
                                     : Percent(row.ErrorRate()),
                                 heard};
        for (int c = 0; c < 6; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            if (few) {
                QFont italic = table->font();
                italic.setItalic(true);
                item->setFont(italic);
                item->setToolTip(fewSamples);
                item->setData(Qt::AccessibleDescriptionRole, fewSamples);
            }
            table->setItem(r, c, item);
        }
    }
}

void ProgressWindow::ButtonDrillWeakClick() {
    if (form_->SymbolList().DrillWeakCharacters(CurrentWindow()))
        ui.StatusLabel->setText(form_->OwnText(Say::DrillDone).arg(form_->SymbolList().Text()));
}

void ProgressWindow::ButtonDrillKochClick() {
    if (form_->SymbolList().DrillKochLesson(ui.KochSpinBox->value()))
        ui.StatusLabel->setText(form_->OwnText(Say::DrillDone).arg(form_->SymbolList().Text()));
}

void ProgressWindow::ButtonExportCsvClick() {
    FileDialogSpec request;
    request.filter = form_->OwnText(Say::ExportHistoryFilter);
    request.defaultExt = QStringLiteral("csv");
    request.fileName = QStringLiteral("qlor-history.csv");
    request.overwritePrompt = true;
    request.folderMissing = form_->OwnText(Say::FolderMissing);
    const auto path = form_->Dialogs().SaveFile(this, request);
    if (!path)
        return;
    std::vector<CheckRecord> all;
    form_->LoadHistory(all, true);
    const std::string csv = HistoryCsv(all);
    // Written under a temporary name and renamed into place: a failure leaves any earlier file.
    QSaveFile file(*path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(csv.data(), static_cast<qint64>(csv.size())) != static_cast<qint64>(csv.size()) || !file.commit()) {
        form_->Dialogs().ShowError(this, form_->OwnText(Say::CannotWriteFile).arg(*path, file.errorString()));
        return;
    }
    ui.StatusLabel->setText(form_->OwnText(Say::ExportHistoryWritten).arg(all.size()).arg(*path));
}

} // namespace qlor
