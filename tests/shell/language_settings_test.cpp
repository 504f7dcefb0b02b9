// Interface languages and the settings kept between runs, seen through the window: the language
// files of the current directory, the captions they give, and the settings read while the window
// is created and written when it closes. Every test runs in a fresh current directory; the
// per-user settings location points into a temporary folder for the whole program.
#include "test_support.h"

#include "audio/audio_engine.h"
#include "audio/media_player.h"
#include "base/codepage.h"
#include "control/caption_table.h"
#include "control/settings_store.h"
#include "shell/caption_feeds.h"
#include "shell/main_form.h"
#include "shell/memo_text.h"
#include "shell/panel_widgets.h"
#include "shell/store/qsettings_store.h"
#include "shell/window_scale.h"
#include "tests/support/controls.h"
#include "tests/support/memory_settings_store.h"

#include <algorithm>

#include <QAccessible>
#include <QTemporaryDir>
#include <QtTest>

using namespace qlor;
using test::Control;
using test::MemorySettingsStore;
using test::WriteAll;

namespace {

// data/Russian.lng of the source tree.
QString ShippedRussian() {
    return QDir::cleanPath(QStringLiteral(QLOR_TEST_DATA_DIR) + QStringLiteral("/../../data/Russian.lng"));
}

QString Latin(std::string_view s) {
    return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

// Every value different from its default where the range allows it.
PersistedSettings FilledValues() {
    PersistedSettings v;
    v.transmission.number = {1, 2, 3, 4};
    v.transmission.speed = {1, 2, 5};
    v.transmission.midiChannel = 2;
    v.transmission.midiPatch = 19;
    v.transmission.groups = {1, 2, 3};
    v.transmission.charInGroup = 4;
    v.transmission.startSpeed = {0, 2, 0};
    v.transmission.stopSpeed = {1, 5, 0};
    v.transmission.textType = 3;
    v.transmission.pauseDelayDots = 5;
    v.transmission.noiseType = 2;
    v.transmission.files = {2, 7};
    v.textType = true;
    v.tone = 60;
    v.noiseFiles = {"/шум/ТЧ.wav", "/noise/ds.wav", "", "/noise/rn.wav"}; // UTF-8 paths
    v.trainTextNeed = false;
    v.parisSystem = true;
    v.allSymbols = false;
    v.selectedSymbols = true;
    v.selectedSymbolsString = Cp("АБВ123");
    v.autoPriem = true;
    v.needHeader = false;
    v.headerStandart = false;
    v.headerUser = true;
    v.beginChar = "QST=";
    v.needEnded = false;
    v.endedStandart = false;
    v.endedUser = true;
    v.endChar = "SK";
    v.pathDir = "/tmp/Папка";
    v.language = 0;
    v.voice = "tone";
    return v;
}

// A complete store holding FilledValues().
void FillStore(MemorySettingsStore& s) {
    QVERIFY(SavePersistedSettings(s, FilledValues()).ok);
    s.log.clear();
}

// The text a fed control shows for its entry.
QString FedText(TMainForm& form, const CaptionFeed& feed) {
    QWidget* control = form.findChild<QWidget*>(Latin(feed.objectName));
    if (!control)
        return QStringLiteral("<no control>");
    switch (feed.target) {
    case CaptionTarget::PageCaption:
        return form.PageControl1->tabText(form.PageControl1->indexOf(control));
    case CaptionTarget::Caption:
        if (auto* label = qobject_cast<QLabel*>(control))
            return label->text();
        return qobject_cast<QAbstractButton*>(control)->text();
    case CaptionTarget::Hint:
        return control->toolTip();
    }
    return {};
}

// The first fed control whose text is not the table's, or an empty string.
QString FirstMismatch(TMainForm& form, const CaptionTable& table) {
    for (const CaptionFeed& feed : CaptionFeeds()) {
        const QString want = FromCp1251(table.Text(feed.entry));
        const QString got = FedText(form, feed);
        if (got != want)
            return QStringLiteral("entry %1 (%2): \"%3\" instead of \"%4\"")
                .arg(feed.entry)
                .arg(Latin(feed.objectName), got, want);
    }
    return {};
}

} // namespace

class LanguageSettingsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir;
    QString previousDir;
    std::unique_ptr<test::FakeDialogs> dialogs;
    std::unique_ptr<test::FakeLevels> levels;

