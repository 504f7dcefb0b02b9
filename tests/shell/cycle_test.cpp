// The transmission cycle in the window: Run, Stop, the natural end, the noise that follows the
// text, the progress bars, the blocked controls, auto reception, the written MIDI and the
// failures that must end cleanly, all on the fake port in virtual time. "temp.mid" on disk and the
// window's own players are tested in cycle_device_test.
#include "test_support.h"

#include "audio/audio_engine.h"
#include "shell/blocked_controls.h"
#include "shell/main_form.h"
#include "shell/memo_text.h"
#include "shell/panel_widgets.h"
#include "shell/play_progress.h"
#include "tests/support/controls.h"
#include "textgen/radiogram.h"

#include <QtTest>

#include <map>
#include <set>

using namespace qlor;
using test::Control;
using test::WriteToneWav;

namespace {

// The controls that stay usable during a transmission.
const char* const kAlwaysUsable[] = {"TrackBar2",
                                     "TrackBar3",
                                     "InputMemo",
                                     "LngComboBox",
                                     "Button57",
                                     "Button58",
                                     "Button59",
                                     "Button60",
                                     "Button37",
                                     "PathDir",
                                     "VoiceComboBox",
                                     "WindowScaleComboBox",
                                     "ButtonBandConditions",
                                     "ButtonTrainer",
                                     "ButtonTrainer2"};

} // namespace

class CycleTest : public QObject, test::WindowRig {
    Q_OBJECT

    QWidget* Named(std::string_view name) {
        return form->findChild<QWidget*>(QString::fromLatin1(name.data(), qsizetype(name.size())));
    }
    // The controls most of the tests use.
    QPushButton& ButtonRun() const { return Control<QPushButton>(*form, "ButtonRun"); }
    QPushButton& ButtonStop() const { return Control<QPushButton>(*form, "ButtonStop"); }
    QPlainTextEdit& MemoText() const { return Control<QPlainTextEdit>(*form, "MemoText"); }
    QPlainTextEdit& InputMemo() const { return Control<QPlainTextEdit>(*form, "InputMemo"); }
    QProgressBar& Gauge1() const { return Control<QProgressBar>(*form, "Gauge1"); }
    QProgressBar& Gauge2() const { return Control<QProgressBar>(*form, "Gauge2"); }
    QString TempMid() const { return QDir::current().filePath(QStringLiteral("temp.mid")); }
    bool Sending() const { return ButtonStop().isEnabled(); }

    // Fast sending: 399 characters per minute, one group of five.
    void QuickRadiogram() {
        form->Settings().speed = {3, 9, 9};
        form->Settings().groups = {0, 0, 1};
        form->Settings().charInGroup = 5;
        SetRadioChecked(&Control<QRadioButton>(*form, "OurSystem"), true);
    }
    void OwnText(const char* text) {
        QuickRadiogram();
        Control<QCheckBox>(*form, "CheckBoxTextType").setChecked(true);
        MemoText().setPlainText(QString::fromUtf8(text));
    }

    // Blocked: the listed controls off, the stop buttons on, the memos read-only and the lamps red;
    // unblocked the other way round with grey lamps. The always usable controls stay on.
    void VerifyBlockState(bool blocked) {
        for (const std::string_view name : BlockedControls())
            QVERIFY2(Named(name)->isEnabled() != blocked, name.data());
        for (const std::string_view name : StopControls())
            QVERIFY2(Named(name)->isEnabled() == blocked, name.data());
        for (const std::string_view name : ReadOnlyMemosWhileBlocked())
            QVERIFY2(static_cast<QPlainTextEdit*>(Named(name))->isReadOnly() == blocked, name.data());
        for (const std::string_view name : TransmissionLamps()) {
            auto* lamp = qobject_cast<Lamp*>(Named(name));
            QVERIFY2(lamp, name.data());
            QCOMPARE(lamp->Colour(), blocked ? QColor(0xFF, 0, 0) : QColor(0xC0, 0xC0, 0xC0));
        }
        for (const char* name : kAlwaysUsable)
            QVERIFY2(Named(name)->isEnabled(), name);
    }
    // The idle state every Run ends in, whatever happened.
    void VerifyIdle() {
        QVERIFY(!form->TrainTimer->isActive());
        for (const std::string_view name : BlockedControls())
            QVERIFY2(Named(name)->isEnabled(), name.data());
        for (const std::string_view name : StopControls())
            QVERIFY2(!Named(name)->isEnabled(), name.data());
        for (const std::string_view name : TransmissionLamps())
            QVERIFY(!static_cast<Lamp*>(Named(name))->OnAir());
        QVERIFY(!MemoText().isReadOnly());
        QVERIFY(!QFile::exists(TempMid()));
    }

private slots:
    void init() {
        QVERIFY(OpenWindow(true, true));
        form->SetRunEndPause(1);
    }
    void cleanup() {
        if (form && Sending())
            form->ButtonStopClick();
        CloseWindow();
    }

