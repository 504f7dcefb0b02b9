// The competition and the batch export through the window: what they write equals what the
// cores plan, the page lock, the blocking of the controls, failures, progress and responsiveness.
// The competition plays on a fake audio port in virtual time.
#include "competition_checks.h"
#include "test_support.h"

#include "audio/audio_engine.h"
#include "audio/media_player.h"
#include "audio/offline_render.h"
#include "base/codepage.h"
#include "exercises/batch_export.h"
#include "exercises/competition.h"
#include "exercises/export_session.h"
#include "shell/main_form.h"
#include "shell/memo_text.h"
#include "shell/panel_widgets.h"
#include "tests/support/controls.h"

#include <QAccessible>
#include <QtTest>

#include <cstdlib>
#include <set>

using namespace qlor;
using test::Blocked;
using test::Control;
using test::ReadAll;
using test::Unblocked;
using test::WriteToneWav;

namespace {

QStringList Files(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
}

QStringList PairNames(const char* base, int from, int to) {
    QStringList names;
    for (int i = from; i <= to; ++i) {
        const QString stem = QString::fromLatin1(base) + (i < 10 ? "-0" : "-") + QString::number(i);
        names << stem + ".mid" << stem + ".txt";
    }
    names.sort();
    return names;
}

} // namespace

class ExercisesPageTest : public QObject, test::WindowRig {
    Q_OBJECT

    // The controls most of the tests use.
    QPlainTextEdit& MemoText() const { return Control<QPlainTextEdit>(*form, "MemoText"); }
    QPlainTextEdit& MemoProtokol() const { return Control<QPlainTextEdit>(*form, "MemoProtokol"); }
    QPushButton& CompRun() const { return Control<QPushButton>(*form, "CompRun"); }
    QPushButton& ButtonFormFiles() const { return Control<QPushButton>(*form, "ButtonFormFiles"); }
    QLineEdit& PathDir() const { return Control<QLineEdit>(*form, "PathDir"); }
    QProgressBar& ExportGauge() const { return Control<QProgressBar>(*form, "ExportGauge"); }
    QLabel& ExportStatus() const { return Control<QLabel>(*form, "ExportStatus"); }
    QString Path(const QString& name) const { return dir->filePath(name); }

    MidiVoice Voice() const { return test::WindowVoice(*form); }
    CompetitionPlan CorePlan(bool train, bool cpm, bool english) { return test::CorePlan(*form, train, cpm, english); }

    // The export's settings, chosen away from the defaults on the panel and the option pages.
    void SetExportControls(int count) {
        TransmissionSettings& s = form->Settings();
        s.number = {0, 4, 1, 7};
        s.speed = {0, 6, 0};
        s.textType = 3;
        s.groups = {0, 0, 7};
        s.charInGroup = 4;
        s.files = {count / 10, count % 10};
        s.midiChannel = 2;
        s.midiPatch = 10;
        s.pauseDelayDots = 5;
        Control<QSlider>(*form, "TrackBar1").setValue(80);
        Control<QRadioButton>(*form, "HeaderUser").setChecked(true);
        Control<QLineEdit>(*form, "BeginChar").setText(QStringLiteral("QST="));
        Control<QRadioButton>(*form, "EndedUser").setChecked(true);
        Control<QLineEdit>(*form, "EndChar").setText(QStringLiteral("SK"));
        Control<QRadioButton>(*form, "ParisSystem").setChecked(true);
    }

    // The same settings stated independently, for the core's export.
    ExportParams CoreExportParams(int count, const QString& folder) {
        ExportParams p;
        TransmissionSettings& s = p.controls.settings;
        s = DefaultTransmissionSettings();
        s.number = {0, 4, 1, 7};
        s.speed = {0, 6, 0};
        s.textType = 3;
        s.groups = {0, 0, 7};
        s.charInGroup = 4;
        s.files = {count / 10, count % 10};
        s.midiChannel = 2;
        s.midiPatch = 10;
        s.pauseDelayDots = 5;
        p.controls.headerStandard = false;
        p.controls.beginChar = "QST=";
        p.controls.endedStandard = false;
        p.controls.endChar = "SK";
        p.controls.selectedSymbols = MemoBytes(&Control<QPlainTextEdit>(*form, "MemoSelectedSymbols"));
        p.cpm = false;
        p.voice = MidiVoice{2, 10, 5, 80};
        p.folder = QFile::encodeName(folder).toStdString();
        return p;
    }

