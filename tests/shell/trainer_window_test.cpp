// The trainer window's high-speed test in virtual time: the texts play as a series through a
// fake audio port while the test moves the clock; copies are typed into their boxes, judged at
// the end, and the sheet is shown, announced, saved and recorded.
#include "test_support.h"

#include "base/codepage.h"
#include "exercises/check_history.h"
#include "exercises/competition.h"
#include "exercises/hst_test.h"
#include "shell/trainer_window.h"
#include "tests/support/controls.h"
#include "tests/support/fake_audio_port.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QtTest>

using namespace qlor;
using test::Control;

namespace {

// Each segment as the port plays it: a minute's text and the minute's pause after it [ms].
constexpr std::int64_t kSegmentMs = 120000;

// `text` with the first `count` letters of its groups changed.
QString WithErrors(const std::string& cp1251, int count) {
    QString copy = QString::fromStdString(Cp1251ToUtf8(cp1251));
    for (int i = 0, changed = 0; i < copy.size() && changed < count; ++i) {
        if (copy[i] == QLatin1Char(' '))
            continue;
        copy[i] = copy[i] == QLatin1Char('Q') ? QLatin1Char('Z') : QLatin1Char('Q');
        ++changed;
    }
    return copy;
}

} // namespace

class TrainerWindowTest : public QObject, test::TrainerRig {
    Q_OBJECT

    template <class T> T& C(const char* name) { return Control<T>(*window, name); }
    QPlainTextEdit& Copy(int i) { return C<QPlainTextEdit>(qPrintable(QStringLiteral("HstCopy%1").arg(i))); }
    QString Status() { return C<QLabel>("HstStatus").text(); }
    void Set(int type, int start, int steps, int number) {
        C<QComboBox>("HstType").setCurrentIndex(C<QComboBox>("HstType").findData(type));
        C<QSpinBox>("HstStartSpeed").setValue(start);
        C<QSpinBox>("HstSteps").setValue(steps);
        C<QSpinBox>("HstNumber").setValue(number);
    }
    // Every text the window shows, so that a test can tell the sent texts are not among them.
    QString AllShownText() {
        QString all;
        for (QPlainTextEdit* edit : window->findChildren<QPlainTextEdit*>())
            all += edit->toPlainText();
        for (QLabel* label : window->findChildren<QLabel*>())
            all += label->text();
        return all;
    }

private slots:
    void init() {
        QVERIFY(PrepareTrainer([](const ByteVector&) { return kSegmentMs; }));
        QVERIFY(OpenTrainer(true, 0, [] { return QStringLiteral("09.12.2026 17:00:00"); }));
    }
    void cleanup() { CloseTrainer(); }

