// The history of checks through the window: every check recorded beside an unchanged check list,
// a damaged history told once, the progress window, its drills and its CSV export. The history
// lives in a temporary XDG data folder.
#include "test_support.h"

#include "base/codepage.h"
#include "exercises/check_history.h"
#include "exercises/koch_drill.h"
#include "shell/memo_text.h"
#include "shell/progress_window.h"
#include "tests/support/controls.h"

#include <QAccessible>
#include <QMenu>
#include <QScreen>
#include <QtTest>

using namespace qlor;
using test::Control;

class ProgressTest : public QObject, test::WindowRig {
    Q_OBJECT

    std::unique_ptr<CheckHistory> history;

    // The window opened in a folder holding a language file, with the history.
    bool OpenWindowWith(const QString& languageFile) {
        dir = std::make_unique<QTemporaryDir>();
        previousDir = QDir::currentPath();
        if (!dir->isValid() || !QFile::copy(languageFile, dir->filePath(QFileInfo(languageFile).fileName())) ||
            !QDir::setCurrent(dir->path()))
            return false;
        dialogs = std::make_unique<test::FakeDialogs>();
        form = std::make_unique<TMainForm>(dialogs.get());
        form->SetCheckHistory(history.get());
        return Control<QComboBox>(*form, "LngComboBox").count() == 2;
    }
    QString HistoryPath() const {
        return qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/QLOR/history.sqlite");
    }

    QPlainTextEdit& CheckList() const { return Control<QPlainTextEdit>(*form, "CheckList"); }
    void Check(const QString& sent, const QString& copy) {
        Control<QPlainTextEdit>(*form, "MemoText").setPlainText(sent);
        Control<QPlainTextEdit>(*form, "InputMemo").setPlainText(copy);
        Control<QPushButton>(*form, "ButtonCheckText").click();
    }
    std::vector<CheckRecord> Recorded() {
        CheckHistory reader(HistoryPath().toStdString());
        std::vector<CheckRecord> all;
        reader.Load(all, true);
        return all;
    }

private slots:
    void init() {
        QFile::remove(HistoryPath());
        QFile::remove(HistoryPath() + QStringLiteral("-wal"));
        QFile::remove(HistoryPath() + QStringLiteral("-shm"));
        QVERIFY(OpenWindow(false));
        history = std::make_unique<CheckHistory>(CheckHistory::DefaultPath());
        QCOMPARE(QString::fromStdString(history->Path()), HistoryPath());
        form->SetCheckHistory(history.get());
        form->Settings().number = {0, 4, 1, 7};
        form->Settings().speed = {0, 6, 0};
        form->Settings().textType = 1;
    }
    void cleanup() {
        CloseWindow();
        history.reset();
    }

    void aCheckIsRecordedAndItsListStaysAsItWas() {
        Check(QStringLiteral("vvv=\nABCDE FGHIJ\n*"), QStringLiteral("vvv=\nABDE FGXIJ\n*"));
        const QString withHistory = CheckList().toPlainText();
        form->SetCheckHistory(nullptr);
        Check(QStringLiteral("vvv=\nABCDE FGHIJ\n*"), QStringLiteral("vvv=\nABDE FGXIJ\n*"));
        // Apart from the time in the first line, the same list.
        QCOMPARE(withHistory.section(QLatin1Char('\n'), 1), CheckList().toPlainText().section(QLatin1Char('\n'), 1));
        QVERIFY(withHistory.endsWith(QString::fromUtf8("Всего ошибок 9\n")));

        const std::vector<CheckRecord> all = Recorded();
        QCOMPARE(all.size(), size_t(1));
        const CheckRecord& r = all[0];
        QCOMPARE(r.textNumber, 417);
        QCOMPARE(r.textType, 1);
        QCOMPARE(r.speedDigits, std::string("060"));
        QCOMPARE(r.speedCpm, 60);
        QCOMPARE(r.groups, 50);
        QCOMPARE(r.pauseDelayDots, form->Settings().pauseDelayDots);
        QCOMPARE(r.voice, std::string("auto"));
        QCOMPARE(r.sent, std::string("vvv=\r\nABCDE FGHIJ\r\n*"));
        QCOMPARE(r.copy, std::string("vvv=\r\nABDE FGXIJ\r\n*"));
        QCOMPARE(r.positionalErrors, 9);
        QCOMPARE(r.aligned.omissions, 1);
        QCOMPARE(r.aligned.substitutions, 1);
        QVERIFY(qAbs(r.timeUtc - QDateTime::currentSecsSinceEpoch()) < 60);
        // The aligned score stands beside the list: 2 errors, 1 heard wrong, 1 left out, none extra.
        const QLabel& aligned = Control<QLabel>(*form, "LabelAligned");
        QCOMPARE(aligned.text(), form->OwnText(Say::AlignedScore).arg(2).arg(1).arg(1).arg(0));
        Control<QPushButton>(*form, "Button55").click();
        QVERIFY(aligned.text().isEmpty());
        QVERIFY(aligned.accessibleDescription().isEmpty());
    }