    void Export() {
        ButtonFormFiles().click();
        AwaitExportEnd();
    }
    // The export's worker writes in real time; its events reach the window as the clock runs.
    void AwaitExportEnd() {
        QTRY_VERIFY_WITH_TIMEOUT((clock->Advance(kExportNoticeIntervalMs), ButtonFormFiles().isEnabled()), 30000);
    }

    // Every file of the window's folder equals the core's file of that name.
    void CompareFolders(const QString& window, const QString& core) {
        QCOMPARE(Files(window), Files(core));
        for (const QString& name : Files(core))
            QVERIFY2(ReadAll(window + '/' + name) == ReadAll(core + '/' + name), qPrintable(name));
    }

private slots:
    void init() { QVERIFY(OpenWindow(true, /*virtualTime=*/true)); }
    void cleanup() { CloseWindow(); }

    // --- Competition, in virtual time ---------------------------------------------------------
    // The contest plays through the window's session on the fake port; the real players and
    // "temp.mid" are in competition_device_test.

    QProgressBar& Gauge(const char* name) const { return Control<QProgressBar>(*form, name); }

    void competitionPlaysTheCorePlanAsOneMidiWithoutNoiseAndLocksThePages() {
        TransmissionSettings& s = form->Settings();
        s.startSpeed = {0, 5, 0};
        s.stopSpeed = {0, 6, 0};
        s.noiseType = 1; // a noise a normal transmission would play
        QVERIFY(WriteToneWav(Path("noise.wav"), 1000));
        Control<QLineEdit>(*form, "NoiseFile1").setText(Path("noise.wav"));
        Control<QCheckBox>(*form, "TrainTextNeed").setChecked(true);
        MemoText().setPlainText(QStringLiteral("earlier text"));
        form->PageControl1->setCurrentIndex(3);
        // The chosen band plays under the contest, with the seed of the text number.
        QComboBox& band = Control<QComboBox>(*form, "BandPresetComboBox");
        band.setCurrentIndex(band.findData(QStringLiteral("average")));
        AudioEngine::Shared().SetBand(std::nullopt);

        CompRun().click();
        QVERIFY(AudioEngine::Shared().Band());
        QCOMPARE(AudioEngine::Shared().Band()->seed, uint64_t(TextNumber(s)));
        QCOMPARE(AudioEngine::Shared().Band()->stations, PresetBand(BandPreset::Average).stations);

        const CompetitionPlan plan = CorePlan(true, true, true);
        QCOMPARE(plan.protocol.size(), size_t(22));
        QCOMPARE(MemoBytes(&MemoProtokol()), plan.ProtocolText());
        QVERIFY(MemoProtokol()
                    .toPlainText()
                    .section('\n', 1, 1)
                    .startsWith(QStringLiteral("Begin ") +
                                QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat)));
        QCOMPARE(MemoProtokol().textCursor().selectedText(), QStringLiteral("Checklist QLOR-200"));
        QVERIFY(MemoText().toPlainText().isEmpty());

        // Every text in one MIDI with a minute after each, written (as "temp.mid") and played.
        const MidiResult expected = BuildMorseMidi(form->Morse(), plan.segments, 60, Voice());
        QVERIFY(expected);
        QCOMPARE(port->written.size(), size_t(1));
        QVERIFY(port->written[0] == expected.bytes);
        QCOMPARE(port->opened.size(), size_t(1));
        QVERIFY(port->opened[0] == expected.bytes);
        QVERIFY(port->noise.empty());
        QVERIFY(port->Playing());

        QVERIFY(form->CompetitionRunning());
        QVERIFY(Blocked(*form));
        QCOMPARE(clock->ActiveTimers(), size_t(1));
        QVERIFY(!form->PageControl1->RequestPage(0));
        QCOMPARE(form->PageControl1->currentIndex(), 3);

