// The trainer window's Koch course and character recognition pages in virtual time: the sound goes
// through a fake audio port while the test moves the clock; the course's texts are played, copied,
// checked and recorded, bad copies and unusable histories refused with nothing written, and the
// recognition's reaction times read from the port's position.
#include "test_support.h"

#include "base/codepage.h"
#include "exercises/check_history.h"
#include "exercises/koch_course.h"
#include "shell/trainer_recognition_page.h"
#include "shell/trainer_window.h"
#include "tests/support/controls.h"
#include "tests/support/fake_audio_port.h"
#include "tests/support/smf_reader.h"

#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>

#include <sqlite3.h>

using namespace qlor;
using test::Control;

namespace {

// Times of a MIDI file of the program, read by the tests' own reader [ms]: where its last note
// ends and where the file ends.
struct MidiTimes {
    std::int64_t keyedEndMs = 0;
    std::int64_t lengthMs = 0;
};
MidiTimes TimesOf(const ByteVector& bytes) {
    const auto smf = test::ReadSmf(bytes);
    if (!smf)
        return {};
    std::uint64_t tempo = 500000; // [us/quarter]
    std::uint64_t lastOff = 0, end = 0;
    for (const test::SmfEvent& e : smf->events) {
        if (e.IsMeta(0x51) && e.data.size() == 3)
            tempo = (std::uint64_t{e.data[0]} << 16) | (std::uint64_t{e.data[1]} << 8) | e.data[2];
        if (e.IsNoteOff())
            lastOff = e.tick;
        end = e.tick;
    }
    auto ms = [&](std::uint64_t tick) {
        return static_cast<std::int64_t>(tick * tempo / static_cast<std::uint64_t>(smf->division) / 1000);
    };
    return {ms(lastOff), ms(end)};
}

} // namespace

class TrainerPagesTest : public QObject, test::TrainerRig {
    Q_OBJECT

    template <class T> T& C(const char* name) { return Control<T>(*window, name); }
    QString Status(const char* name) { return C<QLabel>(name).text(); }

    void Open(bool withHistory, int tab) { QVERIFY(OpenTrainer(withHistory, tab)); }
    CourseState Course() {
        CourseState state;
        history->LoadCourse(state);
        return state;
    }
    std::size_t LessonChecks(int lesson) {
        std::vector<CheckRecord> checks;
        history->LoadLessonChecks(lesson, checks);
        return checks.size();
    }
    // Course settings under which one good check moves the course on.
    void OneCheckMovesOn() {
        CourseState state;
        state.settings.recentChecks = 1;
        state.settings.minNewestSent = 1;
        QVERIFY(history->SaveCourse(state).ok());
    }

private slots:
    void init() {
        QVERIFY(PrepareTrainer([](const ByteVector& bytes) { return TimesOf(bytes).lengthMs; }));
    }
    void cleanup() { CloseTrainer(); }