    // The aligned score fits its narrow column line by line and is read, with the check's total,
    // in the window's language (setting the description sends its change to a screen reader).
    void scoreAndTotalAreReadInTheWindowsLanguage_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("column"); // of the built-in table the texts must come from
        QTest::newRow("English") << 0 << int(TextLanguage::English);
        QTest::newRow("Russian") << 1 << int(TextLanguage::Russian);
    }
    void scoreAndTotalAreReadInTheWindowsLanguage() {
        QFETCH(int, position);
        QFETCH(int, column);
        const auto own = [&](Say id) { return QString::fromUtf8(ProgramText(id, static_cast<TextLanguage>(column))); };
        CloseWindow();
        QVERIFY(OpenWindowWith(QDir::cleanPath(QStringLiteral(QLOR_TEST_DATA_DIR "/../../data/Russian.lng"))));
        Control<QComboBox>(*form, "LngComboBox").setCurrentIndex(position);
        form->LngComboBoxChange(position);

        // Two-digit figures: 12 heard wrong, 1 left out, 10 extra.
        Check(QStringLiteral("vvv=\nABCDE FGHIJ KLMNO\n*"), QStringLiteral("vvv=\nXYZXY ZXYZX YZNOQQQQQQQQQQ\n*"));

        const QLabel& label = Control<QLabel>(*form, "LabelAligned");
        QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(const_cast<QLabel*>(&label));
        const QString whole = own(Say::AlignedScoreFull).arg(23).arg(12).arg(1).arg(10);
        QCOMPARE(spoken->text(QAccessible::Description), whole);
        QCOMPARE(spoken->text(QAccessible::Name), own(Say::AlignedScoreName));
        QCOMPARE(label.toolTip(), whole);
        // Every line shown whole and within the label at the design size.
        const QStringList lines = label.text().split(QLatin1Char('\n'));
        QCOMPARE(lines, own(Say::AlignedScore).arg(23).arg(12).arg(1).arg(10).split(QLatin1Char('\n')));
        const QFontMetrics metrics(label.font());
        QVERIFY(lines.size() * metrics.lineSpacing() <= label.height());
        for (const QString& line : lines)
            QVERIFY2(metrics.horizontalAdvance(line) <= label.contentsRect().width(), qPrintable(line));

        // The check's total as the check list's description says it.
        const QString total = own(Say::AccCheckTotal).arg(15);
        QVERIFY2(CheckList().accessibleDescription().endsWith(total), qPrintable(CheckList().accessibleDescription()));
        QVERIFY(CheckList().toPlainText().endsWith(QString::fromUtf8("Всего ошибок 15\n")));
    }

    void aDamagedHistoryIsToldOnceAndTheChecksGoOn() {
        QDir().mkpath(QFileInfo(HistoryPath()).path());
        QVERIFY(test::WriteAll(HistoryPath(), QByteArray(4000, 'x')));
        Check(QStringLiteral("ABCDE"), QStringLiteral("ABCDE"));
        QCOMPARE(dialogs->errors.size(), 1);
        QVERIFY(CheckList().toPlainText().endsWith(QString::fromUtf8("Всего ошибок 0\n")));
        Check(QStringLiteral("ABCDE"), QStringLiteral("ABCXE"));
        QCOMPARE(dialogs->errors.size(), 1);
        QCOMPARE(Recorded().size(), size_t(2));
        const QStringList kept =
            QDir(QFileInfo(HistoryPath()).path()).entryList({QStringLiteral("history.sqlite.damaged-*")});
        QCOMPARE(kept.size(), 1);
        QCOMPARE(test::ReadAll(QFileInfo(HistoryPath()).path() + QLatin1Char('/') + kept[0]), QByteArray(4000, 'x'));
    }

    // From the first check on, the table ranks the weakest first (every character still a few
    // samples), the summary's error rate is the chart's, and the window opens wholly on the screen
    // even when the main window stands at the screen's edge.
    void firstCheckRanksAndTheWindowOpensOnTheScreen() {
        Check(QStringLiteral("vvv=\nABCDE FGHCK\n*"), QStringLiteral("ABDE FGHK"));
        const QRect area = form->screen()->availableGeometry();
        form->show();
        form->move(area.right() - 60, area.bottom() - 40);
        Control<QPushButton>(*form, "ButtonProgress").click();
        ProgressWindow* window = form->Progress();
        QVERIFY(area.contains(window->frameGeometry()));

        const QTableWidget& table = *window->ui.CharTable;
        QCOMPARE(table.item(0, 0)->text(), QStringLiteral("C"));
        QCOMPARE(table.item(0, 4)->text(), QStringLiteral("(100.0 %)"));
        QCOMPARE(table.item(0, 0)->toolTip(), form->OwnText(Say::FewSamples).arg(kDefaultMinOccurrences));
        QCOMPARE(table.rowCount(), 9); // A B C D E F G H K: neither the header's V nor the ending
        QCOMPARE(window->ui.ProgressChart->Points().at(0).errorRate, 2.0 / 11);
        QCOMPARE(window->ui.SummaryLabel->text(),
                 form->OwnText(Say::ProgressSummary).arg(1).arg(11).arg(QStringLiteral("18.2")));
    }

    void keepInsideMovesTheLeastThatFits_data() {
        QTest::addColumn<QRect>("frame");
        QTest::addColumn<QRect>("kept");
        const QRect area(0, 30, 800, 570);
        QTest::newRow("inside") << QRect(100, 100, 300, 200) << QRect(100, 100, 300, 200);
        QTest::newRow("past the bottom right") << QRect(700, 500, 300, 200) << QRect(500, 400, 300, 200);
        QTest::newRow("above and left") << QRect(-50, 0, 300, 200) << QRect(0, 30, 300, 200);
        QTest::newRow("larger than the area") << QRect(100, 100, 900, 700) << QRect(0, 30, 900, 700);
    }
    void keepInsideMovesTheLeastThatFits() {
        QFETCH(QRect, frame);
        QFETCH(QRect, kept);
        QCOMPARE(KeepInside(frame, QRect(0, 30, 800, 570)), kept);
    }

    void progressWindowShowsTheChecksAndIsKeyboardUsable() {
        // C is always missed, the rest copied.
        for (int i = 0; i < 25; ++i)
            Check(QStringLiteral("ABCDE FGHCK"), QStringLiteral("ABDE FGHK"));
        QVERIFY(!form->Progress());
        form->show();
        Control<QPushButton>(*form, "ButtonProgress").click();
        ProgressWindow* window = form->Progress();
        QVERIFY(window && window->isVisible());
        QVERIFY(!window->isModal());
        QCOMPARE(window->windowTitle(), form->OwnText(Say::ProgressTitle));
        QCOMPARE(window->ui.ProgressChart->Points().size(), size_t(20)); // the last 20 at first
        QCOMPARE(window->ui.CharTable->item(0, 0)->text(), QStringLiteral("C"));
        QCOMPARE(window->ui.CharTable->item(0, 1)->text(), QStringLiteral("40"));
        QCOMPARE(window->ui.CharTable->item(0, 3)->text(), QStringLiteral("40"));
        window->ui.WindowComboBox->setCurrentIndex(2); // all
        QCOMPARE(window->ui.ProgressChart->Points().size(), size_t(25));
        // Text type R was sent; none of type L.
        QCOMPARE(window->ui.TypeComboBox->itemText(2), QStringLiteral("R"));
        window->ui.TypeComboBox->setCurrentIndex(1);
        QVERIFY(window->ui.ProgressChart->Points().empty());
        window->ui.TypeComboBox->setCurrentIndex(2);
        QCOMPARE(window->ui.ProgressChart->Points().size(), size_t(25));
        // A new check while it is open shows at once.
        Check(QStringLiteral("ABCDE"), QStringLiteral("ABCDE"));
        QCOMPARE(window->ui.ProgressChart->Points().size(), size_t(26));

        // Every control is reached by Tab and named on the accessibility bus.
        QList<QWidget*> reached;
        QWidget* w = window->ui.WindowComboBox;
        do {
            reached << w;
            // The edit inside a spin box speaks through the spin box.
            QWidget* named = w->objectName().startsWith(QLatin1String("qt_")) ? w->parentWidget() : w;
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(named);
            QVERIFY2(a && !a->text(QAccessible::Name).isEmpty(), qPrintable(named->objectName()));
            w = w->nextInFocusChain();
            while (w->focusPolicy() == Qt::NoFocus || !w->isVisibleTo(window) || w->window() != window)
                w = w->nextInFocusChain();
        } while (w != window->ui.WindowComboBox && reached.size() < 20);
        for (QWidget* control :
             {static_cast<QWidget*>(window->ui.TypeComboBox), static_cast<QWidget*>(window->ui.ProgressChart),
              static_cast<QWidget*>(window->ui.CharTable), static_cast<QWidget*>(window->ui.ButtonDrillWeak),
              static_cast<QWidget*>(window->ui.KochSpinBox), static_cast<QWidget*>(window->ui.ButtonDrillKoch),
              static_cast<QWidget*>(window->ui.ButtonExportCsv), static_cast<QWidget*>(window->ui.ButtonClose)})
            QVERIFY2(reached.contains(control) || reached.contains(control->focusProxy()),
                     qPrintable(control->objectName()));
        QVERIFY(QAccessible::queryAccessibleInterface(window->ui.ProgressChart)
                    ->text(QAccessible::Description)
                    .contains(QStringLiteral("26")));
        QApplication::setActiveWindow(window);
        QVERIFY(QTest::qWaitForWindowActive(window));
        window->ui.CharTable->setFocus();
        QTest::keyClick(window->ui.CharTable, Qt::Key_Escape);
        QVERIFY(!window->isVisible());
    }

    void drillsFillTheSelectedSymbolsAsTheOperatorCould() {
        for (int i = 0; i < 10; ++i)
            Check(QStringLiteral("ABCDE FGHCK"), QStringLiteral("ABDE FGHK"));
        Control<QPushButton>(*form, "ButtonProgress").click();
        ProgressWindow* window = form->Progress();
        window->ui.KochSpinBox->setValue(5);
        window->ui.ButtonDrillKoch->click();
        const QPlainTextEdit& symbols = Control<QPlainTextEdit>(*form, "MemoSelectedSymbols");
        QCOMPARE(MemoBytes(&symbols), std::string("KMURES"));
        QVERIFY(Control<QRadioButton>(*form, "SelectedSymbols").isChecked());

        window->ui.ButtonDrillWeak->click();
        const std::string weak = MemoBytes(&symbols);
        // C, then the best-known three of the characters sent equally often: the last in code order.
        QCOMPARE(weak, std::string("CKHG"));
        QVERIFY(dialogs->messages.isEmpty());

        // While a transmission runs the list is locked, and so are the drills.
        form->ControlBlock();
        window->ui.ButtonDrillKoch->click();
        QCOMPARE(MemoBytes(&symbols), weak);
        form->ControlUnBlock();

        // With nothing missed yet there is nothing to practise: told, and the list left alone.
        form->SetCheckHistory(nullptr);
        window->ui.ButtonDrillWeak->click();
        QCOMPARE(dialogs->messages.size(), 1);
        QCOMPARE(MemoBytes(&symbols), weak);
    }

    void drillsOnTheSymbolListsMenu() {
        // The menu of the list, its Koch submenu and lesson 3 chosen by keyboard.
        QPlainTextEdit* memo = &Control<QPlainTextEdit>(*form, "MemoSelectedSymbols");
        form->show();
        form->PageControl1->setCurrentWidget(form->findChild<QWidget*>(QStringLiteral("TabSheet7")));
        bool chosen = false;
        QTimer::singleShot(50, this, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu);
            for (QAction* a : menu->actions()) {
                if (a->menu() && a->text() == form->OwnText(Say::DrillKoch)) {
                    menu->setActiveAction(a);
                    QTest::keyClick(menu, Qt::Key_Right);
                    QMenu* lessons = a->menu();
                    QTRY_VERIFY(lessons->isVisible());
                    lessons->setActiveAction(lessons->actions().at(2));
                    QTest::keyClick(lessons, Qt::Key_Return);
                    chosen = true;
                }
            }
            if (!chosen)
                menu->close();
        });
        emit memo->customContextMenuRequested(QPoint(5, 5));
        QVERIFY(chosen);
        QCOMPARE(MemoBytes(memo), std::string("KMUR"));
        QVERIFY(Control<QRadioButton>(*form, "SelectedSymbols").isChecked());
    }

    void textsFollowTheLanguagePosition() {
        // A window started where the shipped Russian language file is, then switched to it.
        CloseWindow();
        QVERIFY(OpenWindowWith(QDir::cleanPath(QStringLiteral(QLOR_TEST_DATA_DIR "/../../data/Russian.lng"))));
        QPushButton& progress = Control<QPushButton>(*form, "ButtonProgress");
        progress.click();
        QCOMPARE(progress.text(), QStringLiteral("Progress"));
        QCOMPARE(form->Progress()->windowTitle(), QStringLiteral("Progress of reception"));
        Control<QComboBox>(*form, "LngComboBox").setCurrentIndex(1);
        form->LngComboBoxChange(1);
        QCOMPARE(progress.text(), QString::fromUtf8("Успехи"));
        QCOMPARE(form->Progress()->windowTitle(), QString::fromUtf8("Успехи в приёме"));
        QCOMPARE(form->Progress()->ui.ButtonClose->text(), QString::fromUtf8("Закрыть"));
        // The caption table's texts of the page are the language file's, as before.
        QCOMPARE(Control<QPushButton>(*form, "ButtonCheckText").text(), form->CaptionEntry(33));
    }

    void exportWritesEveryCheckAsCsv() {
        Check(QString::fromUtf8("ЖЩ, \"A\""), QString::fromUtf8("жщ, \"A\""));
        Check(QStringLiteral("AB"), QStringLiteral("AB"));
        Control<QPushButton>(*form, "ButtonProgress").click();
        const QString path = dir->filePath(QStringLiteral("history.csv"));
        dialogs->answers = {path};
        form->Progress()->ui.ButtonExportCsv->click();
        QVERIFY(dialogs->errors.isEmpty());
        QCOMPARE(dialogs->saveSpecs.back().defaultExt, QStringLiteral("csv"));
        const QByteArray csv = test::ReadAll(path);
        QCOMPARE(csv.count("\r\n"), 3);
        QVERIFY(csv.startsWith("id,time,text_number,"));
        QVERIFY(csv.contains(",0417,R,0,060,cpm,60,"));
        QVERIFY(csv.contains(",\"ЖЩ, \"\"A\"\"\",\"жщ, \"\"A\"\"\"\r\n"));
    }
};

int main(int argc, char** argv) {
    const auto config = test::IsolateWindowTest("dummy");
    QTemporaryDir data;
    if (!config || !data.isValid())
        return 1;
    qputenv("XDG_DATA_HOME", QFile::encodeName(data.path()));
    QApplication app(argc, argv);
    ProgressTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "progress_test.moc"