    // Three texts as a series with the minute's pause; each copy box opens as its text starts;
    // the texts stay hidden until the judging, which counts each copy by the aligned rule and
    // takes the highest valid speed even above a text that was not valid.
    void seriesIsTypedJudgedAnnouncedAndRecorded() {
        Set(0, 200, 3, 417);
        const HstTestPlan plan = PlanHstTest({0, 200, 3, 417});
        QTest::keyClick(window.get(), Qt::Key_R, Qt::ControlModifier);
        QVERIFY(port->Playing());
        QVERIFY(!C<QSpinBox>("HstStartSpeed").isEnabled());
        QVERIFY(Copy(1).isEnabled() && !Copy(2).isEnabled() && !Copy(3).isEnabled());
        QVERIFY(Copy(1).hasFocus());
        QVERIFY(!Copy(4).isVisible());
        QCOMPARE(Status(), QStringLiteral("Text 1 of 3 at 200 cpm"));

        // Text 1 copied right, in lower case and with the groups run together.
        port->Advance(30000);
        QTest::keyClicks(&Copy(1), QString::fromStdString(plan.sent[0].text).toLower().remove(QLatin1Char(' ')));
        port->Advance(40000);
        QCOMPARE(Status(), QStringLiteral("Pause after text 1 of 3"));
        QCOMPARE(C<QProgressBar>("HstProgress").value(), int(70000 * 100 / kSegmentMs));
        port->Advance(50000);
        QVERIFY(Copy(2).isEnabled());
        QCOMPARE(Status(), QStringLiteral("Text 2 of 3 at 210 cpm"));
        Copy(2).setPlainText(WithErrors(plan.sent[1].text, 6));
        port->Advance(kSegmentMs);
        // Five errors are still valid; a missing group's characters each count.
        Copy(3).setPlainText(WithErrors(plan.sent[2].text, 5));
        QVERIFY(!AllShownText().contains(QString::fromStdString(plan.sent[2].text).trimmed()));
        port->Advance(kSegmentMs);
        QVERIFY(!port->Playing());
        QCOMPARE(Status(), QStringLiteral("The test has ended: press Ctrl+Enter to judge."));
        QVERIFY(C<QSpinBox>("HstStartSpeed").isEnabled());

        // The series is the three texts, each its own MIDI file with the competition's pause.
        QCOMPARE(port->opened.size(), std::size_t{3});
        for (std::size_t i = 0; i < 3; ++i)
            QVERIFY(port->opened[i] ==
                    BuildMorseMidi(MorseTable{}, {plan.segments[i]}, kCompetitionPauseSeconds, MidiVoice{}).bytes);

        // Enter in a copy box judges once the test is over.
        Copy(3).setFocus();
        QTest::keyClick(&Copy(3), Qt::Key_Return);
        const QString sheet = C<QPlainTextEdit>("HstSheet").toPlainText();
        QVERIFY2(sheet.contains(QStringLiteral("200 cpm: 0 errors, valid")), qPrintable(sheet));
        QVERIFY2(sheet.contains(QStringLiteral("210 cpm: 6 errors, not valid")), qPrintable(sheet));
        QVERIFY2(sheet.contains(QStringLiteral("220 cpm: 5 errors, valid")), qPrintable(sheet));
        QVERIFY(sheet.contains(QString::fromStdString(plan.sent[2].text).trimmed())); // now revealed
        QVERIFY(sheet.endsWith(QStringLiteral("Best speed: 220 cpm\n")));
        QCOMPARE(Status(), QStringLiteral("Best speed: 220 cpm"));
        // Announced: the sheet's description and the status line, a status bar read by its name
        // (the offscreen platform has no accessibility bus to carry the events themselves).
        QAccessibleInterface* sheetFace = QAccessible::queryAccessibleInterface(&C<QPlainTextEdit>("HstSheet"));
        QCOMPARE(sheetFace->text(QAccessible::Description), QStringLiteral("Best speed: 220 cpm"));
        QCOMPARE(sheetFace->text(QAccessible::Name), QStringLiteral("Result sheet"));
        QAccessibleInterface* status = QAccessible::queryAccessibleInterface(&C<QLabel>("HstStatus"));
        QCOMPARE(status->role(), QAccessible::StatusBar);
        QCOMPARE(status->text(QAccessible::Name), QStringLiteral("Test status: Best speed: 220 cpm"));

        // Each judged text is a check of the history, at its speed, with the judge's count.
        std::vector<CheckRecord> checks;
        QVERIFY(history->Load(checks, true).ok());
        QCOMPARE(checks.size(), std::size_t{3});
        for (std::size_t i = 0; i < 3; ++i) {
            QCOMPARE(checks[i].speedCpm, 200 + 10 * int(i));
            QCOMPARE(checks[i].sent, plan.sent[i].text);
            QCOMPARE(checks[i].textNumber, 417);
            QCOMPARE(checks[i].voice, std::string("tone"));
        }
        QCOMPARE(checks[1].positionalErrors, 6);
        QCOMPARE(checks[1].aligned.Errors(), 6);
    }