    // A lesson text is played through the session, copied and checked by Enter: the aligned texts
    // and the per-character accuracy are shown, the check recorded with its lesson, and the course
    // moves on, which is said and announced.
    void lessonIsPlayedCopiedCheckedAndMovesOn() {
        OneCheckMovesOn();
        const LessonText text = NextLessonText(Course());
        Open(true, 1);
        QTest::keyClick(window.get(), Qt::Key_R, Qt::ControlModifier);
        QVERIFY(port->Playing());
        QCOMPARE(port->opened.size(), std::size_t{1});
        QVERIFY(port->opened[0] ==
                BuildMorseMidi(MorseTable{}, {LessonSegment(text)}, 0, LessonVoice(MidiVoice{}, text)).bytes);
        QCOMPARE(Status("CourseStatus"), QStringLiteral("Lesson 1: text 0001 plays"));
        QVERIFY(Course().HasPending()); // kept before it plays
        QVERIFY(C<QPlainTextEdit>("CourseCopy").hasFocus());

        port->Advance(TimesOf(port->opened[0]).lengthMs);
        QVERIFY(!window->Playing());
        QCOMPARE(Status("CourseStatus"), QStringLiteral("The lesson text has ended: finish the copy and press Enter."));
        // Lower case and one wrong character: still above 90 %.
        QString copy = QString::fromStdString(Cp1251ToUtf8(text.body)).toLower();
        copy[0] = copy[0] == QLatin1Char('k') ? QLatin1Char('m') : QLatin1Char('k');
        QTest::keyClicks(&C<QPlainTextEdit>("CourseCopy"), copy);
        QTest::keyClick(&C<QPlainTextEdit>("CourseCopy"), Qt::Key_Return);

        const QString result = C<QPlainTextEdit>("CourseResult").toPlainText();
        const QString verdict = QStringLiteral("Lesson 1 passed: lesson 2 adds U.");
        QVERIFY2(result.contains(QStringLiteral("\n^\n")), qPrintable(result)); // the error marked
        QVERIFY2(result.contains(QStringLiteral("Aligned score: 1 errors, 1 heard wrong, 0 left out, 0 extra")),
                 qPrintable(result));
        QVERIFY2(result.contains(QStringLiteral("Character      Sent  Correct  Accuracy")), qPrintable(result));
        QVERIFY2(result.endsWith(verdict), qPrintable(result));
        QCOMPARE(Status("CourseStatus"), verdict);
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&C<QPlainTextEdit>("CourseResult"));
        QCOMPARE(face->text(QAccessible::Description), verdict);
        QCOMPARE(Course().lesson, 2);
        QVERIFY(!Course().HasPending());
        QCOMPARE(LessonChecks(1), std::size_t{1});
        QVERIFY2(C<QPlainTextEdit>("CourseStanding").toPlainText().startsWith(QStringLiteral("Lesson 2 of 40: KMU")),
                 qPrintable(C<QPlainTextEdit>("CourseStanding").toPlainText()));

        // The settings are kept with the course, as `course set` keeps them.
        C<QSpinBox>("CourseSpeed").setValue(120);
        QTest::keyClick(window.get(), Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(Course().settings.charSpeedCpm, 120);
        QCOMPARE(Status("CourseStatus"), QStringLiteral("The course settings were kept."));
    }

