// The trainer window's callsign run in virtual time: each call plays through a fake audio port at
// the run's speed, the typed answers move the speed and the score by the rules, a finished run
// enters the personal bests, which go out with the settings and come back, and the history.
#include "test_support.h"

#include "exercises/callsign_run.h"
#include "exercises/check_history.h"
#include "shell/trainer_callsign_page.h"
#include "shell/trainer_window.h"
#include "tests/support/controls.h"
#include "tests/support/fake_audio_port.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>

using namespace qlor;
using test::Control;

class TrainerCallsignPageTest : public QObject, test::TrainerRig {
    Q_OBJECT

    template <class T> T& C(const char* name) { return Control<T>(*window, name); }
    QString Status() { return C<QLabel>("CallStatus").text(); }
    void Start(int speed, int number) {
        C<QTabWidget>("TrainerTabs").setCurrentWidget(&C<CallsignPage>("CallPage"));
        C<QSpinBox>("CallSpeed").setValue(speed);
        C<QSpinBox>("CallNumber").setValue(number);
        QTest::keyClick(window.get(), Qt::Key_R, Qt::ControlModifier);
    }
    void Answer(const QString& typed) {
        QTest::keyClicks(&C<QLineEdit>("CallCopy"), typed);
        QTest::keyClick(&C<QLineEdit>("CallCopy"), Qt::Key_Return);
    }
    static ByteVector CallMidi(const std::string& call, int speed) {
        return BuildMorseMidi(MorseTable{}, {SegmentText{{}, call, {}, speed}}, kCallPauseSeconds, MidiVoice{}).bytes;
    }

private slots:
    void init() {
        QVERIFY(PrepareTrainer([](const ByteVector&) { return std::int64_t{3000}; }));
        QVERIFY(OpenTrainer());
    }
    void cleanup() { CloseTrainer(); }

    // Every call is sent once at the speed the answers before it left: +10 cpm after a right
    // call, -20 after a wrong one, within 50..990; a right call scores speed x length / 10. The
    // answers come while the call plays or after it; the run ends after its 50th answer.
    void runFollowsTheRules_data() {
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("answers"); // R right, W wrong, repeated over the 50 calls
        QTest::newRow("all right from the lowest speed") << 50 << 417 << QStringLiteral("R");
        QTest::newRow("all wrong down to the floor") << 120 << 1 << QStringLiteral("W");
        QTest::newRow("mostly right up to the ceiling") << 900 << 9999 << QStringLiteral("RRRRRW");
    }
    void runFollowsTheRules() {
        QFETCH(int, speed);
        QFETCH(int, number);
        QFETCH(QString, answers);
        const std::vector<std::string> calls = CallsignRunCalls(number);
        QCOMPARE(calls.size(), std::size_t{kCallsignRunCalls});
        Start(speed, number);
        QVERIFY(C<QLineEdit>("CallCopy").hasFocus());
        QVERIFY(!C<QSpinBox>("CallSpeed").isEnabled());
        int score = 0;
        int right = 0;
        int top = 0;
        for (std::size_t i = 0; i < calls.size(); ++i) {
            QCOMPARE(port->opened.size(), i + 1);
            QVERIFY2(port->opened.back() == CallMidi(calls[i], speed), calls[i].c_str());
            port->Advance(i % 2 ? 500 : 5000); // within the call or after it
            const QString call = QString::fromStdString(calls[i]);
            if (answers[int(i) % answers.size()] == QLatin1Char('R')) {
                Answer(call.toLower());
                score += speed * int(calls[i].size()) / 10;
                ++right;
                top = std::max(top, speed);
                speed = std::min(speed + 10, 990);
            } else {
                Answer(call + QLatin1Char('X'));
                QCOMPARE(Status().left(Status().indexOf(QLatin1Char('.'))),
                         QStringLiteral("Wrong: %1 was sent, you typed %1X").arg(call));
                speed = std::max(speed - 20, 50);
            }
            if (i + 1 < calls.size())
                QCOMPARE(C<QLabel>("CallFigures").text(), QStringLiteral("Speed %1 cpm, score %2, calls left %3")
                                                              .arg(speed)
                                                              .arg(score)
                                                              .arg(calls.size() - i - 1));
        }
        QVERIFY(!port->Playing());
        QCOMPARE(port->opened.size(), calls.size());
        QVERIFY2(Status().contains(QStringLiteral("The run is over: score %1, %2 of 50 calls right, top speed %3 cpm")
                                       .arg(score)
                                       .arg(right)
                                       .arg(top)),
                 qPrintable(Status()));
        QVERIFY(C<QSpinBox>("CallSpeed").isEnabled());
        QVERIFY(C<QPlainTextEdit>("CallBests").toPlainText().startsWith(QStringLiteral("1. %1 points").arg(score)));

        // The history keeps the run with every call.
        std::vector<CallsignRunRecord> runs;
        QVERIFY(history->LoadCallsignRuns(runs).ok());
        QCOMPARE(runs.size(), std::size_t{1});
        QCOMPARE(runs[0].score, score);
        QCOMPARE(runs[0].rightCalls, right);
        QCOMPARE(runs[0].number, number);
        QCOMPARE(runs[0].attempts.size(), calls.size());
        QCOMPARE(runs[0].attempts.back().call, calls.back());

        // The bests go out with the settings and come back.
        const TrainerSettings stored = window->CollectSettings();
        QCOMPARE(ParsePersonalBests(stored.callBests).size(), std::size_t{1});
        window->ApplySettings(TrainerSettings{});
        QCOMPARE(C<QPlainTextEdit>("CallBests").toPlainText(), QStringLiteral("No run finished yet"));
        window->ApplySettings(stored);
        QVERIFY(C<QPlainTextEdit>("CallBests").toPlainText().startsWith(QStringLiteral("1. %1 points").arg(score)));
        QCOMPARE(window->CollectSettings(), stored);

        // The same number gives the same run.
        QTest::keyClick(window.get(), Qt::Key_R, Qt::ControlModifier);
        QVERIFY(port->opened.back() == port->opened.front());
    }

