// The competition on the window's own players and TrainTimer: the contest is written to
// "temp.mid" in the current directory, played by MediaPlayerText and removed when it ends, and a
// "temp.mid" that cannot be written is reported. The rest of the competition is tested in virtual
// time (exercises_page_test).
#include "competition_checks.h"
#include "test_support.h"

#include "audio/audio_engine.h"
#include "audio/media_player.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QtTest>

using namespace qlor;
using test::Blocked;
using test::Control;
using test::ReadAll;
using test::Unblocked;

class CompetitionDeviceTest : public QObject, test::WindowRig {
    Q_OBJECT

    QPlainTextEdit& MemoText() const { return Control<QPlainTextEdit>(*form, "MemoText"); }
    QPlainTextEdit& MemoProtokol() const { return Control<QPlainTextEdit>(*form, "MemoProtokol"); }
    QPushButton& CompRun() const { return Control<QPushButton>(*form, "CompRun"); }
    QString TempMid() const { return dir->filePath(QStringLiteral("temp.mid")); }

private slots:
    void init() { QVERIFY(OpenWindow(true)); }
    void cleanup() { CloseWindow(); }

    void competitionPlaysTempMidWithTheTextPlayerAndRemovesIt() {
        TransmissionSettings& s = form->Settings();
        s.startSpeed = {0, 5, 0};
        s.stopSpeed = {0, 6, 0};
        Control<QCheckBox>(*form, "TrainTextNeed").setChecked(true);

        CompRun().click();
        const CompetitionPlan plan = test::CorePlan(*form, true, true, true);
        const MidiResult expected = BuildMorseMidi(form->Morse(), plan.segments, 60, test::WindowVoice(*form));
        QVERIFY(expected);
        QVERIFY(ReadAll(TempMid()) ==
                QByteArray(reinterpret_cast<const char*>(expected.bytes.data()), expected.bytes.size()));
        QVERIFY(form->CompetitionRunning());
        QVERIFY(Blocked(*form));
        QVERIFY(form->TrainTimer->isActive());
        QCOMPARE(form->MediaPlayerText->mode(), MediaPlayer::Mode::Playing);
        QVERIFY(form->MediaPlayerNoise->mode() != MediaPlayer::Mode::Playing);

        Control<QPushButton>(*form, "CompStop").click();
        QVERIFY(!form->CompetitionRunning());
        QVERIFY(!form->TrainTimer->isActive());
        QVERIFY(Unblocked(*form));
        QVERIFY(form->PageControl1->RequestPage(0));
        QTRY_VERIFY(!QFile::exists(TempMid()));
        QVERIFY(form->MediaPlayerText->mode() != MediaPlayer::Mode::Playing);
        QVERIFY(dialogs->errors.isEmpty());
    }

    void unwritableTempMidiReportsAndUnblocks() {
        QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("temp.mid"))); // a folder where the file goes
        MemoText().setPlainText(QStringLiteral("kept"));
        CompRun().click();
        QCOMPARE(dialogs->errors.size(), 1);
        QVERIFY2(dialogs->errors[0].contains(QStringLiteral("temp.mid")), qPrintable(dialogs->errors[0]));
        QVERIFY(!form->CompetitionRunning());
        QVERIFY(Unblocked(*form));
        QVERIFY(!form->TrainTimer->isActive());
        QVERIFY(form->PageControl1->RequestPage(1));
        QVERIFY(MemoProtokol().toPlainText().startsWith(QStringLiteral("Checklist QLOR-2000")));
        QCOMPARE(MemoText().toPlainText(), QStringLiteral("kept"));
        QVERIFY(QFileInfo(TempMid()).isDir());
    }
};

QLOR_WINDOW_TEST_MAIN(CompetitionDeviceTest, "dummy")
#include "competition_device_test.moc"