    // What the lesson texts are made of is chosen on the page by keys and kept with the course;
    // the next text is then the lesson's words, or groups where the lesson has too few, as the
    // standing says.
    void lessonTextsOfWordsAreChosenByKeysAndKept_data() {
        QTest::addColumn<int>("lesson");
        QTest::addColumn<QString>("said");
        QTest::addColumn<bool>("words");
        QTest::newRow("words") << 10 << QStringLiteral("Texts: words\n") << true;
        QTest::newRow("too few") << 1 << QStringLiteral("groups are sent") << false;
    }
    void lessonTextsOfWordsAreChosenByKeysAndKept() {
        QFETCH(int, lesson);
        QFETCH(QString, said);
        QFETCH(bool, words);
        Open(true, 1);
        C<QSpinBox>("CourseLesson").setValue(lesson);
        auto& source = C<QComboBox>("CourseSource");
        QVERIFY(source.isEnabled() && source.focusPolicy() != Qt::NoFocus);
        source.setFocus();
        QTest::keyClick(&source, Qt::Key_Down);
        QCOMPARE(source.currentText(), QStringLiteral("words"));
        QTest::keyClick(window.get(), Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(Course().settings.source, TextSource::Words);
        const QString standing = C<QPlainTextEdit>("CourseStanding").toPlainText();
        QVERIFY2(standing.contains(said), qPrintable(standing));

        const LessonText text = NextLessonText(Course());
        QCOMPARE(text.source == TextSource::Words, words);
        QTest::keyClick(window.get(), Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(port->opened.size(), std::size_t{1});
        QVERIFY(port->opened[0] ==
                BuildMorseMidi(MorseTable{}, {LessonSegment(text)}, 0, LessonVoice(MidiVoice{}, text)).bytes);
        QCOMPARE(Course().pendingText, text.body);
        // Read again, the page shows the kept choice.
        window.reset();
        Open(true, 1);
        QCOMPARE(C<QComboBox>("CourseSource").currentText(), QStringLiteral("words"));
    }

    // An empty copy and a copy of another text are refused with a clear message; nothing is
    // recorded and the text still waits for its copy.
    void badCopiesAreRefusedAndNothingRecorded_data() {
        QTest::addColumn<QString>("copy");
        QTest::addColumn<QString>("message");
        CourseState other;
        other.lesson = 30;
        QTest::newRow("empty") << QStringLiteral("  \t ")
                               << QStringLiteral("The copy is empty: nothing was checked or recorded.");
        QTest::newRow("another text") << QString::fromStdString(Cp1251ToUtf8(NextLessonText(other).body))
                                      << QStringLiteral("This does not look like a copy of lesson text 0001");
    }
    void badCopiesAreRefusedAndNothingRecorded() {
        QFETCH(QString, copy);
        QFETCH(QString, message);
        Open(true, 1);
        C<QPushButton>("CourseStart").click();
        const CourseState issued = Course();
        C<QPlainTextEdit>("CourseCopy").setPlainText(copy);
        QTest::keyClick(window.get(), Qt::Key_Return, Qt::ControlModifier);
        QVERIFY(!port->Playing()); // checking stops the sound
        QVERIFY2(Status("CourseStatus").startsWith(message), qPrintable(Status("CourseStatus")));
        QCOMPARE(LessonChecks(1), std::size_t{0});
        QVERIFY(Course() == issued);
        std::vector<CheckRecord> all;
        QVERIFY(history->Load(all, false).ok());
        QVERIFY(all.empty());
    }

    // Without a history, or with one of a newer version or damaged, the page says why and stays
    // disabled; a newer history is left as it was.
    void unusableHistoryDisablesThePage_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        QTest::newRow("none") << QStringLiteral("none")
                              << QStringLiteral("There is no history of checks to keep the course in");
        QTest::newRow("newer") << QStringLiteral("newer") << QStringLiteral("The course is not available: ");
        QTest::newRow("damaged") << QStringLiteral("damaged") << QStringLiteral("The course is not available: ");
    }
    void unusableHistoryDisablesThePage() {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        QByteArray before;
        if (kind == QLatin1String("newer")) {
            sqlite3* db = nullptr;
            QCOMPARE(sqlite3_open(HistoryPath().c_str(), &db), SQLITE_OK);
            sqlite3_exec(db, "CREATE TABLE t(x); PRAGMA user_version = 99", nullptr, nullptr, nullptr);
            sqlite3_close(db);
            before = test::ReadAll(QString::fromStdString(HistoryPath()));
        } else if (kind == QLatin1String("damaged")) {
            QFile file(QString::fromStdString(HistoryPath()));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(4096, 'x'));
        }
        Open(kind != QLatin1String("none"), 1);
        QVERIFY2(Status("CourseStatus").startsWith(message), qPrintable(Status("CourseStatus")));
        for (const char* name : {"CourseStart", "CourseCheck", "CourseKeep", "CourseCopy", "CourseSpeed"})
            QVERIFY2(!C<QWidget>(name).isEnabled(), name);
        QTest::keyClick(window.get(), Qt::Key_R, Qt::ControlModifier);
        QVERIFY(port->opened.empty());
        // Shown again later, it stays as it was.
        C<QTabWidget>("TrainerTabs").setCurrentIndex(0);
        C<QTabWidget>("TrainerTabs").setCurrentIndex(1);
        QVERIFY(!C<QWidget>("CourseStart").isEnabled());
        if (!before.isEmpty())
            QCOMPARE(test::ReadAll(QString::fromStdString(HistoryPath())), before);
    }