    // --- blocking -----------------------------------------------------------------------------

    void blockAndUnblockSwitchExactlyTheListedControls() {
        for (const std::string_view name : BlockedControls())
            QVERIFY2(Named(name) != nullptr, name.data());
        // At start the stop buttons are off and noise paths 2..4 wait for the first unblock.
        for (const std::string_view name : StopControls())
            QVERIFY2(!Named(name)->isEnabled(), name.data());
        for (const char* name : {"NoiseFile2", "NoiseFile3", "NoiseFile4"})
            QVERIFY2(!Named(name)->isEnabled(), name);

        form->ControlBlock();
        VerifyBlockState(true);
        QVERIFY(!InputMemo().isReadOnly());
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
        port->lengthOfNext = [](const ByteVector&) { return std::int64_t(4000); };
        ButtonRun().click();
        QVERIFY(dialogs->errors.isEmpty());
        QVERIFY(dialogs->messages.isEmpty());
        QVERIFY(Sending());
        // The composed MIDI is written (as "temp.mid") and the same bytes are opened and played.
        QCOMPARE(port->written.size(), size_t(1));
        QCOMPARE(port->opened.size(), size_t(1));
        QVERIFY(port->written[0] == port->opened[0]);
        QVERIFY(port->Playing());
        QVERIFY(port->noise.empty());
        QCOMPARE(clock->ActiveTimers(), size_t(1));
        QVERIFY(MemoText().isReadOnly());
        QVERIFY(static_cast<Lamp*>(Named("fcLabel6"))->OnAir());
        // The own text is sent as it stands.
        QCOMPARE(MemoText().toPlainText(), QStringLiteral("PARIS PARIS PARIS PARIS"));
        // The progress bars move at the 200 ms progress interval while the text plays.
        port->Advance(199);
        QCOMPARE(Gauge1().value(), 0);
        port->Advance(1);
        QCOMPARE(Gauge1().value(), 5);
        QCOMPARE(Gauge2().value(), 5);

        Control<QPushButton>(*form, "ButtonStop1").click(); // any of the three stop buttons
        QCOMPARE(Gauge1().value(), 0);
        QCOMPARE(Gauge2().value(), 0);
        QCOMPARE(port->stops, 1);
        QVERIFY(!port->Playing());
        QCOMPARE(clock->ActiveTimers(), size_t(0));
        VerifyIdle();
        // Time goes on without the text: nothing moves the bars or plays again.
        port->Advance(8000);
        QCOMPARE(Gauge1().value(), 0);
        QCOMPARE(port->opened.size(), size_t(1));
        VerifyIdle();
    }

