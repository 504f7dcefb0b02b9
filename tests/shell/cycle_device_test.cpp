// The transmission cycle on the window's own players and TrainTimer: "temp.mid" is written in the
// current folder and removed when the text ends, a "temp.mid" that cannot be written is reported,
// and the players' late notice of a stopped text ends nothing. The rest of the cycle is tested in
// virtual time (cycle_test).
#include "competition_checks.h"
#include "test_support.h"

#include "audio/media_player.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace qlor;
using test::Control;
using test::Unblocked;

class CycleDeviceTest : public QObject, test::WindowRig {
    Q_OBJECT

    QPushButton& ButtonRun() const { return Control<QPushButton>(*form, "ButtonRun"); }
    QPushButton& ButtonStop() const { return Control<QPushButton>(*form, "ButtonStop"); }
    QString TempMid() const { return QDir::current().filePath(QStringLiteral("temp.mid")); }
    bool Sending() const { return ButtonStop().isEnabled(); }

    // Fast sending of the given text: 399 characters per minute.
    void OwnText(const char* text) {
        form->Settings().speed = {3, 9, 9};
        SetRadioChecked(&Control<QRadioButton>(*form, "OurSystem"), true);
        Control<QCheckBox>(*form, "CheckBoxTextType").setChecked(true);
        Control<QPlainTextEdit>(*form, "MemoText").setPlainText(QString::fromUtf8(text));
    }
    // The idle state every Run ends in: controls back, the timer off, no "temp.mid" left.
    void VerifyIdle() {
        QVERIFY(Unblocked(*form));
        QVERIFY(!form->TrainTimer->isActive());
        QVERIFY(!Control<QPlainTextEdit>(*form, "MemoText").isReadOnly());
        QCOMPARE(form->MediaPlayerText->mode(), MediaPlayer::Mode::NotOpen);
        QVERIFY(!QFile::exists(TempMid()));
    }

private slots:
    void init() {
        QVERIFY(OpenWindow(true));
        form->SetRunEndPause(1);
    }
    void cleanup() {
        if (form && Sending())
            form->ButtonStopClick();
        CloseWindow();
    }

    // The notice of a stopped text may come after the next Run has started: it ends nothing.
    void lateNoticeOfAStopLeavesTheNextRunPlaying() {
        OwnText("PARIS PARIS PARIS PARIS");
        QSignalSpy notices(form->MediaPlayerText, &MediaPlayer::notify);
        ButtonRun().click();
        ButtonStop().click();
        ButtonRun().click();
        QVERIFY(Sending());
        QTRY_COMPARE_WITH_TIMEOUT(notices.size(), 1, 2000);
        QVERIFY(Sending());
        QCOMPARE(form->MediaPlayerText->mode(), MediaPlayer::Mode::Playing);
        QVERIFY(form->TrainTimer->isActive());
        QVERIFY(QFile::exists(TempMid()));
        ButtonStop().click();
        VerifyIdle();
    }

    void unwritableTempMidShowsTheErrorAndUnblocks() {
        // A folder nobody may write to; as root, where permissions do not hold, the process's
        // file system view, where no file can be created.
        QVERIFY(QFile::setPermissions(dir->path(), QFile::ReadOwner | QFile::ExeOwner));
        QFile probe(dir->filePath(QStringLiteral("probe")));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.close();
            probe.remove();
            QVERIFY(QDir::setCurrent(QStringLiteral("/proc")));
        }
        OwnText("PARIS");
        ButtonRun().click();
        QCOMPARE(dialogs->errors.size(), 1);
        QVERIFY2(dialogs->errors.first().contains(QStringLiteral("temp.mid")), qPrintable(dialogs->errors.first()));
        VerifyIdle();
        QFile::setPermissions(dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void tempMidFollowsTheCurrentFolder() {
        OwnText("E");
        QTemporaryDir other;
        QVERIFY(QDir::setCurrent(other.path()));
        QCOMPARE(form->TempMidiPath(), QDir(other.path()).filePath(QStringLiteral("temp.mid")));
        ButtonRun().click();
        QVERIFY(QFile::exists(QDir(other.path()).filePath(QStringLiteral("temp.mid"))));
        QVERIFY(!QFile::exists(dir->filePath(QStringLiteral("temp.mid"))));
        ButtonStop().click();
        QVERIFY(!QFile::exists(QDir(other.path()).filePath(QStringLiteral("temp.mid"))));
        QVERIFY(QDir::setCurrent(dir->path()));
    }
};

QLOR_WINDOW_TEST_MAIN(CycleDeviceTest, "dummy")
#include "cycle_device_test.moc"