    // Escape stops the sound at once; the texts sent so far are judged, in the window's language,
    // and the sheet is saved on request as the window shows it.
    void escapeStopsAndTheSentTextsAreJudgedAndSaved() {
        Set(5, 600, 4, 1);
        const HstTestPlan plan = PlanHstTest({5, 600, 4, 1});
        C<QPushButton>("HstStart").click();
        port->Advance(kSegmentMs + 1000);
        QTest::keyClick(window.get(), Qt::Key_Escape);
        QVERIFY(!port->Playing());
        QCOMPARE(port->stops, 1);
        QCOMPARE(Status(), QStringLiteral("Stopped: press Ctrl+Enter to judge what was sent."));
        port->Advance(10 * kSegmentMs); // nothing more plays
        QCOMPARE(port->opened.size(), std::size_t{2});

        window->SetTexts(ProgramTextTable::Russian());
        Copy(1).setPlainText(QString::fromStdString(Cp1251ToUtf8(plan.sent[0].text)));
        QTest::keyClick(window.get(), Qt::Key_Return, Qt::ControlModifier);
        const QString sheet = C<QPlainTextEdit>("HstSheet").toPlainText();
        QVERIFY2(sheet.startsWith(QStringLiteral("Тест приёма HST КЛОР-2000\n")), qPrintable(sheet));
        QVERIFY2(sheet.contains(QStringLiteral("600 зн/мин: ошибок 0, зачтено")), qPrintable(sheet));
        QVERIFY(sheet.contains(
            QStringLiteral("610 зн/мин: ошибок %1, не зачтено").arg(CountHstErrors(plan.sent[1].text, ""))));
        QVERIFY(!sheet.contains(QStringLiteral("620")));
        QCOMPARE(Status(), QStringLiteral("Лучшая скорость: 600 зн/мин"));

        const QString path = dir->path() + QStringLiteral("/sheet.txt");
        dialogs->answers.push_back(path);
        QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(dialogs->saveSpecs.size(), std::size_t{1});
        QCOMPARE(dialogs->saveSpecs[0].fileName, QStringLiteral("Тест HST.txt"));
        QVERIFY(dialogs->errors.isEmpty());
        const QByteArray saved = test::ReadAll(path);
        QCOMPARE(QString::fromStdString(Cp1251ToUtf8(saved.toStdString())).replace(QStringLiteral("\r\n"), "\n"),
                 sheet);
    }

    // The window's keys and names: each control a screen reader meets has a name.
    void everyControlHasANameAndEveryActionAKey() {
        const QStringList keys = {QStringLiteral("Ctrl+R"), QStringLiteral("Esc"), QStringLiteral("Ctrl+Return"),
                                  QStringLiteral("Ctrl+S"), QStringLiteral("Ctrl+W")};
        QStringList shortcuts;
        for (const QShortcut* s : window->findChildren<QShortcut*>())
            shortcuts << s->key().toString();
        for (const QString& key : keys)
            QVERIFY2(shortcuts.contains(key), qPrintable(key));
        for (int i = 1; i <= 10; ++i)
            QCOMPARE(Copy(i).accessibleName(), QStringLiteral("Copy at %1 cpm").arg(200 + 10 * (i - 1)));
        for (const char* name : {"HstType", "HstStartSpeed", "HstSteps", "HstNumber"}) {
            QAccessibleInterface* field = QAccessible::queryAccessibleInterface(&C<QWidget>(name));
            QVERIFY2(!field->text(QAccessible::Name).isEmpty(), name);
        }
        // The last text of a test stays at 990 cpm at most.
        C<QSpinBox>("HstStartSpeed").setValue(960);
        QCOMPARE(C<QSpinBox>("HstSteps").maximum(), 4);
    }

    // Both buttons of the main window open the one non-modal trainer window, in the main
    // window's language, and its values are kept with the main window's settings.
    void mainWindowOpensTheTrainerAndKeepsItsValues() {
        test::WindowRig rig;
        QVERIFY(rig.OpenWindow(false));
        TrainerSettings stored;
        stored.hstStartSpeedCpm = 450;
        PersistedSettings values = rig.form->CollectSettings();
        values.trainer = stored;
        rig.form->ApplySettings(values);
        Control<QPushButton>(*rig.form, "ButtonTrainer").click();
        auto* trainer = rig.form->findChild<TrainerWindow*>();
        QVERIFY(trainer && trainer->isVisible() && !trainer->isModal());
        QCOMPARE(Control<QSpinBox>(*trainer, "HstStartSpeed").value(), 450);
        Control<QSpinBox>(*trainer, "HstSteps").setValue(7);
        Control<QPushButton>(*rig.form, "ButtonTrainer2").click();
        QCOMPARE(rig.form->findChildren<TrainerWindow*>().size(), 1);
        QCOMPARE(rig.form->CollectSettings().trainer.hstSteps, 7);
        QCOMPARE(rig.form->CollectSettings().trainer.hstStartSpeedCpm, 450);
        QVERIFY(trainer->Texts() == ProgramTextTable::English());
        QCOMPARE(Control<QPushButton>(*rig.form, "ButtonTrainer").text(), QStringLiteral("Trainer"));
        rig.CloseWindow();
    }
};

QLOR_WINDOW_TEST_MAIN(TrainerWindowTest, "dummy")
#include "trainer_window_test.moc"