    // The band chosen in its dialog goes to the engine before the text opens: its seed is the
    // text number unless "random" is chosen, and "off" takes it away again. The noise slider's
    // tip names it.
    void runOpensTheTextThroughTheChosenBand() {
        form->Settings().number = {0, 4, 1, 7};
        QuickRadiogram();
        Control<QPushButton>(*form, "ButtonBandConditions").click();
        QComboBox& preset = Control<QComboBox>(*form, "BandPresetComboBox");
        QVERIFY(preset.isVisible());
        preset.setCurrentIndex(preset.findData(QStringLiteral("poor")));
        Control<QComboBox>(*form, "BandFilterComboBox").setCurrentIndex(0); // 250 Hz
        Control<QCheckBox>(*form, "BandAgcCheckBox").setChecked(false);
        QSpinBox& snr = Control<QSpinBox>(*form, "BandSnrSpinBox");
        QCOMPARE(snr.value(), 8); // the preset's own ratio
        snr.setValue(-3);
        QVERIFY(Control<QSlider>(*form, "TrackBar3").toolTip().contains(QStringLiteral("-3 dB")));
        AudioEngine::Shared().SetBand(std::nullopt);

        ButtonRun().click();
        QVERIFY(Sending());
        const std::optional<BandSettings> band = AudioEngine::Shared().Band();
        QVERIFY(band);
        const BandSettings poor = PresetBand(BandPreset::Poor);
        QCOMPARE(band->seed, uint64_t{417});
        QCOMPARE(band->snrDb, -3.0);
        QCOMPARE(band->filterHz, 250);
        QVERIFY(!band->agc);
        QCOMPARE(int(band->qsb), int(poor.qsb));
        QCOMPARE(int(band->qrn), int(poor.qrn));
        QCOMPARE(band->stations, poor.stations);
        ButtonStop().click();
        VerifyIdle();

        QComboBox& seed = Control<QComboBox>(*form, "BandSeedComboBox");
        seed.setCurrentIndex(seed.findData(QStringLiteral("random")));
        std::set<uint64_t> seeds;
        for (int run = 0; run < 2; ++run) {
            ButtonRun().click();
            QVERIFY(AudioEngine::Shared().Band());
            seeds.insert(AudioEngine::Shared().Band()->seed);
            ButtonStop().click();
        }
        QCOMPARE(seeds.size(), size_t{2});
        QVERIFY(!seeds.count(417));

        preset.setCurrentIndex(preset.findData(QStringLiteral("off")));
        QVERIFY(!Control<QSlider>(*form, "TrackBar3").toolTip().contains(QStringLiteral("dB")));
        ButtonRun().click();
        QVERIFY(!AudioEngine::Shared().Band());
        ButtonStop().click();
        VerifyIdle();
    }

