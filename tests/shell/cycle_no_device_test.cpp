// Without any sound output the program still starts and composes texts; Run says that nothing
// can be played and leaves the window as it was before the Run.
#include "test_support.h"

#include "audio/media_player.h"
#include "shell/blocked_controls.h"
#include "shell/main_form.h"
#include "shell/memo_text.h"
#include "shell/panel_widgets.h"
#include "tests/support/controls.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace qlor;
using test::Control;

class CycleNoDeviceTest : public QObject {
    Q_OBJECT

private slots:
    void runExplainsThatNothingCanBePlayed() {
        QTemporaryDir dir;
        const QString start = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        test::FakeDialogs dialogs;
        {
            TMainForm form(&dialogs);
            form.Settings().number = {0, 0, 0, 0};
            form.Settings().textType = 0;
            form.Settings().groups = {0, 0, 4};
            Control<QPushButton>(form, "ButtonRun").click();

            // The radiogram is composed and shown all the same.
            QCOMPARE(MemoBytes(&Control<QPlainTextEdit>(form, "MemoText")),
                     std::string("vvv=\r\nERVHJ YXDKQ FJCVG UXLAG \r\n*"));
            QCOMPARE(dialogs.errors.size(), 1);
            QVERIFY2(dialogs.errors.first().contains(QStringLiteral("Nothing can be played")),
                     qPrintable(dialogs.errors.first()));
            QCOMPARE(form.MediaPlayerText->mode(), MediaPlayer::Mode::NotOpen);
            QVERIFY(!form.TrainTimer->isActive());
            for (const std::string_view name : BlockedControls())
                QVERIFY(
                    form.findChild<QWidget*>(QString::fromLatin1(name.data(), qsizetype(name.size())))->isEnabled());
            QVERIFY(!Control<QPushButton>(form, "ButtonStop").isEnabled());
            QVERIFY(!Control<Lamp>(form, "fcLabel4").OnAir());
            QVERIFY(!QFile::exists(QStringLiteral("temp.mid")));

            // A second Run fails the same way, without hanging or crashing.
            Control<QPushButton>(form, "ButtonRun1").click();
            QCOMPARE(dialogs.errors.size(), 2);
            QVERIFY(!QFile::exists(QStringLiteral("temp.mid")));
        }
        QVERIFY(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
        QDir::setCurrent(start);
    }
};

// An output driver that does not exist: the audio system cannot open any device.
QLOR_WINDOW_TEST_MAIN(CycleNoDeviceTest, "qlor-no-such-driver")

#include "cycle_no_device_test.moc"