    // Every control of the two pages has a name a screen reader reads, in the window's language,
    // and every action a key.
    void everyControlHasANameAndEveryActionAKey() {
        Open(true, 1);
        window->SetTexts(ProgramTextTable::Russian());
        QCOMPARE(C<QTabWidget>("TrainerTabs").tabText(1), QStringLiteral("Курс Коха"));
        QCOMPARE(C<QTabWidget>("TrainerTabs").tabText(2), QStringLiteral("Узнавание знаков"));
        for (const char* name :
             {"CourseStanding",    "CourseLesson",      "CourseSpeed",      "CoursePause",     "CourseChecks",
              "CoursePass",        "CourseNewestCount", "CourseStart",      "CourseCheck",     "CourseKeep",
              "CourseCopy",        "CourseResult",      "CourseSource",     "RecognitionMode", "RecognitionSet",
              "RecognitionCount",  "RecognitionSpeed",  "RecognitionStart", "RecognitionStop", "RecognitionAnswer",
              "RecognitionSummary"}) {
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&C<QWidget>(name));
            QVERIFY2(face && !face->text(QAccessible::Name).isEmpty(), name);
        }
        QCOMPARE(QAccessible::queryAccessibleInterface(&C<QWidget>("RecognitionAnswer"))->text(QAccessible::Name),
                 QStringLiteral("Ответ: нажмите клавишу услышанного знака"));
        for (const char* name : {"CourseStartKey", "CourseCheckKey", "CourseKeepKey", "RecognitionStartKey"})
            QVERIFY2(window->findChild<QShortcut*>(QLatin1String(name)), name);
    }

    // A key at a known position of the port gives the reaction time within 5 ms of the truth; a
    // wrong key shows the right character and plays it again, and the next character follows the
    // replay. Escape ends the session: the summary is shown and the session recorded.
    void recognitionTimesTheKeyFromThePortAndReplaysAMiss() {
        Open(true, 2);
        // E: its file's closing silence, timed in the tempo's ticks, ends 12 ms away from where
        // the file's length less the silence puts it, so only the keyed end meets the 5 ms.
        C<QLineEdit>("RecognitionSet").setText(QStringLiteral("e"));
        QTest::keyClick(window.get(), Qt::Key_R, Qt::ControlModifier);
        auto& page = *window->findChild<TrainerRecognitionPage*>();
        QVERIFY(page.Running());
        QCOMPARE(page.Shown(), static_cast<unsigned char>('E'));
        QCOMPARE(port->opened.size(), std::size_t{1});
        QWidget& answer = C<QWidget>("RecognitionAnswer");
        QVERIFY(answer.hasFocus());

        const std::int64_t keyedEndMs = TimesOf(port->opened[0]).keyedEndMs;
        QVERIFY(keyedEndMs > 0);
        constexpr int kReactionMs = 337;
        port->Advance(keyedEndMs + kReactionMs);
        QTest::keyClick(&answer, Qt::Key_E);
        QCOMPARE(page.LastSession().answers.size(), std::size_t{1});
        QVERIFY(std::abs(page.LastSession().answers[0].reactionMs - kReactionMs) <= 5);
        QCOMPARE(port->opened.size(), std::size_t{2}); // the next character at once
        QVERIFY(Status("RecognitionStatus").startsWith(QStringLiteral("Right: E (")));

        port->Advance(100);
        QTest::keyClick(&answer, Qt::Key_M);
        QCOMPARE(Status("RecognitionStatus"), QStringLiteral("Wrong: it was E, not M"));
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&answer);
        QCOMPARE(face->text(QAccessible::Description), QStringLiteral("Wrong: it was E, not M"));
        QCOMPARE(port->opened.size(), std::size_t{3});
        SegmentText e;
        e.body = "E";
        e.speedCpm = kCourseDefaultCpm;
        QVERIFY(port->opened[2] == BuildMorseMidi(MorseTable{}, {e}, kRecognitionReplaySeconds, MidiVoice{}).bytes);
        QTest::keyClick(&answer, Qt::Key_E); // keys during the replay answer nothing
        QCOMPARE(page.LastSession().answers.size(), std::size_t{2});
        port->Advance(TimesOf(port->opened[2]).lengthMs);
        QCOMPARE(port->opened.size(), std::size_t{4});
        QVERIFY(port->Playing());

        QTest::keyClick(window.get(), Qt::Key_Escape);
        QVERIFY(!page.Running());
        QVERIFY(!port->Playing());
        const QString summary = C<QPlainTextEdit>("RecognitionSummary").toPlainText();
        QVERIFY2(summary.startsWith(QStringLiteral("1 of 2 right (50 %), median reaction ")), qPrintable(summary));
        std::vector<RecognitionSession> sessions;
        QVERIFY(history->LoadRecognitionSessions(sessions).ok());
        QCOMPARE(sessions.size(), std::size_t{1});
        QCOMPARE(sessions[0].answers.size(), std::size_t{2});
        QCOMPARE(sessions[0].characters, std::string("E"));
    }

    // In the word mode a word is typed and answered with Enter: the reaction runs from the end of
    // the word to Enter, a wrong word is shown and played again, and the session is recorded with
    // whole words.
    void recognitionOfWordsAnswersWithEnter() {
        Open(true, 2);
        C<QLineEdit>("RecognitionSet").setText(QStringLiteral("k")); // "K" is the only word of K
        auto& mode = C<QComboBox>("RecognitionMode");
        mode.setFocus();
        QTest::keyClick(&mode, Qt::Key_Down);
        QCOMPARE(mode.currentText(), QStringLiteral("words"));
        // Before the start, the page already speaks of words.
        QCOMPARE(C<QLabel>("RecognitionCountLabel").text(), QStringLiteral("Words in the sess&ion:"));
        QVERIFY(C<QLabel>("RecognitionStatus").text().contains(QStringLiteral("type each word")));
        QTest::keyClick(window.get(), Qt::Key_R, Qt::ControlModifier);
        auto& page = *window->findChild<TrainerRecognitionPage*>();
        QVERIFY(page.Running());
        QCOMPARE(page.ShownItem(), std::string("K"));
        QWidget& answer = C<QWidget>("RecognitionAnswer");
        QCOMPARE(QAccessible::queryAccessibleInterface(&answer)->text(QAccessible::Name),
                 QStringLiteral("Answer: type the word you hear and press Enter"));

        const std::int64_t keyedEndMs = TimesOf(port->opened[0]).keyedEndMs;
        constexpr int kReactionMs = 812;
        QTest::keyClicks(&answer, QStringLiteral("kx"));
        QCOMPARE(C<QLabel>("RecognitionAnswer").text(), QStringLiteral("KX"));
        QTest::keyClick(&answer, Qt::Key_Backspace);
        QCOMPARE(page.LastSession().answers.size(), std::size_t{0}); // a key alone answers nothing
        port->Advance(keyedEndMs + kReactionMs);
        QTest::keyClick(&answer, Qt::Key_Return);
        QCOMPARE(page.LastSession().answers.size(), std::size_t{1});
        QVERIFY(std::abs(page.LastSession().answers[0].reactionMs - kReactionMs) <= 5);
        QVERIFY(Status("RecognitionStatus").startsWith(QStringLiteral("Right: K (")));
        QCOMPARE(port->opened.size(), std::size_t{2});

        QTest::keyClicks(&answer, QStringLiteral("km"));
        QTest::keyClick(&answer, Qt::Key_Enter);
        QCOMPARE(Status("RecognitionStatus"), QStringLiteral("Wrong: it was K, not KM"));
        QCOMPARE(port->opened.size(), std::size_t{3}); // played again
        port->Advance(TimesOf(port->opened[2]).lengthMs);
        QCOMPARE(port->opened.size(), std::size_t{4});

        QTest::keyClick(window.get(), Qt::Key_Escape);
        QVERIFY(!page.Running());
        const QString summary = C<QPlainTextEdit>("RecognitionSummary").toPlainText();
        QVERIFY2(summary.contains(QStringLiteral("\nK: 1 of 2 right, median reaction ")), qPrintable(summary));
        std::vector<RecognitionSession> sessions;
        QVERIFY(history->LoadRecognitionSessions(sessions).ok());
        QCOMPARE(sessions.size(), std::size_t{1});
        QCOMPARE(sessions[0].mode, RecognitionMode::Words);
        QCOMPARE(sessions[0].answers.size(), std::size_t{2});
        QCOMPARE(sessions[0].answers[1].word, std::string("K"));
        QCOMPARE(sessions[0].answers[1].typedWord, std::string("KM"));
    }
};

QLOR_WINDOW_TEST_MAIN(TrainerPagesTest, "dummy")
#include "trainer_pages_test.moc"