    void naturalEndWithNoiseAndAutoReception() {
        const QString noise = dir->filePath(QStringLiteral("noise.wav"));
        QVERIFY(WriteToneWav(noise, 300));
        QuickRadiogram();
        form->Settings().noiseType = 2;
        Control<QLineEdit>(*form, "NoiseFile2").setText(noise);
        Control<QCheckBox>(*form, "CheckBoxAutoPriem").setChecked(true);
        InputMemo().setPlainText(QStringLiteral("old copy"));
        port->lengthOfNext = [](const ByteVector&) { return std::int64_t(5000); };
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));

        Control<QPushButton>(*form, "Button53").click();
        QVERIFY2(dialogs->errors.isEmpty(), qPrintable(dialogs->errors.join('\n')));
        QVERIFY(Sending());
        // The composed radiogram is in the Text page's memo.
        QVERIFY(MemoText().toPlainText().startsWith(QStringLiteral("vvv=\n")));
        // Auto reception: the Reception page, the header as the first line, the cursor there.
        QCOMPARE(form->PageControl1->currentIndex(), 2);
        QCOMPARE(MemoBytes(&InputMemo()), std::string("vvv=\r\n"));
        QTRY_VERIFY(InputMemo().hasFocus());
        QCOMPARE(InputMemo().textCursor().position(), 5);

        // The chosen recording goes with the text.
        QCOMPARE(port->noise, noise.toStdString());
        QCOMPARE(port->opened.size(), size_t(1));
        port->Advance(2000);
        QVERIFY(Sending());
        QVERIFY(port->Playing());
        QCOMPARE(Gauge1().value(), 40);

        // The text ends by itself: the end steps run once, the bars full.
        port->Advance(3000);
        QVERIFY(!Sending());
        QCOMPARE(Gauge1().value(), 100);
        QCOMPARE(Gauge2().value(), 100);
        QVERIFY(!port->Playing());
        QCOMPARE(port->opened.size(), size_t(1));
        QCOMPARE(clock->ActiveTimers(), size_t(0));
        VerifyIdle();
        QVERIFY(dialogs->errors.isEmpty());
    }

    void noiseStopsWithTheTextOnStop() {
        QVERIFY(WriteToneWav(dir->filePath(QStringLiteral("n.wav")), 200));
        OwnText("PARIS PARIS PARIS");
        form->Settings().noiseType = 1;
        Control<QLineEdit>(*form, "NoiseFile1").setText(QStringLiteral("n.wav")); // relative to the current folder
        ButtonRun().click();
        QCOMPARE(port->noise, std::string("n.wav"));
        QVERIFY(port->Playing());
        Control<QPushButton>(*form, "Button54").click();
        QCOMPARE(port->stops, 1);
        QVERIFY(!port->Playing());
        VerifyIdle();
        // The next Run without a noise chosen opens none.
        form->Settings().noiseType = 0;
        ButtonRun().click();
        QVERIFY(port->noise.empty());
        ButtonStop().click();
        VerifyIdle();
    }

    void missingOrUnchosenNoiseGivesNoNoiseAndNoMessage() {
        OwnText("E");
        form->Settings().noiseType = 3;
        Control<QLineEdit>(*form, "NoiseFile3").clear();
        ButtonRun().click();
        QVERIFY(Sending());
        QVERIFY(port->noise.empty());
        ButtonStop().click();
        form->Settings().noiseType = 4;
        Control<QLineEdit>(*form, "NoiseFile4").setText(dir->filePath(QStringLiteral("absent.wav")));
        ButtonRun().click();
        QVERIFY(Sending());
        QVERIFY(port->noise.empty());
        ButtonStop().click();
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
        Control<QLineEdit>(*form, "NoiseFile1").setText(junk.fileName());
        port->failNoise = "unknown format";
        ButtonRun().click();
        QCOMPARE(dialogs->errors.size(), 1);
        QVERIFY(dialogs->errors.first().contains(QStringLiteral("junk.wav")));
        QVERIFY(dialogs->errors.first().contains(QStringLiteral("unknown format")));
        QVERIFY(Sending());
        QVERIFY(port->Playing());
        QVERIFY(port->noise.empty()); // the text plays without it
        QCOMPARE(clock->ActiveTimers(), size_t(1));
        ButtonStop().click();
        VerifyIdle();
    }

    // The bars show the position in the played MIDI, rounded half to even, at every progress
    // interval of TrainTimer's 200 ms; the end sets them to 100.
    void progressIsTheRoundedShareOfTheLength() {
        OwnText("PARIS PARIS PARIS PARIS PARIS");
        port->lengthOfNext = [](const ByteVector&) { return std::int64_t(8000); };
        ButtonRun().click();
        QVERIFY(Sending());
        QCOMPARE(port->opened.size(), size_t(1));
        port->Advance(200); // 2.5 %
        QCOMPARE(Gauge1().value(), 2);
        QCOMPARE(Gauge2().value(), 2);
        port->Advance(400); // 7.5 %
        QCOMPARE(Gauge1().value(), 8);
        QCOMPARE(Gauge2().value(), 8);
        port->Advance(8000);
        QVERIFY(!Sending());
        QCOMPARE(Gauge1().value(), 100);
        QCOMPARE(Gauge2().value(), 100);
        QCOMPARE(clock->ActiveTimers(), size_t(0));
        VerifyIdle();
        // Without an open player the timer changes nothing.
        Gauge1().setValue(42);
        form->TrainTimerTimer();
        QCOMPARE(Gauge1().value(), 42);
    }

    // The share itself: ties to even both ways, at most 100, and nothing while the length or the
    // position is unknown (the bars then keep what they show).
    void progressPercentRoundsTiesToEven_data() {
        QTest::addColumn<qint64>("positionMs");
        QTest::addColumn<qint64>("lengthMs");
        QTest::addColumn<int>("percent"); // -1: nothing
        QTest::newRow("tie down") << qint64(1) << qint64(8) << 12;
        QTest::newRow("tie up") << qint64(3) << qint64(8) << 38;
        QTest::newRow("below a half") << qint64(1) << qint64(3) << 33;
        QTest::newRow("above a half") << qint64(2) << qint64(3) << 67;
        QTest::newRow("past the end") << qint64(9000) << qint64(8000) << 100;
        QTest::newRow("no length") << qint64(0) << qint64(0) << -1;
        QTest::newRow("no position") << qint64(-1) << qint64(8000) << -1;
    }
    void progressPercentRoundsTiesToEven() {
        QFETCH(qint64, positionMs);
        QFETCH(qint64, lengthMs);
        QFETCH(int, percent);
        QCOMPARE(ProgressPercent(positionMs, lengthMs).value_or(-1), percent);
    }

    // --- the texts that are sent --------------------------------------------------------------

    void ownTextModeWithAnEmptyMemoSendsTheEndSign() {
        OwnText("");
        ButtonRun().click();
        QVERIFY(dialogs->messages.isEmpty());
        QCOMPARE(MemoText().toPlainText(), QStringLiteral("*"));
        QVERIFY(Sending());
        ButtonStop().click();
        VerifyIdle();
    }

    void generatedRadiogramIsShownAndTheSameNumberGivesTheSameText() {
        QuickRadiogram();
        form->Settings().number = {0, 0, 0, 0};
        form->Settings().textType = 0;
        form->Settings().groups = {0, 0, 4};
        Control<QCheckBox>(*form, "NeedHeader").setChecked(true);
        SetRadioChecked(&Control<QRadioButton>(*form, "HeaderStandart"), true);
        Control<QCheckBox>(*form, "NeedEnded").setChecked(true);
        SetRadioChecked(&Control<QRadioButton>(*form, "EndedStandart"), true);
        ButtonRun().click();
        QCOMPARE(MemoBytes(&MemoText()), std::string("vvv=\r\nERVHJ YXDKQ FJCVG UXLAG \r\n*"));
        ButtonStop().click();
        MemoText().setPlainText(QStringLiteral("something else"));
        ButtonRun().click();
        QCOMPARE(MemoBytes(&MemoText()), std::string("vvv=\r\nERVHJ YXDKQ FJCVG UXLAG \r\n*"));
        ButtonStop().click();
    }

    // --- failures end cleanly ------------------------------------------------------------------

    void generatorFailureShowsItsMessageAndUnblocks() {
        QuickRadiogram();
        SetRadioChecked(&Control<QRadioButton>(*form, "SelectedSymbols"), true);
        Control<QPlainTextEdit>(*form, "MemoSelectedSymbols").setPlainText(QStringLiteral("A!"));
        MemoText().setPlainText(QStringLiteral("before"));
        ButtonRun().click();
        QCOMPARE(dialogs->messages,
                 QStringList{QString::fromUtf8("Не могу сформировать текст - набор символов слишком мал!")});
        QVERIFY(dialogs->errors.isEmpty());
        QCOMPARE(MemoText().toPlainText(), QStringLiteral("before"));
        QVERIFY(port->opened.empty());
        VerifyIdle();
    }

    void ownTextWithoutAKeyableCharacterSaysSoInTheInterfaceLanguage() {
        OwnText("--- ---");
        ButtonRun().click();
        QCOMPARE(dialogs->messages.size(), 1);
        QVERIFY(dialogs->messages.first().contains(QStringLiteral("Morse code")));
        QVERIFY(dialogs->errors.isEmpty());
        QCOMPARE(MemoText().toPlainText(), QStringLiteral("--- ---"));
        QVERIFY(port->opened.empty());
        VerifyIdle();
        // The same in Russian: the wording of the shipped language file.
        QVERIFY(QFile::copy(QDir::cleanPath(QStringLiteral(QLOR_TEST_DATA_DIR "/../../data/Russian.lng")),
                            QStringLiteral("Russian.lng")));
        QComboBox& languages = Control<QComboBox>(*form, "LngComboBox");
        languages.addItem(QStringLiteral("Russian"));
        languages.setCurrentIndex(languages.count() - 1);
        form->LngComboBoxChange(languages.currentIndex());
        ButtonRun().click();
        QCOMPARE(dialogs->messages.size(), 2);
        QVERIFY(dialogs->messages.last().contains(QString::fromUtf8("Морзе")));
        VerifyIdle();
    }
};

QLOR_WINDOW_TEST_MAIN(CycleTest, "dummy")

#include "cycle_test.moc"
