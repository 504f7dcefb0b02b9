// The transmission cycle in the window, played on the audio engine's dummy output: Run, Stop,
// the natural end, the noise that follows the text, the progress bars, the blocked controls, auto
// reception, "temp.mid" and the failures that must end cleanly.
#include "test_support.h"

#include "audio/media_player.h"
#include "control/blocked_controls.h"
#include "shell/main_form.h"
#include "shell/memo_text.h"
#include "shell/panel_widgets.h"
#include "textgen/radiogram.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sndfile.h>

#include <cmath>
#include <map>
#include <set>
#include <vector>

using namespace qlor;
using test::WriteToneWav;

namespace {

using Mode = MediaPlayer::Mode;

// The controls that stay usable during a transmission.
const char* const kAlwaysUsable[] = {"TrackBar2", "TrackBar3", "InputMemo", "LngComboBox", "Button57",     "Button58",
                                     "Button59",  "Button60",  "Button37",  "PathDir",     "VoiceComboBox"};

} // namespace

class CycleTest : public QObject, test::WindowRig {
    Q_OBJECT

    QWidget* Control(std::string_view name) {
        return form->findChild<QWidget*>(QString::fromLatin1(name.data(), qsizetype(name.size())));
    }
    QString TempMid() const { return QDir::current().filePath(QStringLiteral("temp.mid")); }
    bool Sending() const { return form->panel.ButtonStop->isEnabled(); }

    // Fast sending: 399 characters per minute, one group of five.
    void QuickRadiogram() {
        form->Settings().speed = {3, 9, 9};
        form->Settings().groups = {0, 0, 1};
        form->Settings().charInGroup = 5;
        SetRadioChecked(form->configuration.OurSystem, true);
    }
    void OwnText(const char* text) {
        QuickRadiogram();
        form->textOptions.CheckBoxTextType->setChecked(true);
        form->text.MemoText->setPlainText(QString::fromUtf8(text));
    }

    // Blocked: the listed controls off, the stop buttons on, the memos read-only and the lamps red;
    // unblocked the other way round with grey lamps. The always usable controls stay on.
    void VerifyBlockState(bool blocked) {
        for (const std::string_view name : BlockedControls())
            QVERIFY2(Control(name)->isEnabled() != blocked, name.data());
        for (const std::string_view name : StopControls())
            QVERIFY2(Control(name)->isEnabled() == blocked, name.data());
        for (const std::string_view name : ReadOnlyMemosWhileBlocked())
            QVERIFY2(static_cast<QPlainTextEdit*>(Control(name))->isReadOnly() == blocked, name.data());
        for (const std::string_view name : TransmissionLamps()) {
            auto* lamp = qobject_cast<Lamp*>(Control(name));
            QVERIFY2(lamp, name.data());
            QCOMPARE(lamp->Colour(), blocked ? QColor(0xFF, 0, 0) : QColor(0xC0, 0xC0, 0xC0));
        }
        for (const char* name : kAlwaysUsable)
            QVERIFY2(Control(name)->isEnabled(), name);
    }
    // The idle state every Run ends in, whatever happened.
    void VerifyIdle() {
        QVERIFY(!form->TrainTimer->isActive());
        for (const std::string_view name : BlockedControls())
            QVERIFY2(Control(name)->isEnabled(), name.data());
        for (const std::string_view name : StopControls())
            QVERIFY2(!Control(name)->isEnabled(), name.data());
        for (const std::string_view name : TransmissionLamps())
            QVERIFY(!static_cast<Lamp*>(Control(name))->OnAir());
        QVERIFY(!form->text.MemoText->isReadOnly());
        QVERIFY(!QFile::exists(TempMid()));
    }

private slots:
    void init() { QVERIFY(OpenWindow(true)); }
    void cleanup() {
        if (form && Sending())
            form->ButtonStopClick();
        CloseWindow();
    }

    // --- blocking -----------------------------------------------------------------------------

    void blockAndUnblockSwitchExactlyTheListedControls() {
        for (const std::string_view name : BlockedControls())
            QVERIFY2(Control(name) != nullptr, name.data());
        // At start the stop buttons are off and noise paths 2..4 wait for the first unblock.
        for (const std::string_view name : StopControls())
            QVERIFY2(!Control(name)->isEnabled(), name.data());
        for (const char* name : {"NoiseFile2", "NoiseFile3", "NoiseFile4"})
            QVERIFY2(!Control(name)->isEnabled(), name);

        form->ControlBlock();
        VerifyBlockState(true);
        QVERIFY(!form->reception.InputMemo->isReadOnly());
        form->ControlUnBlock();
        VerifyBlockState(false); // noise paths 2..4 included
    }