        Control<QPushButton>(*form, "CompStop").click();
        QVERIFY(!form->CompetitionRunning());
        QCOMPARE(port->stops, 1);
        QVERIFY(!port->Playing());
        QCOMPARE(clock->ActiveTimers(), size_t(0));
        QVERIFY(Unblocked(*form));
        QVERIFY(form->PageControl1->RequestPage(0));
        // The end-of-transmission steps have run, as after the player's notice.
        QCOMPARE(Gauge("Gauge2").value(), 100);
        QCOMPARE(MemoBytes(&MemoProtokol()), plan.ProtocolText());
        QVERIFY(dialogs->errors.isEmpty());
    }

    // Both gauges show the position in the one MIDI, rounded half to even; its end ends the contest.
    void gaugesFollowThePlaybackAndItsEndUnblocks() {
        TransmissionSettings& s = form->Settings();
        s.startSpeed = {0, 5, 0};
        s.stopSpeed = {0, 6, 0};
        Control<QCheckBox>(*form, "TrainTextNeed").setChecked(false);
        port->lengthOfNext = [](const ByteVector&) { return std::int64_t(8000); };
        CompRun().click();
        QVERIFY(form->CompetitionRunning());

        port->Advance(200); // 2.5 %
        QCOMPARE(Gauge("Gauge2").value(), 2);
        QCOMPARE(Gauge("Gauge1").value(), 2);
        port->Advance(400); // 7.5 %
        QCOMPARE(Gauge("Gauge2").value(), 8);
        QCOMPARE(Gauge("Gauge1").value(), 8);
        QVERIFY(form->CompetitionRunning());

        port->Advance(8000);
        QVERIFY(!form->CompetitionRunning());
        QVERIFY(Unblocked(*form));
        QCOMPARE(Gauge("Gauge2").value(), 100);
        QCOMPARE(Gauge("Gauge1").value(), 100);
        QCOMPARE(clock->ActiveTimers(), size_t(0));
        QCOMPARE(port->stops, 0);
        QVERIFY(form->PageControl1->RequestPage(0));
        QVERIFY(dialogs->errors.isEmpty());
    }

    void competitionProtocolIsRussianAwayFromEnglishWithNominalParisSpeeds() {
        TransmissionSettings& s = form->Settings();
        s.textType = 2;
        s.startSpeed = {0, 5, 0};
        s.stopSpeed = {0, 7, 0};
        Control<QCheckBox>(*form, "TrainTextNeed").setChecked(false);
        Control<QRadioButton>(*form, "ParisSystem").setChecked(true);
        QComboBox& languages = Control<QComboBox>(*form, "LngComboBox");
        languages.addItem(QStringLiteral("Other"));
        languages.setCurrentIndex(1);

        CompRun().click();

        const CompetitionPlan plan = CorePlan(false, false, false);
        QCOMPARE(MemoBytes(&MemoProtokol()), plan.ProtocolText());
        const QStringList lines = MemoProtokol().toPlainText().split('\n');
        QCOMPARE(lines[0], QString::fromUtf8("Протокол КЛОР-2000"));
        QCOMPARE(lines[2], QString::fromUtf8("Начальная скорость 50 PARIS"));
        QVERIFY(lines.contains(QStringLiteral("00000 70")));
        const MidiResult expected = BuildMorseMidi(form->Morse(), plan.segments, 60, Voice());
        QCOMPARE(port->written.size(), size_t(1));
        QVERIFY(port->written[0] == expected.bytes);
        Control<QPushButton>(*form, "CompStop").click();
        QVERIFY(!port->Playing());
    }

    void contestWithoutTextsEndsByItself() {
        TransmissionSettings& s = form->Settings();
        s.startSpeed = {0, 9, 0};
        s.stopSpeed = {0, 5, 0};
        Control<QCheckBox>(*form, "TrainTextNeed").setChecked(false);
        CompRun().click();
        QCOMPARE(MemoProtokol().toPlainText().split('\n', Qt::SkipEmptyParts).size(), 3);
        // Nothing to play: the contest ends at once, and nothing stays blocked.
        QVERIFY(!form->CompetitionRunning());
        QVERIFY(Unblocked(*form));
        QVERIFY(port->opened.empty());
        QCOMPARE(clock->ActiveTimers(), size_t(0));
        QCOMPARE(Gauge("Gauge2").value(), 100);
        QVERIFY2(dialogs->errors.isEmpty(), qPrintable(dialogs->errors.join('\n')));
    }

    // A start that fails shows the matching text with the reason, keeps the protocol and the
    // text, and leaves nothing playing or blocked.
    void competitionStartFailures_data() {
        QTest::addColumn<QString>("step");  // write, open or play
        QTest::addColumn<bool>("fileText"); // MorseFileNotWritten rather than NothingCanBePlayed
        QTest::newRow("write") << "write" << true;
        QTest::newRow("open") << "open" << false;
        QTest::newRow("play") << "play" << false;
    }
    void competitionStartFailures() {
        QFETCH(QString, step);
        QFETCH(bool, fileText);
        const std::string reason = "device says no";
        (step == "write" ? port->failWrite : step == "open" ? port->failOpen : port->failPlay) = reason;
        MemoText().setPlainText(QStringLiteral("kept"));
        CompRun().click();
        const QString expected =
            fileText ? form->OwnText(Say::MorseFileNotWritten)
                           .arg(QDir::toNativeSeparators(form->TempMidiPath()), QString::fromStdString(reason))
                     : form->OwnText(Say::NothingCanBePlayed).arg(QString::fromStdString(reason));
        QCOMPARE(dialogs->errors, QStringList{expected});
        QVERIFY(!form->CompetitionRunning());
        QVERIFY(Unblocked(*form));
        QVERIFY(!port->Playing());
        QCOMPARE(clock->ActiveTimers(), size_t(0));
        QVERIFY(form->PageControl1->RequestPage(1));
        QVERIFY(MemoProtokol().toPlainText().startsWith(QStringLiteral("Checklist QLOR-2000")));
        QCOMPARE(MemoText().toPlainText(), QStringLiteral("kept"));
    }

    void protocolIsSavedByteForByteAndCleared() {
        SetMemoBytes(&MemoProtokol(), Cp("Протокол КЛОР-2000\r\nvvv=\r\nАБВ 123 \r\n"));
        QPushButton& save = Control<QPushButton>(*form, "Button52");
        dialogs->answers = {Path("protocol.txt")};
        save.click();
        QCOMPARE(dialogs->saveSpecs.back().fileName, QString::fromUtf8("Протокол соревнования.txt"));
        QCOMPARE(dialogs->saveSpecs.back().defaultExt, QStringLiteral("txt"));
        const std::string expected = Cp("Протокол КЛОР-2000\r\nvvv=\r\nАБВ 123 \r\n");
        QCOMPARE(ReadAll(Path("protocol.txt")), QByteArray::fromStdString(expected));

        dialogs->answers = {std::nullopt}; // cancel writes nothing
        save.click();
        dialogs->answers = {Path("missing/protocol.txt")};
        save.click();
        QCOMPARE(dialogs->errors.size(), 1);
        QVERIFY(dialogs->errors[0].contains(QStringLiteral("protocol.txt")));
        QCOMPARE(Files(dir->path()), QStringList{QStringLiteral("protocol.txt")});

        Control<QPushButton>(*form, "Button38").click();
        QVERIFY(MemoProtokol().toPlainText().isEmpty());
    }

    // --- Batch export ------------------------------------------------------------------------

    void exportWritesThePairsOfTheCore_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("last");
        QTest::newRow("00 means one") << 0 << 1;
        QTest::newRow("10") << 10 << 10;
        QTest::newRow("12") << 12 << 12;
    }
    void exportWritesThePairsOfTheCore() {
        QFETCH(int, count);
        QFETCH(int, last);
        QDir(dir->path()).mkpath(QStringLiteral("window"));
        QDir(dir->path()).mkpath(QStringLiteral("core"));
        SetExportControls(count);
        PathDir().setText(Path("window"));
        QFile earlier(Path("window/0417-01.txt")); // an earlier export's file is overwritten
        QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("earlier text, longer than the new one") > 0);
        earlier.close();
        Export();
        QVERIFY(dialogs->errors.isEmpty());
        QCOMPARE(Files(Path("window")), PairNames("0417", 1, last));
        QVERIFY(RunExport(form->Morse(), CoreExportParams(count, Path("core"))).error.empty());
        CompareFolders(Path("window"), Path("core"));
        QVERIFY(ReadAll(Path("window/0417-01.txt")).startsWith("QST=\r\n"));
        QCOMPARE(ExportGauge().maximum(), last);
        QCOMPARE(ExportGauge().value(), last);
        QCOMPARE(ExportStatus().text(), QStringLiteral("Written: %1 of %1 pairs of files").arg(last));
        // A screen reader reads the status as a status bar, by its name and its text.
        QAccessibleInterface* status = QAccessible::queryAccessibleInterface(&ExportStatus());
        QCOMPARE(status->role(), QAccessible::StatusBar);
        QCOMPARE(status->text(QAccessible::Name), QStringLiteral("Export status: ") + ExportStatus().text());
        QAccessibleTextInterface* text = status->textInterface();
        QVERIFY(text);
        QCOMPARE(text->text(0, text->characterCount()), ExportStatus().text());
        QVERIFY(Unblocked(*form));
    }

    // With "also write audio" every pair gains its sound file, rendered as Run sounds; the text
    // and MIDI files stay the core's, byte for byte, and the progress counts all three files.
    void exportWithAudioAddsASoundFileToEveryPair() {
        QDir(dir->path()).mkpath(QStringLiteral("window"));
        QDir(dir->path()).mkpath(QStringLiteral("core"));
        SetExportControls(2);
        PathDir().setText(Path("window"));
        QComboBox& voice = Control<QComboBox>(*form, "VoiceComboBox");
        voice.setCurrentIndex(voice.findData(QStringLiteral("tone")));
        Control<QCheckBox>(*form, "ExportAudio").setChecked(true);
        QComboBox& format = Control<QComboBox>(*form, "ExportAudioFormat");
        QVERIFY(format.isEnabled());
        format.setCurrentIndex(format.findData(QStringLiteral("wav")));
        Export();
        QVERIFY(dialogs->errors.isEmpty());
        QStringList expected = PairNames("0417", 1, 2) << "0417-01.wav"
                                                       << "0417-02.wav";
        expected.sort();
        QCOMPARE(Files(Path("window")), expected);
        QVERIFY(RunExport(form->Morse(), CoreExportParams(2, Path("core"))).error.empty());
        for (const QString& name : Files(Path("core")))
            QVERIFY2(ReadAll(Path("window/") + name) == ReadAll(Path("core/") + name), qPrintable(name));
        for (const char* name : {"window/0417-01.wav", "window/0417-02.wav"})
            QVERIFY2(QFileInfo(Path(name)).size() > 48000, name); // seconds of sound, not a stub
        QCOMPARE(ExportGauge().maximum(), 6);
        QCOMPARE(ExportGauge().value(), 6);
        QCOMPARE(ExportStatus().text(), QStringLiteral("Written: 6 of 6 files (text, MIDI and sound)"));
        QVERIFY(Unblocked(*form));
    }

    // With a band chosen, the sound file is the text through the band of its text number: the
    // bytes the offline render (`qlor-cli render --band contest --seed 417`) gives from the same
    // MIDI file at the same levels.
    void exportWithAudioPlaysTheTextThroughTheBandOfItsNumber() {
        QDir(dir->path()).mkpath(QStringLiteral("window"));
        SetExportControls(0);
        // The sound's length does not matter here, only its bytes: two groups, sent faster.
        form->Settings().groups = {0, 0, 2};
        form->Settings().speed = {1, 5, 0};
        PathDir().setText(Path("window"));
        QComboBox& voice = Control<QComboBox>(*form, "VoiceComboBox");
        voice.setCurrentIndex(voice.findData(QStringLiteral("tone")));
        Control<QCheckBox>(*form, "ExportAudio").setChecked(true);
        QComboBox& format = Control<QComboBox>(*form, "ExportAudioFormat");
        format.setCurrentIndex(format.findData(QStringLiteral("wav")));
        QComboBox& band = Control<QComboBox>(*form, "BandPresetComboBox");
        band.setCurrentIndex(band.findData(QStringLiteral("contest")));
        Export();
        QVERIFY(dialogs->errors.isEmpty());

        RenderRequest request;
        request.midiPath = QFile::encodeName(Path("window/0417-01.mid")).toStdString();
        request.voice = VoiceKind::Tone;
        request.midiLevel = static_cast<uint16_t>(Control<QSlider>(*form, "TrackBar2").value());
        request.noiseLevel = static_cast<uint16_t>(Control<QSlider>(*form, "TrackBar3").value());
        request.band = PresetBand(BandPreset::Contest);
        request.band->seed = 417;
        const std::string expected = QFile::encodeName(Path("expected.wav")).toStdString();
        QVERIFY(RenderToFile(request, expected).error.empty());
        const QByteArray written = ReadAll(Path("window/0417-01.wav"));
        QVERIFY(written.size() > 48000);
        QVERIFY(written == ReadAll(Path("expected.wav")));
        request.band->seed = 418; // another text number, another band
        QVERIFY(RenderToFile(request, expected).error.empty());
        QVERIFY(written != ReadAll(Path("expected.wav")));
    }

    void emptyPathDirWritesIntoTheCurrentDirectory() {
        SetExportControls(2);
        PathDir().clear();
        Export();
        QCOMPARE(Files(dir->path()), PairNames("0417", 1, 2));
        QCOMPARE(PathDir().text(), QString());
    }

    void invalidFolderNamesTheFileAndUnblocks() {
        QFile plain(Path("plain"));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        SetExportControls(3);
        PathDir().setText(Path("plain/sub"));
        Export();
        QCOMPARE(dialogs->errors.size(), 1);
        QVERIFY2(dialogs->errors[0].contains(QStringLiteral("0417-01.txt")), qPrintable(dialogs->errors[0]));
        QVERIFY(Unblocked(*form));
        QCOMPARE(ExportGauge().value(), 0);
    }

    void writeErrorInTheMiddleKeepsTheEarlierPairs() {
        QDir(dir->path()).mkpath(QStringLiteral("out/0417-03.mid")); // a folder in the way of pair 3
        SetExportControls(5);
        PathDir().setText(Path("out"));
        Export();
        QCOMPARE(dialogs->errors.size(), 1);
        QVERIFY2(dialogs->errors[0].contains(QStringLiteral("0417-03.mid")), qPrintable(dialogs->errors[0]));
        QVERIFY(dialogs->errors[0].contains(QStringLiteral("pair 3 of 5")));
        QStringList expected = PairNames("0417", 1, 2) << "0417-03.mid";
        expected.sort();
        QCOMPARE(Files(Path("out")), expected); // no text without its MIDI file, no temporary files
        QVERIFY(QFileInfo(Path("out/0417-03.mid")).isDir());
        QCOMPARE(ExportGauge().value(), 2);
        QVERIFY(Unblocked(*form));
    }

    void failedGenerationsShowTheGeneratorMessageForEachFile() {
        SetExportControls(3);
        Control<QRadioButton>(*form, "SelectedSymbols").setChecked(true);
        // Two of one letter: the third in a row is refused, and nothing else may be drawn.
        Control<QPlainTextEdit>(*form, "MemoSelectedSymbols").setPlainText(QStringLiteral("AA"));
        QDir(dir->path()).mkpath(QStringLiteral("window"));
        QDir(dir->path()).mkpath(QStringLiteral("core"));
        PathDir().setText(Path("window"));
        Export();
        QVERIFY(test::WaitUntil([&] { return dialogs->messages.size() >= 3; }));
        QCOMPARE(dialogs->messages.size(), 3);
        for (const QString& m : dialogs->messages)
            QCOMPARE(m, QString::fromUtf8("Не могу сформировать текст - набор символов слишком мал!"));
        QVERIFY(dialogs->errors.isEmpty());
        ExportParams core = CoreExportParams(3, Path("core"));
        core.controls.allSymbols = false;
        core.controls.selectedSymbols = "AA";
        QCOMPARE(RunExport(form->Morse(), core).failedGenerations, 3);
        CompareFolders(Path("window"), Path("core"));
        QCOMPARE(ReadAll(Path("window/0417-02.txt")), QByteArray("QST=\r\nSK"));
    }

    void longSeriesKeepsTheWindowResponsiveAndShowsProgress() {
        SetExportControls(99);
        form->Settings().groups = {1, 9, 9};
        PathDir().setText(dir->path());
        std::set<int> seen;
        connect(&ExportGauge(), &QProgressBar::valueChanged, this, [&](int v) { seen.insert(v); });
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&] { ++ticks; });
        ticker.start(0);

        ButtonFormFiles().click();
        // The click returns at once: the series is written while the window goes on.
        QVERIFY(Blocked(*form));
        const int ticksBefore = ticks;
        AwaitExportEnd();
        QVERIFY(ticks > ticksBefore);
        QVERIFY2(seen.size() > 2, "the progress moved through the series");
        QCOMPARE(ExportGauge().value(), 99);
        QCOMPARE(Files(dir->path()), PairNames("0417", 1, 99));
        QCOMPARE(ExportStatus().text(), QStringLiteral("Written: 99 of 99 pairs of files"));
    }

    void stopEndsTheSeriesAfterThePairBeingWritten() {
        SetExportControls(99);
        form->Settings().groups = {1, 9, 9};
        PathDir().setText(dir->path());
        ButtonFormFiles().click();
        ButtonFormFiles().click(); // blocked: no second series
        Control<QPushButton>(*form, "ButtonStop").click();
        // Blocked until the pair being written is done and the end has arrived.
        QVERIFY(Blocked(*form));
        AwaitExportEnd();
        QVERIFY(Unblocked(*form));
        const QStringList written = Files(dir->path());
        QVERIFY(written.size() < 2 * 99);
        QCOMPARE(written, PairNames("0417", 1, written.size() / 2));
        // The worker has ended: nothing more is written or shown.
        clock->Advance(10 * kExportNoticeIntervalMs);
        QCoreApplication::processEvents();
        QCOMPARE(Files(dir->path()), written);
        QCOMPARE(ExportStatus().text(),
                 QStringLiteral("Stopped: %1 of 99 pairs of files written").arg(written.size() / 2));
        QVERIFY(dialogs->errors.isEmpty());
    }

    // On the window's own clock, the progress timer that the stop buttons halt: the end of the
    // series still arrives and unblocks the window.
    void stopOnTheWindowsOwnTimerStillEndsTheSeries() {
        CloseWindow();
        QVERIFY(OpenWindow(true));
        SetExportControls(99);
        form->Settings().groups = {1, 9, 9};
        PathDir().setText(dir->path());
        ButtonFormFiles().click();
        Control<QPushButton>(*form, "ButtonStop").click();
        QTRY_VERIFY_WITH_TIMEOUT(ButtonFormFiles().isEnabled(), 30000);
        QVERIFY(ExportStatus().text().startsWith(QStringLiteral("Stopped: ")));
        QVERIFY(Unblocked(*form));
    }

    void folderChooserStartsAtPathDirAndCancelKeepsIt() {
        PathDir().setText(QStringLiteral("/srv/texts"));
        QPushButton& choose = Control<QPushButton>(*form, "Button37");
        dialogs->answers = {std::nullopt};
        choose.click();
        QCOMPARE(dialogs->folderStarts, QStringList{QStringLiteral("/srv/texts")});
        QCOMPARE(PathDir().text(), QStringLiteral("/srv/texts"));
        dialogs->answers = {dir->path()};
        choose.click();
        QCOMPARE(PathDir().text(), dir->path());
    }
};

QLOR_WINDOW_TEST_MAIN(ExercisesPageTest, "dummy")

#include "exercises_page_test.moc"