    std::unique_ptr<TMainForm> Open(SettingsStore& store) {
        auto form = std::make_unique<TMainForm>(dialogs.get(), levels.get(), &store);
        form->show();
        return form;
    }
    void Lng(const char* name, std::string_view bytes) { QVERIFY(WriteAll(QString::fromUtf8(name), bytes)); }
    // The operator picks an item of the language list.
    static void Pick(TMainForm& form, int index) {
        QComboBox& list = Control<QComboBox>(form, "LngComboBox");
        list.setCurrentIndex(index);
        emit list.activated(index);
    }
    static QStringList Items(TMainForm& form) {
        QStringList items;
        const QComboBox& list = Control<QComboBox>(form, "LngComboBox");
        for (int i = 0; i < list.count(); ++i)
            items << list.itemText(i);
        return items;
    }
    static QString Tab(TMainForm& form, int index) { return form.PageControl1->tabText(index); }
    static QString Cell(TMainForm& form, const char* name) { return Control<Indicator>(form, name).text(); }

private slots:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
        previousDir = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir->path()));
        dialogs = std::make_unique<test::FakeDialogs>();
        levels = std::make_unique<test::FakeLevels>();
        levels->midi = 0x00110022u;
        levels->wave = 0x00330044u;
    }
    void cleanup() {
        QVERIFY(QDir::setCurrent(previousDir));
        dir.reset();
    }

    // --- Languages ------------------------------------------------------------------------------

    void firstStartIsEnglishAndCreatesTheSettingsAtClose() {
        const QString ini = dir->filePath(QStringLiteral("conf/QLOR.conf"));
        QSettingsStore store(ini);
        auto form = Open(store);
        QCOMPARE(Items(*form), QStringList{"English"});
        QCOMPARE(form->LanguagePosition(), 0);
        QCOMPARE(FirstMismatch(*form, EnglishCaptions()), QString());
        // Texts outside the table keep their design text.
        QCOMPARE(Control<QLabel>(*form, "Label70").text(), QStringLiteral("Languige"));
        QCOMPARE(Control<QPushButton>(*form, "ButtonOpen").toolTip(), QStringLiteral("Загрузить радиограмму из файла"));
        QCOMPARE(Control<StepButton>(*form, "Button23").toolTip(), QStringLiteral("Изменить канал"));
        QCOMPARE(Control<StepButton>(*form, "Button1").toolTip(), QStringLiteral("Изменить скорость"));
        QCOMPARE(form->CollectSettings(), PersistedSettings{});
        QVERIFY(!QFile::exists(ini)); // reading creates nothing
        form->close();
        QVERIFY(dialogs->errors.isEmpty());
        QSettings written(ini, QSettings::IniFormat);
        // and "Voice", "Export Audio", "Band", "Band Filter", "Band AGC", "Band Seed" ("Band SNR" once set)
        // and the trainer's values
        QCOMPARE(written.allKeys().size(), kPersistedValueCount + 6 + int(kTrainerValueNames.size()));
        QCOMPARE(written.value("Band").toString(), QStringLiteral("off"));
        QCOMPARE(written.value("Voice").toString(), QStringLiteral("auto"));
        QCOMPARE(written.value("Tone").toInt(), kToneDefault);
        QCOMPARE(written.value("Number Speed 2").toInt(), 5);
        QCOMPARE(written.value("Selected symbols string").toString(), FromCp1251(FullAlphabet()));
    }

    void languageFilesOfTheCurrentDirectoryAreListed() {
        for (const char* name : {"Russian.lng", "english.lng", "EnGlIsH.old.lng", "Deutsch.v2.lng", ".hidden.lng",
                                 "Notes.txt", "Old.lng.bak", "Ukr.LNG"})
            Lng(name, "1:X;\r\n");
        MemorySettingsStore store;
        auto form = Open(store);
        QCOMPARE(Items(*form), (QStringList{"English", "Deutsch", "Russian"}));
        // "Deutsch" stands for Deutsch.lng, which does not exist: English texts under a non-English position.
        Pick(*form, 1);
        QCOMPARE(form->LanguagePosition(), 1);
        QVERIFY(!form->English());
        QCOMPARE(FirstMismatch(*form, EnglishCaptions()), QString());
        Pick(*form, 2);
        QCOMPARE(Tab(*form, 0), QStringLiteral("X"));
    }

    void switchingLanguagesReturnsUnmentionedTextsToEnglish() {
        Lng("Alpha.lng", "; first language\r\n1:Alpha page;\r\n22:Los;remark\r\n13:" + Cp("Номер") +
                             ";\r\n100:AA;\r\n106:NN;\r\n0:zero;\r\n121:past the end;\r\n23:no closing semicolon\r\n"
                             "80:Alpha hint;\r\n");
        Lng("Beta.lng", "22:Go: now;\r\n");
        MemorySettingsStore store;
        auto form = Open(store);
        Pick(*form, 1);
        QCOMPARE(Tab(*form, 0), QStringLiteral("Alpha page"));
        QCOMPARE(Control<QPushButton>(*form, "ButtonRun").text(), QStringLiteral("Los"));
        QCOMPARE(Control<QLabel>(*form, "Label9").text(), QStringLiteral("Номер"));
        // The line without ";" changes nothing.
        QCOMPARE(Control<QPushButton>(*form, "ButtonStop").text(), QStringLiteral("Stop"));
        QCOMPARE(Control<StepButton>(*form, "Button10").toolTip(), QStringLiteral("Alpha hint"));
        QCOMPARE(Cell(*form, "Label11"), QStringLiteral("AA"));
        QCOMPARE(Cell(*form, "Label20"), QStringLiteral("NN"));

        Pick(*form, 2);
        CaptionTable expected = EnglishCaptions();
        expected.Set(22, "Go: now");
        QCOMPARE(FirstMismatch(*form, expected), QString());
        QCOMPARE(Cell(*form, "Label11"), QStringLiteral("L"));
        QCOMPARE(Cell(*form, "Label20"), QStringLiteral("--"));

        Pick(*form, 0);
        QCOMPARE(FirstMismatch(*form, EnglishCaptions()), QString());
        QVERIFY(dialogs->errors.isEmpty());
    }

    void fileOfCommentsOnlyIsEnglishTextUnderAnotherLanguage() {
        Lng("Quiet.lng", "; nothing but remarks\r\n;1:Main;\r\n\r\n");
        MemorySettingsStore store;
        store.keyExists = true;
        store.values["Languige"] = 1; // the other values are missing: defaults
        auto form = Open(store);
        QCOMPARE(form->LanguagePosition(), 1);
        QVERIFY(!form->English());
        QCOMPARE(FirstMismatch(*form, EnglishCaptions()), QString());
        // Text type R can be reached, as in every language other than English.
        QCOMPARE(form->Settings().textType, 0);
        Control<StepButton>(*form, "Button19").click();
        QCOMPARE(form->Settings().textType, 1);
        QCOMPARE(Cell(*form, "Label11"), QStringLiteral("R"));
        // The competition protocol is the Russian one.
        form->Settings().textType = 0;
        QPushButton& run = Control<QPushButton>(*form, "CompRun");
        run.click();
        const QPlainTextEdit& protocolMemo = Control<QPlainTextEdit>(*form, "MemoProtokol");
        const QString protocol = protocolMemo.toPlainText();
        QPushButton& stop = Control<QPushButton>(*form, "CompStop");
        stop.click();
        QVERIFY2(protocol.startsWith(QStringLiteral("Протокол КЛОР-2000")), qPrintable(protocol.left(40)));
        Pick(*form, 0);
        run.click();
        const QString english = protocolMemo.toPlainText();
        stop.click();
        QVERIFY2(english.startsWith(QStringLiteral("Checklist QLOR-2000")), qPrintable(english.left(40)));
        form->close();
        QVERIFY(!QFile::exists(QStringLiteral("temp.mid")));
    }

    void savedLanguagePosition_data() {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("firstTab");
        QTest::newRow("second file") << 2 << 2 << "Beta";
        QTest::newRow("first file") << 1 << 1 << "Alpha";
        QTest::newRow("files removed since") << 3 << 0 << "Main panel";
        QTest::newRow("far too large") << 1000000 << 0 << "Main panel";
        QTest::newRow("negative: no item") << -4 << -1 << "Main panel";
    }
    void savedLanguagePosition() {
        QFETCH(int, stored);
        QFETCH(int, position);
        QFETCH(QString, firstTab);
        Lng("Alpha.lng", "1:Alpha;\r\n");
        Lng("Beta.lng", "1:Beta;\r\n");
        MemorySettingsStore store;
        FillStore(store);
        store.values["Languige"] = stored;
        auto form = Open(store);
        QCOMPARE(form->LanguagePosition(), position);
        QCOMPARE(form->English(), position == 0);
        QCOMPARE(Tab(*form, 0), firstTab);
        // The position is read on its own: the other settings are all there.
        PersistedSettings want = FilledValues();
        want.language = position;
        QCOMPARE(form->CollectSettings(), want);
        form->close();
        QCOMPARE(std::get<std::int32_t>(store.values["Languige"]), position);
    }

    void languageOfAnotherKindOrMissingIsEnglish() {
        Lng("Alpha.lng", "1:Alpha;\r\n");
        for (const bool missing : {true, false}) {
            MemorySettingsStore store;
            FillStore(store);
            if (missing)
                store.values.erase("Languige");
            else
                store.values["Languige"] = std::string("1");
            auto form = Open(store);
            QCOMPARE(form->LanguagePosition(), 0);
            QCOMPARE(Tab(*form, 0), QStringLiteral("Main panel"));
            QCOMPARE(form->CollectSettings(), FilledValues());
        }
    }

    void unreadableLanguageFileIsReportedAndTheTextsStay() {
        Lng("Alpha.lng", "1:Alpha;\r\n");
        QVERIFY(QDir().mkdir(QStringLiteral("Broken.lng"))); // listed, but cannot be read as a file
        MemorySettingsStore store;
        auto form = Open(store);
        QCOMPARE(Items(*form), (QStringList{"English", "Alpha", "Broken"}));
        Pick(*form, 1);
        QCOMPARE(Tab(*form, 0), QStringLiteral("Alpha"));
        Pick(*form, 2);
        QCOMPARE(dialogs->errors.size(), 1);
        QVERIFY2(dialogs->errors[0].contains(QStringLiteral("Broken.lng")), qPrintable(dialogs->errors[0]));
        QCOMPARE(Tab(*form, 0), QStringLiteral("Alpha"));
        QCOMPARE(form->LanguagePosition(), 2);
    }

    void shippedRussianFileGivesEveryDesignTextBack() {
        QVERIFY(QFile::copy(ShippedRussian(), QStringLiteral("Russian.lng")));
        MemorySettingsStore store;
        store.keyExists = true;
        store.values["Languige"] = 1;
        auto form = Open(store);
        QCOMPARE(Items(*form), (QStringList{"English", "Russian"}));
        QCOMPARE(FirstMismatch(*form, DesignCaptions()), QString());
        QCOMPARE(Tab(*form, 8), QStringLiteral(" Настройка "));
        // The short names of the text and noise types in the value cells.
        for (int type = 0; type <= 5; ++type) {
            form->Settings().textType = type;
            form->Settings().noiseType = type % 5;
            form->IndicatorRefresh();
            QCOMPARE(Cell(*form, "Label11"), FromCp1251(DesignCaptions().Text(kTextTypeNameEntry + type)));
            QCOMPARE(Cell(*form, "Label20"), FromCp1251(DesignCaptions().Text(kNoiseTypeNameEntry + type % 5)));
            QVERIFY(!Cell(*form, "Label11").isEmpty());
        }
        Pick(*form, 0);
        QCOMPARE(FirstMismatch(*form, EnglishCaptions()), QString());
    }

    void languageChangesWhileATransmissionPlays() {
        QVERIFY(QFile::copy(ShippedRussian(), QStringLiteral("Russian.lng")));
        MemorySettingsStore store;
        auto form = Open(store);
        Control<QPushButton>(*form, "ButtonRun").click();
        QVERIFY2(dialogs->errors.isEmpty(), qPrintable(dialogs->errors.join('\n')));
        QPushButton& stop = Control<QPushButton>(*form, "ButtonStop");
        QVERIFY(stop.isEnabled()); // playing
        QVERIFY(Control<QComboBox>(*form, "LngComboBox").isEnabled());
        Pick(*form, 1);
        QCOMPARE(stop.text(), QStringLiteral("Стоп"));
        QVERIFY(stop.isEnabled());
        QVERIFY(QFile::exists(QStringLiteral("temp.mid")));
        stop.click();
        QVERIFY(!stop.isEnabled());
    }

    // --- Settings kept between runs ---------------------------------------------------------------

    void everyStoredValueReachesItsControl() {
        MemorySettingsStore store;
        FillStore(store);
        auto form = Open(store);
        QCOMPARE(form->CollectSettings(), FilledValues());
        // What the controls show.
        QCOMPARE(Control<QSlider>(*form, "TrackBar1").value(), 60);
        QCOMPARE(Control<QLineEdit>(*form, "NoiseFile1").text(), QStringLiteral("/шум/ТЧ.wav"));
        QCOMPARE(Control<QLineEdit>(*form, "PathDir").text(), QStringLiteral("/tmp/Папка"));
        QCOMPARE(Control<QPlainTextEdit>(*form, "MemoSelectedSymbols").toPlainText(), QStringLiteral("АБВ123"));
        QVERIFY(Control<QRadioButton>(*form, "ParisSystem").isChecked());
        QVERIFY(!Control<QRadioButton>(*form, "OurSystem").isChecked());
        QVERIFY(Control<QRadioButton>(*form, "SelectedSymbols").isChecked());
        QVERIFY(Control<QRadioButton>(*form, "HeaderUser").isChecked());
        QVERIFY(!Control<QCheckBox>(*form, "TrainTextNeed").isChecked());
        QCOMPARE(Cell(*form, "Label2") + Cell(*form, "Label3") + Cell(*form, "Label4") + Cell(*form, "Label5"),
                 QStringLiteral("1234"));
        QCOMPARE(Cell(*form, "Label11"), QStringLiteral("NC"));
        QCOMPARE(Cell(*form, "Label20"), QStringLiteral("DS"));
        QCOMPARE(Cell(*form, "Label77") + Cell(*form, "Label78"), QStringLiteral("27"));
        // The output levels are captured after the settings, as the low 16 bits of each word.
        QCOMPARE(Control<QSlider>(*form, "TrackBar2").value(), 0x22);
        QCOMPARE(Control<QSlider>(*form, "TrackBar3").value(), 0x44);
    }

    void missingValueGivesTheDefaultSetButKeepsTheFileCount() {
        Lng("Alpha.lng", "1:Alpha;\r\n");
        MemorySettingsStore store;
        FillStore(store);
        store.values.erase("Morse Noise Type");
        store.values["Languige"] = 1;
        auto form = Open(store);
        PersistedSettings want; // defaults; the noise files and the training box were not reached
        want.transmission.files = {2, 7};
        want.language = 1;   // read in its own block
        want.voice = "tone"; // so is the voice
        QCOMPARE(form->CollectSettings(), want);
        QCOMPARE(Tab(*form, 0), QStringLiteral("Alpha"));
        QVERIFY(Control<QRadioButton>(*form, "OurSystem").isChecked());
        QCOMPARE(Cell(*form, "Label2"), QStringLiteral("0")); // read before the gap, then replaced
    }

    void radioPairsEndAsTheyWereRead() {
        MemorySettingsStore store;
        FillStore(store);
        store.values["All Symbols"] = 0;
        store.values["Selected Symbols"] = 0;
        store.values["HeaderStandart"] = 1;
        store.values["HeaderUser"] = 1;
        store.values["Paris system"] = 0;
        auto form = Open(store);
        QVERIFY(!Control<QRadioButton>(*form, "AllSymbols").isChecked());
        QVERIFY(!Control<QRadioButton>(*form, "SelectedSymbols").isChecked());
        QVERIFY(!Control<QRadioButton>(*form, "HeaderStandart").isChecked());
        QVERIFY(Control<QRadioButton>(*form, "HeaderUser").isChecked());
        QVERIFY(!Control<QRadioButton>(*form, "ParisSystem").isChecked());
        QVERIFY(Control<QRadioButton>(*form, "OurSystem").isChecked());
        form->close();
        QCOMPARE(std::get<std::int32_t>(store.values["All Symbols"]), 0);
        QCOMPARE(std::get<std::int32_t>(store.values["Selected Symbols"]), 0);
        QCOMPARE(std::get<std::int32_t>(store.values["HeaderStandart"]), 0);
    }

    void storedValuesAreBroughtIntoRange() {
        MemorySettingsStore store;
        FillStore(store);
        store.values["Tone"] = 200;
        store.values["Midi Chanell"] = 99;
        store.values["Number 1"] = -3;
        store.values["Pause Delay"] = 40;
        store.values["Morse Text Type"] = 77;
        store.values["Number Files 2"] = 12;
        auto form = Open(store);
        QCOMPARE(Control<QSlider>(*form, "TrackBar1").value(), 110);
        const TransmissionSettings& s = form->Settings();
        QCOMPARE(s.midiChannel, 15);
        QCOMPARE(s.number[0], 0);
        QCOMPARE(s.pauseDelayDots, 15);
        QCOMPARE(s.textType, 5);
        QCOMPARE(s.files[1], 9);
        QCOMPARE(Cell(*form, "Label11"), QStringLiteral("MX"));
        QCOMPARE(Cell(*form, "Label14"), QStringLiteral("F"));
        form->close();
        QCOMPARE(std::get<std::int32_t>(store.values["Tone"]), 110);
        QCOMPARE(std::get<std::int32_t>(store.values["Midi Chanell"]), 15);
        QCOMPARE(std::get<std::int32_t>(store.values["Number 1"]), 0);
    }

    void closeWritesAll46ValuesAndTheNextStartShowsThem() {
        Lng("Alpha.lng", "1:Alpha;\r\n");
        MemorySettingsStore store;
        FillStore(store);
        auto form = Open(store);
        Control<QLineEdit>(*form, "NoiseFile3").setText(QStringLiteral("/звук/пт.wav"));
        Control<QLineEdit>(*form, "EndChar").setText(QStringLiteral("73"));
        Control<StepButton>(*form, "Button4").click(); // "Number 1" down: 1 -> 0
        Pick(*form, 1);
        const PersistedSettings shown = form->CollectSettings();
        QVERIFY(WriteAll(QStringLiteral("temp.mid"), "MThd"));
        store.log.clear();
        form->close();
        QVERIFY(!form->isVisible());
        QVERIFY(!QFile::exists(QStringLiteral("temp.mid")));
        QVERIFY(dialogs->errors.isEmpty());
        const auto names = PersistedValueNames();
        std::vector<std::string> order(names.begin(), names.end());
        order.emplace_back("Voice");
        order.emplace_back("Export Audio");
        for (const char* band : {"Band", "Band Filter", "Band AGC", "Band Seed"})
            order.emplace_back(band);
        order.insert(order.end(), kTrainerValueNames.begin(), kTrainerValueNames.end());
        QCOMPARE(store.log, order);
        QCOMPARE(std::get<std::string>(store.values["Noise File 3"]), std::string("/звук/пт.wav"));
        QCOMPARE(std::get<std::int32_t>(store.values["Number 1"]), 0);
        QCOMPARE(std::get<std::int32_t>(store.values["Languige"]), 1);
        // The captured levels are put back, not the slider positions.
        QCOMPARE(levels->midi, VolumeWord(0x22));
        QCOMPARE(levels->wave, VolumeWord(0x44));

        auto next = Open(store);
        QCOMPARE(next->CollectSettings(), shown);
        QCOMPARE(Tab(*next, 0), QStringLiteral("Alpha"));
    }

    void failingWriteIsShownAndTheWindowStillCloses() {
        MemorySettingsStore store;
        auto form = Open(store);
        Control<QSlider>(*form, "TrackBar2").setValue(9000);
        store.refuseWriteOf = "Autopriem";
        form->close();
        QVERIFY(!form->isVisible());
        QCOMPARE(dialogs->errors, QStringList{"Failed to set data for 'Autopriem'"});
        QVERIFY(store.values.count("Selected symbols string") == 1);
        QVERIFY(store.values.count("Number Files 1") == 0); // nothing after the failing value
        QCOMPARE(store.closeCount, store.openCount);
        QCOMPARE(levels->midi, VolumeWord(0x22));
        QCOMPARE(levels->wave, VolumeWord(0x44));
    }

    void unwritableSettingsFileIsReported() {
        // The settings file would live below a plain file: no folder can be made there.
        QVERIFY(WriteAll(QStringLiteral("blocker"), "x"));
        QSettingsStore store(dir->filePath(QStringLiteral("blocker/QLOR.conf")));
        auto form = Open(store);
        form->close();
        QVERIFY(!form->isVisible());
        QCOMPARE(dialogs->errors.size(), 1);
        QVERIFY2(dialogs->errors[0].contains(QStringLiteral("QLOR.conf")) ||
                     dialogs->errors[0].contains(QStringLiteral("Failed to set data")),
                 qPrintable(dialogs->errors[0]));
        QCOMPARE(levels->wave, VolumeWord(0x44));
    }

    void settingsSurviveInTheIniFile() {
        const QString ini = dir->filePath(QStringLiteral("QLOR.conf"));
        {
            MemorySettingsStore filled;
            FillStore(filled);
            QSettingsStore store(ini);
            auto first = Open(filled); // load the full set, then keep it in the file
            const PersistedSettings shown = first->CollectSettings();
            QVERIFY(SavePersistedSettings(store, shown).ok);
            auto second = Open(store);
            QCOMPARE(second->CollectSettings(), shown);
            QCOMPARE(Control<QLineEdit>(*second, "NoiseFile1").text(), QStringLiteral("/шум/ТЧ.wav"));
            second->close();
        }
        // A value that does not read as its kind ("Pause Delay" as "abc") takes the default set at
        // start; "Tone" had been read, the file count is read before the failing value and is kept.
        {
            QSettings edit(ini, QSettings::IniFormat);
            edit.setValue("Pause Delay", QStringLiteral("abc"));
        }
        QSettingsStore store(ini);
        auto form = Open(store);
        QCOMPARE(Control<QSlider>(*form, "TrackBar1").value(), kToneDefault);
        QCOMPARE(form->Settings().pauseDelayDots, 3);
        QCOMPARE(form->Settings().files, (std::array<int, 2>{2, 7}));
    }

    void pathsOutsideTheCodePageSurviveARestart() {
        // Characters the code page of the texts cannot hold: é, CJK, an emoji. The files and the
        // folder exist, so that the next start must find them under exactly these names.
        const QString noise1 = dir->filePath(QStringLiteral("bruit café.wav"));
        const QString noise4 = dir->filePath(QStringLiteral("日本 📻.flac"));
        const QString folder = dir->filePath(QStringLiteral("出力 🗂 é"));
        QVERIFY(WriteAll(noise1, "RIFF"));
        QVERIFY(WriteAll(noise4, "fLaC"));
        QVERIFY(QDir().mkpath(folder));
        const QString ini = dir->filePath(QStringLiteral("paths.conf"));
        {
            QSettingsStore store(ini);
            auto form = Open(store);
            Control<QLineEdit>(*form, "NoiseFile1").setText(noise1);
            Control<QLineEdit>(*form, "NoiseFile4").setText(noise4);
            Control<QLineEdit>(*form, "PathDir").setText(folder);
            Control<QLineEdit>(*form, "BeginChar").setText(QStringLiteral("ЦЩЪ="));
            Control<QLineEdit>(*form, "EndChar").setText(QStringLiteral("ЁЯ"));
            form->close();
            QVERIFY2(dialogs->errors.isEmpty(), qPrintable(dialogs->errors.join('\n')));
        }
        QSettingsStore store(ini);
        auto next = Open(store);
        QCOMPARE(Control<QLineEdit>(*next, "NoiseFile1").text(), noise1);
        QCOMPARE(Control<QLineEdit>(*next, "NoiseFile4").text(), noise4);
        QCOMPARE(Control<QLineEdit>(*next, "PathDir").text(), folder);
        QVERIFY(QFileInfo(Control<QLineEdit>(*next, "NoiseFile4").text()).isFile());
        QVERIFY(QFileInfo(Control<QLineEdit>(*next, "PathDir").text()).isDir());
        // The texts the core keys still come back in their code page.
        QCOMPARE(Control<QLineEdit>(*next, "BeginChar").text(), QStringLiteral("ЦЩЪ="));
        QCOMPARE(Control<QLineEdit>(*next, "EndChar").text(), QStringLiteral("ЁЯ"));
        QCOMPARE(next->CollectSettings().beginChar, Cp("ЦЩЪ="));
    }

    // --- The signal's voice -----------------------------------------------------------------------

    void storedVoiceReachesTheListAndTheEngine_data() {
        QTest::addColumn<QVariant>("stored"); // invalid: missing
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("engine");
        QTest::newRow("tone") << QVariant(QStringLiteral("tone")) << 2 << int(VoiceKind::Tone);
        QTest::newRow("soundfont") << QVariant(QStringLiteral("soundfont")) << 1 << int(VoiceKind::SoundFont);
        QTest::newRow("auto") << QVariant(QStringLiteral("auto")) << 0 << int(VoiceKind::Automatic);
        QTest::newRow("missing") << QVariant() << 0 << int(VoiceKind::Automatic);
        QTest::newRow("unknown") << QVariant(QStringLiteral("harp")) << 0 << int(VoiceKind::Automatic);
        QTest::newRow("number") << QVariant(2) << 0 << int(VoiceKind::Automatic);
    }
    void storedVoiceReachesTheListAndTheEngine() {
        QFETCH(QVariant, stored);
        QFETCH(int, index);
        QFETCH(int, engine);
        MemorySettingsStore store;
        FillStore(store);
        if (!stored.isValid())
            store.values.erase("Voice");
        else if (stored.typeId() == QMetaType::Int)
            store.values["Voice"] = std::int32_t{stored.toInt()};
        else
            store.values["Voice"] = stored.toString().toStdString();
        // Another voice first, so that the start has to set it.
        AudioEngine::Shared().SetVoice(engine == int(VoiceKind::Tone) ? VoiceKind::SoundFont : VoiceKind::Tone);
        auto form = Open(store);
        QCOMPARE(Control<QComboBox>(*form, "VoiceComboBox").currentIndex(), index);
        QCOMPARE(int(AudioEngine::Shared().Voice()), engine);
        // Never a reason for the default set: everything else is as stored.
        PersistedSettings want = FilledValues();
        want.voice = std::string(index == 0 ? "auto" : index == 1 ? "soundfont" : "tone");
        QCOMPARE(form->CollectSettings(), want);
        form->close();
        QCOMPARE(std::get<std::string>(store.values["Voice"]), want.voice);
    }

    // The band's stored values reach its dialog as they were stored, an unknown one as its
    // default, a missing ratio as the preset's own; what the dialog shows is written back.
    void storedBandReachesItsDialogAndIsKept_data() {
        QTest::addColumn<QString>("preset");
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("seed");
        QTest::addColumn<int>("shownSnr");
        QTest::addColumn<int>("shownFilter");
        QTest::addColumn<QString>("shownSeed");
        QTest::newRow("as stored") << "poor" << 2400 << "random" << 5 << 2400 << "random";
        QTest::newRow("unknown") << "storm" << 300 << "dice" << 5 << 500 << "text";
    }
    void storedBandReachesItsDialogAndIsKept() {
        QFETCH(QString, preset);
        QFETCH(int, filter);
        QFETCH(QString, seed);
        QFETCH(int, shownSnr);
        QFETCH(int, shownFilter);
        QFETCH(QString, shownSeed);
        MemorySettingsStore store;
        FillStore(store);
        store.values["Band"] = preset.toStdString();
        store.values["Band SNR"] = std::int32_t{5};
        store.values["Band Filter"] = std::int32_t{filter};
        store.values["Band AGC"] = std::int32_t{0};
        store.values["Band Seed"] = seed.toStdString();
        auto form = Open(store);
        const QString shownPreset = preset == QLatin1String("poor") ? preset : QStringLiteral("off");
        QCOMPARE(Control<QComboBox>(*form, "BandPresetComboBox").currentData().toString(), shownPreset);
        QCOMPARE(Control<QSpinBox>(*form, "BandSnrSpinBox").value(), shownSnr);
        QCOMPARE(Control<QComboBox>(*form, "BandFilterComboBox").currentData().toInt(), shownFilter);
        QVERIFY(!Control<QCheckBox>(*form, "BandAgcCheckBox").isChecked());
        QCOMPARE(Control<QComboBox>(*form, "BandSeedComboBox").currentData().toString(), shownSeed);
        // Never a reason for the default set.
        PersistedSettings want = FilledValues();
        want.band = {shownPreset.toStdString(), 5, shownFilter, false, shownSeed.toStdString()};
        QCOMPARE(form->CollectSettings(), want);
        form->close();
        QCOMPARE(std::get<std::string>(store.values["Band"]), shownPreset.toStdString());
        QCOMPARE(std::get<std::int32_t>(store.values["Band Filter"]), shownFilter);

        // Without a stored ratio the preset brings its own, and none is written until one is chosen.
        store.values.erase("Band SNR");
        auto next = Open(store);
        QCOMPARE(Control<QSpinBox>(*next, "BandSnrSpinBox").value(),
                 shownPreset == QLatin1String("poor") ? 8 : int(kBandMaxSnrDb));
        next->close();
        QVERIFY(!store.values.count("Band SNR"));
    }

    void choosingAVoiceAppliesAtOnceAndIsKept() {
        MemorySettingsStore store;
        auto form = Open(store);
        QComboBox* voice = &Control<QComboBox>(*form, "VoiceComboBox");
        QCOMPARE(voice->count(), 3);
        QCOMPARE(voice->currentIndex(), 0);
        QCOMPARE(AudioEngine::Shared().Voice(), VoiceKind::Automatic);
        voice->setFocus();
        QTest::keyClick(voice, Qt::Key_Down);
        QCOMPARE(voice->currentIndex(), 1);
        QCOMPARE(AudioEngine::Shared().Voice(), VoiceKind::SoundFont);
        QTest::keyClick(voice, Qt::Key_Down);
        QCOMPARE(AudioEngine::Shared().Voice(), VoiceKind::Tone);
        form->close();
        // after the 46 values, before the band's four and the trainer's values
        QCOMPARE(store.log[store.log.size() - 6 - kTrainerValueNames.size()], "Voice");
        QCOMPARE(std::get<std::string>(store.values["Voice"]), std::string("tone"));

        auto next = Open(store);
        QCOMPARE(Control<QComboBox>(*next, "VoiceComboBox").currentIndex(), 2);
        QCOMPARE(AudioEngine::Shared().Voice(), VoiceKind::Tone);
        Control<QComboBox>(*next, "VoiceComboBox").setCurrentIndex(0);
        QCOMPARE(AudioEngine::Shared().Voice(), VoiceKind::Automatic);
    }

    // Off on a first start; the choice and its format are kept as "Export Audio", by keyboard.
    void exportAudioChoiceIsKept() {
        MemorySettingsStore store;
        auto form = Open(store);
        QCheckBox* choice = &Control<QCheckBox>(*form, "ExportAudio");
        QComboBox* format = &Control<QComboBox>(*form, "ExportAudioFormat");
        QVERIFY(!choice->isChecked());
        QVERIFY(!format->isEnabled());
        choice->setFocus();
        QTest::keyClick(choice, Qt::Key_Space);
        QVERIFY(format->isEnabled());
        format->setFocus();
        QTest::keyClick(format, Qt::Key_Down); // OGG -> FLAC
        form->close();
        // before the band's four and the trainer's values
        QCOMPARE(store.log[store.log.size() - 5 - kTrainerValueNames.size()], "Export Audio");
        QCOMPARE(std::get<std::string>(store.values["Export Audio"]), std::string("flac"));

        auto next = Open(store);
        QVERIFY(Control<QCheckBox>(*next, "ExportAudio").isChecked());
        QCOMPARE(Control<QComboBox>(*next, "ExportAudioFormat").currentData().toString(), QStringLiteral("flac"));
        Control<QCheckBox>(*next, "ExportAudio").setChecked(false);
        next->close();
        QCOMPARE(std::get<std::string>(store.values["Export Audio"]), std::string("off"));
    }

    // Unset on a first start (the desktop's own scale, nothing written); a step chosen by keyboard
    // is kept as "Window scale" after "Export Audio" and handed to Qt at the next start.
    void windowScaleIsKeptForTheNextStart() {
        QVERIFY(QFile::copy(ShippedRussian(), QStringLiteral("Russian.lng")));
        MemorySettingsStore store;
        auto form = Open(store);
        QComboBox* scale = &Control<QComboBox>(*form, "WindowScaleComboBox");
        QCOMPARE(scale->currentText(), QStringLiteral("100 %"));
        QVERIFY(scale->toolTip().contains(QStringLiteral("next start")));
        form->close();
        QVERIFY(!store.values.count("Window scale"));

        form = Open(store);
        scale = &Control<QComboBox>(*form, "WindowScaleComboBox");
        scale->setFocus();
        QTest::keyClick(scale, Qt::Key_Down);
        QTest::keyClick(scale, Qt::Key_Down);
        // The longer Russian texts fit their controls.
        Pick(*form, 1);
        const QLabel& label = Control<QLabel>(*form, "WindowScaleLabel");
        QCOMPARE(label.text(), QStringLiteral("Масштаб окна"));
        QVERIFY(label.sizeHint().width() <= label.width());
        QVERIFY(scale->sizeHint().width() <= scale->width());
        form->close();
        // after "Export Audio", before the band's four and the trainer's values
        QCOMPARE(store.log[store.log.size() - 5 - kTrainerValueNames.size()], "Window scale");
        QCOMPARE(std::get<std::int32_t>(store.values["Window scale"]), 150);

        // What main does before the application object exists: the environment's own factor
        // wins, else the stored scale becomes QT_SCALE_FACTOR.
        const QByteArray saved = qgetenv("QT_SCALE_FACTOR");
        const bool wasSet = qEnvironmentVariableIsSet("QT_SCALE_FACTOR");
        qputenv("QT_SCALE_FACTOR", "2");
        QCOMPARE(ApplyWindowScale(store), QByteArray());
        QCOMPARE(qgetenv("QT_SCALE_FACTOR"), QByteArray("2"));
        qunsetenv("QT_SCALE_FACTOR");
        QCOMPARE(ApplyWindowScale(store), QByteArray("1.5"));
        QCOMPARE(qgetenv("QT_SCALE_FACTOR"), QByteArray("1.5"));
        qunsetenv("QT_SCALE_FACTOR");
        MemorySettingsStore none;
        QCOMPARE(ApplyWindowScale(none), QByteArray());
        QVERIFY(!qEnvironmentVariableIsSet("QT_SCALE_FACTOR"));
        if (wasSet)
            qputenv("QT_SCALE_FACTOR", saved);

        auto next = Open(store);
        QCOMPARE(Control<QComboBox>(*next, "WindowScaleComboBox").currentData().toInt(), 150);
        QCOMPARE(Control<QComboBox>(*next, "WindowScaleComboBox").currentText(), QStringLiteral("150 %"));
    }

    void voiceTextsFollowTheLanguage() {
        QVERIFY(QFile::copy(ShippedRussian(), QStringLiteral("Russian.lng")));
        MemorySettingsStore store;
        auto form = Open(store);
        QComboBox& voice = Control<QComboBox>(*form, "VoiceComboBox");
        const QLabel& label = Control<QLabel>(*form, "VoiceLabel");
        const auto items = [&] {
            QStringList texts;
            for (int i = 0; i < voice.count(); ++i)
                texts << voice.itemText(i);
            return texts;
        };
        voice.setCurrentIndex(2);
        QCOMPARE(label.text(), QStringLiteral("Signal voice"));
        QCOMPARE(items(), (QStringList{"auto", "SoundFont", "Pure tone"}));
        Pick(*form, 1);
        QCOMPARE(label.text(), QStringLiteral("Голос сигнала"));
        QCOMPARE(items(), (QStringList{"авто", "SoundFont", "чистый тон"}));
        QVERIFY(voice.toolTip().startsWith(QStringLiteral("авто")));
        // Renaming the items neither changes the choice nor what is stored.
        QCOMPARE(voice.currentIndex(), 2);
        QCOMPARE(form->CollectSettings().voice, std::string("tone"));
        Pick(*form, 0);
        QCOMPARE(items(), (QStringList{"auto", "SoundFont", "Pure tone"}));
        form->close();

        // A Russian start shows the Russian texts from the beginning.
        store.values["Languige"] = 1;
        auto russian = Open(store);
        const QLabel& russianLabel = Control<QLabel>(*russian, "VoiceLabel");
        const QComboBox& russianVoice = Control<QComboBox>(*russian, "VoiceComboBox");
        QCOMPARE(russianLabel.text(), QStringLiteral("Голос сигнала"));
        QCOMPARE(russianVoice.currentText(), QStringLiteral("чистый тон"));
        // The longer Russian texts fit their controls.
        QVERIFY(russianLabel.sizeHint().width() <= russianLabel.width());
        QVERIFY(russianVoice.sizeHint().width() <= russianVoice.width());
    }

    void accessibleTextsFollowTheLanguage() {
        QVERIFY(QFile::copy(ShippedRussian(), QStringLiteral("Russian.lng")));
        Lng("Alpha.lng", "1:Alpha;\r\n");
        MemorySettingsStore store;
        auto form = Open(store);
        QCOMPARE(Items(*form), (QStringList{"English", "Alpha", "Russian"}));
        // Name and description of every control a screen reader reads, in the language shown.
        const auto spoken = [&] {
            QMap<QString, QStringList> texts;
            for (QWidget* w : form->findChildren<QWidget*>()) {
                QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
                if (w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_")) || !a)
                    continue;
                const QString name = a->text(QAccessible::Name);
                const QString description = a->text(QAccessible::Description);
                if (!name.isEmpty() || !description.isEmpty())
                    texts[w->objectName()] = QStringList{name, description};
            }
            return texts;
        };
        const QMap<QString, QStringList> english = spoken();
        QCOMPARE(english.value("Button3"), (QStringList{"Text number, thousands digit, up",
                                                        "Raises the thousands digit of the text number by one"}));
        QCOMPARE(english.value("PanelHeader").value(0), QStringLiteral("Header"));
        // The program's texts of the language file: Russian with the shipped file, English where a
        // file (Alpha) gives none, even though its position is not English.
        Pick(*form, 1);
        const QMap<QString, QStringList> alpha = spoken();
        QCOMPARE(alpha.keys(), english.keys());
        for (auto it = english.begin(); it != english.end(); ++it)
            QCOMPARE(alpha[it.key()][1], it.value()[1]);
        QCOMPARE(alpha.value("Button3"), english.value("Button3"));
        Pick(*form, 2);
        const QMap<QString, QStringList> russian = spoken();
        QCOMPARE(russian.keys(), english.keys());
        for (auto it = english.begin(); it != english.end(); ++it) {
            // Every description is the program's own text; "PARIS" is the same in both languages.
            if (!it.value()[1].isEmpty() && it.key() != QLatin1String("ParisSystem"))
                QVERIFY2(russian[it.key()][1] != it.value()[1], qPrintable(it.key() + ": " + it.value()[1]));
        }
        QCOMPARE(russian.value("Button3"), (QStringList{"Номер текста, разряд тысяч, больше",
                                                        "Увеличивает на единицу: номер текста, разряд тысяч"}));
        QCOMPARE(russian.value("Label2").value(0), QStringLiteral("Номер текста, разряд тысяч: 0"));
        QCOMPARE(russian.value("NoiseFile2").value(0), QStringLiteral("Файл помехи ТР"));
        QCOMPARE(russian.value("fcLabel4").value(0), QStringLiteral("Индикатор передачи: ожидание"));
        QCOMPARE(russian.value("PanelEnded").value(0), QStringLiteral("Окончание"));
        // The two "another" buttons are told apart by their groups.
        QAccessibleInterface* group =
            QAccessible::queryAccessibleInterface(&Control<QRadioButton>(*form, "HeaderUser"))->parent();
        QCOMPARE(group->role(), QAccessible::Grouping);
        QCOMPARE(group->text(QAccessible::Name), QStringLiteral("Заголовок"));
        Pick(*form, 0);
        QCOMPARE(spoken(), english);
    }

    void voiceChangesWhileATransmissionPlays() {
        MemorySettingsStore store;
        auto form = Open(store);
        QPushButton& run = Control<QPushButton>(*form, "ButtonRun");
        run.click();
        QVERIFY2(dialogs->errors.isEmpty(), qPrintable(dialogs->errors.join('\n')));
        QPushButton& stop = Control<QPushButton>(*form, "ButtonStop");
        QVERIFY(stop.isEnabled()); // playing
        QComboBox& voice = Control<QComboBox>(*form, "VoiceComboBox");
        QVERIFY(voice.isEnabled());
        voice.setCurrentIndex(2);
        QCOMPARE(AudioEngine::Shared().Voice(), VoiceKind::Tone);
        // The text that sounds goes on; the new voice is for the next one.
        const qint64 before = form->MediaPlayerText->positionMs();
        QTRY_VERIFY_WITH_TIMEOUT(form->MediaPlayerText->positionMs() > before, 5000);
        QVERIFY(stop.isEnabled());
        QVERIFY(dialogs->errors.isEmpty());
        stop.click();
        QVERIFY(!stop.isEnabled());
        run.click();
        QVERIFY2(dialogs->errors.isEmpty(), qPrintable(dialogs->errors.join('\n')));
        QVERIFY(stop.isEnabled());
        stop.click();
    }

    void programStoreLivesInTheUsersConfigFolder() {
        // XDG_CONFIG_HOME points into a temporary folder for this whole program (IsolateWindowTest).
        QSettingsStore store;
        const QString location = store.Location();
        QVERIFY2(location.startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")), qPrintable(location));
        QVERIFY(location.endsWith(QStringLiteral("Tavel/QLOR.conf")));
        QFile::remove(location);
        auto form = Open(store);
        Control<QSlider>(*form, "TrackBar1").setValue(99);
        form->close();
        QSettings written(location, QSettings::IniFormat);
        QCOMPARE(written.value("Tone").toInt(), 99);
        QCOMPARE(written.allKeys().size(), kPersistedValueCount + 6 + int(kTrainerValueNames.size()));
        QFile::remove(location);
    }
};

QLOR_WINDOW_TEST_MAIN(LanguageSettingsTest, "dummy")

#include "language_settings_test.moc"