    void blockTouchesNoOtherControl() {
        const auto named = [this] {
            std::map<QString, bool> states;
            for (QWidget* w : form->findChildren<QWidget*>())
                if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")))
                    states[w->objectName()] = w->isEnabled();
            return states;
        };
        form->ControlUnBlock();
        const auto before = named();
        form->ControlBlock();
        const auto during = named();
        std::set<QString> expected;
        for (const std::string_view name : BlockedControls())
            expected.insert(QString::fromLatin1(name.data(), qsizetype(name.size())));
        for (const std::string_view name : StopControls())
            expected.insert(QString::fromLatin1(name.data(), qsizetype(name.size())));
        for (const auto& [name, enabled] : before) {
            // Children of a blocked control follow it; only direct changes count.
            QWidget* w = form->findChild<QWidget*>(name);
            bool parentBlocked = false;
            for (QWidget* p = w->parentWidget(); p && p != form.get(); p = p->parentWidget())
                parentBlocked |= expected.count(p->objectName()) > 0;
            if (expected.count(name) || parentBlocked)
                continue;
            QVERIFY2(during.at(name) == enabled, qPrintable(name));
        }
    }

    // --- Run, Stop and the natural end -----------------------------------------------------------

    void runThenStop() {
        OwnText("PARIS PARIS PARIS PARIS");
        form->panel.ButtonRun->click();
        QVERIFY(dialogs->errors.isEmpty());
        QVERIFY(dialogs->messages.isEmpty());
        QVERIFY(Sending());
        QCOMPARE(form->MediaPlayerText->mode(), Mode::Playing);
        QVERIFY(QFile::exists(TempMid()));
        QVERIFY(form->TrainTimer->isActive());
        QCOMPARE(form->TrainTimer->interval(), 200);
        QVERIFY(form->text.MemoText->isReadOnly());
        QVERIFY(static_cast<Lamp*>(Control("fcLabel6"))->OnAir());
        // The own text is sent as it stands.
        QCOMPARE(form->text.MemoText->toPlainText(), QStringLiteral("PARIS PARIS PARIS PARIS"));
        // The progress bars move while the text plays.
        QTRY_VERIFY_WITH_TIMEOUT(form->panel.Gauge1->value() > 0, 3000);
        QCOMPARE(form->competition.Gauge2->value(), form->panel.Gauge1->value());

        form->reception.ButtonStop1->click(); // any of the three stop buttons
        QCOMPARE(form->panel.Gauge1->value(), 0);
        QCOMPARE(form->competition.Gauge2->value(), 0);
        VerifyIdle();
        QCOMPARE(form->MediaPlayerText->mode(), Mode::NotOpen);
        // The player's notice of the cut-short playback then runs the end steps once more.
        QTRY_COMPARE_WITH_TIMEOUT(form->panel.Gauge1->value(), 100, 2000);
        VerifyIdle();
    }