    // Escape ends a run at once, playing or waiting for the answer: nothing is scored or recorded.
    // Starting the high-speed test ends a run too, and so does a call that cannot be played.
    // Every control has a name.
    void escapeOrTheOtherExerciseEndsTheRunUnrecorded() {
        for (const char* name : {"CallSpeed", "CallNumber", "CallStart", "CallStop", "CallCopy", "CallBests"}) {
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&C<QWidget>(name));
            QVERIFY2(!face->text(QAccessible::Name).isEmpty(), name);
        }
        QCOMPARE(C<QTabWidget>("TrainerTabs").tabText(C<QTabWidget>("TrainerTabs").indexOf(&C<QWidget>("CallPage"))),
                 QStringLiteral("Callsign run"));
        const std::vector<std::string> calls = CallsignRunCalls(7);
        Start(300, 7);
        Answer(QString::fromStdString(calls[0]));
        Answer(QStringLiteral(" ")); // no answer: the call stays
        QVERIFY(port->Playing());
        QTest::keyClick(window.get(), Qt::Key_Escape);
        QVERIFY(!port->Playing());
        QCOMPARE(Status(), QStringLiteral("Stopped: 1 answered, score %1; a stopped run is not recorded")
                               .arg(300 * int(calls[0].size()) / 10));
        QVERIFY(C<QPushButton>("CallStart").isEnabled() && !C<QLineEdit>("CallCopy").isEnabled());

        Start(300, 7);
        port->Advance(10000); // the call has ended: the run waits for the answer
        QVERIFY(!port->Playing() && C<QLineEdit>("CallCopy").isEnabled());
        C<QTabWidget>("TrainerTabs").setCurrentIndex(0);
        QTest::keyClick(window.get(), Qt::Key_R, Qt::ControlModifier);
        QVERIFY(port->Playing());
        QVERIFY(!C<QLineEdit>("CallCopy").isEnabled());
        QVERIFY(Status().startsWith(QStringLiteral("Stopped: 0 answered")));

        std::vector<CallsignRunRecord> runs;
        QVERIFY(history->LoadCallsignRuns(runs).ok());
        QVERIFY(runs.empty());
        QCOMPARE(C<QPlainTextEdit>("CallBests").toPlainText(), QStringLiteral("No run finished yet"));
        QVERIFY(dialogs->errors.isEmpty());

        // A call that cannot be played ends the run with the reason.
        port->failOpen = "no sound device";
        Start(300, 7);
        QCOMPARE(dialogs->errors, QStringList{QStringLiteral("The call cannot be played: no sound device")});
        QCOMPARE(Status(), dialogs->errors.front());
        QVERIFY(C<QPushButton>("CallStart").isEnabled() && !C<QLineEdit>("CallCopy").isEnabled());
    }
};

QLOR_WINDOW_TEST_MAIN(TrainerCallsignPageTest, "dummy")
#include "trainer_callsign_page_test.moc"