    void naturalEndWithNoiseAndAutoReception() {
        QVERIFY(WriteToneWav(dir->filePath(QStringLiteral("noise.wav")), 300));
        QuickRadiogram();
        form->Settings().noiseType = 2;
        form->configuration.NoiseFile2->setText(dir->filePath(QStringLiteral("noise.wav")));
        form->textOptions.CheckBoxAutoPriem->setChecked(true);
        form->reception.InputMemo->setPlainText(QStringLiteral("old copy"));
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));

        form->text.Button53->click();
        QVERIFY2(dialogs->errors.isEmpty(), qPrintable(dialogs->errors.join('\n')));
        QVERIFY(Sending());
        // The composed radiogram is in the Text page's memo.
        QVERIFY(form->text.MemoText->toPlainText().startsWith(QStringLiteral("vvv=\n")));
        // Auto reception: the Reception page, the header as the first line, the cursor there.
        QCOMPARE(form->PageControl1->currentIndex(), 2);
        QCOMPARE(MemoBytes(form->reception.InputMemo), std::string("vvv=\r\n"));
        QTRY_VERIFY(form->reception.InputMemo->hasFocus());
        QCOMPARE(form->reception.InputMemo->textCursor().position(), 5);

        // The 300 ms recording keeps sounding while the text plays.
        QCOMPARE(form->MediaPlayerNoise->mode(), Mode::Playing);
        QTest::qWait(800);
        QVERIFY(Sending());
        QCOMPARE(form->MediaPlayerText->mode(), Mode::Playing);
        QCOMPARE(form->MediaPlayerNoise->mode(), Mode::Playing);
        QVERIFY(QFile::exists(TempMid()));
        const int progress = form->panel.Gauge1->value();
        QVERIFY2(progress > 0 && progress < 100, qPrintable(QString::number(progress)));

        // A noise that ends while the text plays is started again by its notice.
        form->MediaPlayerNoise->stop();
        QTRY_COMPARE_WITH_TIMEOUT(form->MediaPlayerNoise->mode(), Mode::Playing, 2000);

        // The text ends by itself (a few seconds: the file closes with five seconds of silence).
        QTRY_VERIFY_WITH_TIMEOUT(!Sending(), 20000);
        QCOMPARE(form->panel.Gauge1->value(), 100);
        QCOMPARE(form->competition.Gauge2->value(), 100);
        QCOMPARE(form->MediaPlayerText->mode(), Mode::NotOpen);
        QCOMPARE(form->MediaPlayerNoise->mode(), Mode::NotOpen);
        VerifyIdle();
        QVERIFY(dialogs->errors.isEmpty());
    }

    void noiseStopsWithTheTextOnStop() {
        QVERIFY(WriteToneWav(dir->filePath(QStringLiteral("n.wav")), 200));
        OwnText("PARIS PARIS PARIS");
        form->Settings().noiseType = 1;
        form->configuration.NoiseFile1->setText(QStringLiteral("n.wav")); // relative to the current folder
        form->panel.ButtonRun->click();
        QCOMPARE(form->MediaPlayerNoise->mode(), Mode::Playing);
        form->text.Button54->click();
        VerifyIdle();
        QTRY_COMPARE_WITH_TIMEOUT(form->MediaPlayerNoise->mode(), Mode::NotOpen, 2000);
    }

    void missingOrUnchosenNoiseGivesNoNoiseAndNoMessage() {
        OwnText("E");
        form->Settings().noiseType = 3;
        form->configuration.NoiseFile3->clear();
        form->panel.ButtonRun->click();
        QVERIFY(Sending());
        QCOMPARE(form->MediaPlayerNoise->mode(), Mode::NotOpen);
        form->panel.ButtonStop->click();
        form->Settings().noiseType = 4;
        form->configuration.NoiseFile4->setText(dir->filePath(QStringLiteral("absent.wav")));
        form->panel.ButtonRun->click();
        QVERIFY(Sending());
        QCOMPARE(form->MediaPlayerNoise->mode(), Mode::NotOpen);
        form->panel.ButtonStop->click();
        QVERIFY(dialogs->errors.isEmpty());
        QVERIFY(dialogs->messages.isEmpty());
    }

    void unreadableNoiseSaysSoAndTheTextGoesOn() {
        QFile junk(dir->filePath(QStringLiteral("junk.wav")));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("this is not a recording");
        junk.close();
        OwnText("PARIS");
        form->Settings().noiseType = 1;
        form->configuration.NoiseFile1->setText(junk.fileName());
        form->panel.ButtonRun->click();
        QCOMPARE(dialogs->errors.size(), 1);
        QVERIFY(dialogs->errors.first().contains(QStringLiteral("junk.wav")));
        QVERIFY(Sending());
        QVERIFY(form->TrainTimer->isActive());
        form->panel.ButtonStop->click();
        VerifyIdle();
    }

    void progressIsTheRoundedShareOfTheLength() {
        OwnText("PARIS PARIS PARIS PARIS PARIS");
        form->panel.ButtonRun->click();
        QTest::qWait(600);
        // A stopped player still reports its position: the bars show it.
        form->MediaPlayerText->stop();
        const qint64 position = form->MediaPlayerText->position();
        const qint64 length = form->MediaPlayerText->length();
        QVERIFY(position > 0 && length > position);
        form->TrainTimerTimer();
        const double share = double(position * 100) / double(length);
        const int expected = int(std::nearbyint(share));
        QCOMPARE(form->panel.Gauge1->value(), expected);
        QCOMPARE(form->competition.Gauge2->value(), expected);
        QTRY_VERIFY_WITH_TIMEOUT(!Sending(), 2000); // the stop's notice ends the transmission
        VerifyIdle();
        // Without an open player the timer changes nothing.
        form->panel.Gauge1->setValue(42);
        form->TrainTimerTimer();
        QCOMPARE(form->panel.Gauge1->value(), 42);
    }

    // --- the texts that are sent --------------------------------------------------------------

    void ownTextModeWithAnEmptyMemoSendsTheEndSign() {
        OwnText("");
        form->panel.ButtonRun->click();
        QVERIFY(dialogs->messages.isEmpty());
        QCOMPARE(form->text.MemoText->toPlainText(), QStringLiteral("*"));
        QVERIFY(Sending());
        form->panel.ButtonStop->click();
        VerifyIdle();
    }

    void generatedRadiogramIsShownAndTheSameNumberGivesTheSameText() {
        QuickRadiogram();
        form->Settings().number = {0, 0, 0, 0};
        form->Settings().textType = 0;
        form->Settings().groups = {0, 0, 4};
        form->textOptions.NeedHeader->setChecked(true);
        SetRadioChecked(form->textOptions.HeaderStandart, true);
        form->textOptions.NeedEnded->setChecked(true);
        SetRadioChecked(form->textOptions.EndedStandart, true);
        form->panel.ButtonRun->click();
        QCOMPARE(MemoBytes(form->text.MemoText), std::string("vvv=\r\nERVHJ YXDKQ FJCVG UXLAG \r\n*"));
        form->panel.ButtonStop->click();
        form->text.MemoText->setPlainText(QStringLiteral("something else"));
        form->panel.ButtonRun->click();
        QCOMPARE(MemoBytes(form->text.MemoText), std::string("vvv=\r\nERVHJ YXDKQ FJCVG UXLAG \r\n*"));
        form->panel.ButtonStop->click();
    }

    // --- failures end cleanly ------------------------------------------------------------------

    void generatorFailureShowsItsMessageAndUnblocks() {
        QuickRadiogram();
        SetRadioChecked(form->textOptions.SelectedSymbols, true);
        form->textOptions.MemoSelectedSymbols->setPlainText(QStringLiteral("A!"));
        form->text.MemoText->setPlainText(QStringLiteral("before"));
        form->panel.ButtonRun->click();
        QCOMPARE(dialogs->messages,
                 QStringList{QString::fromUtf8("Не могу сформировать текст - набор символов слишком мал!")});
        QVERIFY(dialogs->errors.isEmpty());
        QCOMPARE(form->text.MemoText->toPlainText(), QStringLiteral("before"));
        QCOMPARE(form->MediaPlayerText->mode(), Mode::NotOpen);
        VerifyIdle();
    }

    void ownTextWithoutAKeyableCharacterSaysSoInTheInterfaceLanguage() {
        OwnText("--- ---");
        form->panel.ButtonRun->click();
        QCOMPARE(dialogs->messages.size(), 1);
        QVERIFY(dialogs->messages.first().contains(QStringLiteral("Morse code")));
        QVERIFY(dialogs->errors.isEmpty());
        QCOMPARE(form->text.MemoText->toPlainText(), QStringLiteral("--- ---"));
        QCOMPARE(form->MediaPlayerText->mode(), Mode::NotOpen);
        VerifyIdle();
        // The same in a language other than English: the Russian wording.
        form->configuration.LngComboBox->addItem(QStringLiteral("Russian"));
        form->configuration.LngComboBox->setCurrentIndex(form->configuration.LngComboBox->count() - 1);
        form->panel.ButtonRun->click();
        QCOMPARE(dialogs->messages.size(), 2);
        QVERIFY(dialogs->messages.last().contains(QString::fromUtf8("Морзе")));
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
        form->panel.ButtonRun->click();
        QCOMPARE(dialogs->errors.size(), 1);
        QVERIFY2(dialogs->errors.first().contains(QStringLiteral("temp.mid")), qPrintable(dialogs->errors.first()));
        QCOMPARE(form->MediaPlayerText->mode(), Mode::NotOpen);
        VerifyIdle();
        QFile::setPermissions(dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void tempMidFollowsTheCurrentFolder() {
        OwnText("E");
        QTemporaryDir other;
        QVERIFY(QDir::setCurrent(other.path()));
        QCOMPARE(form->TempMidiPath(), QDir(other.path()).filePath(QStringLiteral("temp.mid")));
        form->panel.ButtonRun->click();
        QVERIFY(QFile::exists(QDir(other.path()).filePath(QStringLiteral("temp.mid"))));
        QVERIFY(!QFile::exists(dir->filePath(QStringLiteral("temp.mid"))));
        form->panel.ButtonStop->click();
        QVERIFY(!QFile::exists(QDir(other.path()).filePath(QStringLiteral("temp.mid"))));
        QVERIFY(QDir::setCurrent(dir->path()));
    }
};

QLOR_WINDOW_TEST_MAIN(CycleTest, "dummy")

#include "cycle_test.moc"
