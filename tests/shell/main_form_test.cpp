// The main window: every named control, design states and captions, step buttons and value
// cells, the page-change guard, the raise request and what screen readers get.
#include "fakes.h"

#include "base/codepage.h"
#include "control/caption_table.h"
#include "shell/caption_feeds.h"
#include "shell/main_form.h"
#include "shell/memo_text.h"
#include "shell/panel_map.h"
#include "shell/panel_widgets.h"

#include <QAccessible>
#include <QtTest>

// The page forms themselves, for their design texts.
#include "ui_competitionpage.h"
#include "ui_configurationpage.h"
#include "ui_filespage.h"
#include "ui_panelpage.h"
#include "ui_parameterspage.h"
#include "ui_receptionpage.h"
#include "ui_textoptionspage.h"
#include "ui_textpage.h"

using namespace qlor;

namespace {

struct NamedControls {
    const char* page;
    const char* className; // a class the controls must inherit
    const char* names;     // separated by spaces
};

// Every control of the window by component name, grouped by the page that holds it and its kind.
const NamedControls kControls[] = {
    // Main panel.
    {"TabSheet1", "QLabel",
     "Label58 Label12 Label9 Label10 Label15 Label21 Label22 Label26 Label27 Label30 Label13 Label53 Label54"},
    {"TabSheet1", "qlor::Indicator",
     "Label11 Label2 Label3 Label4 Label5 Label6 Label7 Label8 Label14 Label20 Label47 Label24 Label25 Label28"},
    {"TabSheet1", "qlor::StepButton",
     "Button19 Button20 Button3 Button4 Button5 Button6 Button7 Button8 Button9 Button10 Button12 Button13 Button14 "
     "Button15 Button16 Button17 Button21 Button22 Button18 Button29 Button49 Button50 Button31 Button30 Button32 "
     "Button33 Button35 Button34"},
    {"TabSheet1", "QPushButton", "ButtonRun ButtonStop ButtonTrainer"},
    {"TabSheet1", "qlor::Lamp", "fcLabel4"},
    {"TabSheet1", "QSlider", "TrackBar2 TrackBar3"},
    {"TabSheet1", "QProgressBar", "Gauge1"},
    // Text.
    {"TabSheet4", "QPlainTextEdit", "MemoText"},
    {"TabSheet4", "QPushButton", "Button53 Button54 ButtonOpen ButtonSave ButtonClear"},
    {"TabSheet4", "qlor::Lamp", "fcLabel5"},
    // Reception.
    {"TabSheet6", "QPlainTextEdit", "InputMemo CheckList"},
    {"TabSheet6", "QPushButton",
     "ButtonRun1 ButtonStop1 ButtonCheckText Button51 Button55 ButtonProgress ButtonTrainer2"},
    {"TabSheet6", "qlor::Lamp", "fcLabel6"},
    {"TabSheet6", "QLabel", "LabelAligned"},
    // Competition.
    {"TabSheet2", "QPlainTextEdit", "MemoProtokol"},
    {"TabSheet2", "QPushButton", "CompRun CompStop Button52 Button38"},
    {"TabSheet2", "QProgressBar", "Gauge2"},
    {"TabSheet2", "qlor::Lamp", "fcLabel7"},
    // Files.
    {"TabSheet9", "QLabel", "Label80 Label79 Label81"},
    {"TabSheet9", "qlor::Indicator", "Label77 Label78"},
    {"TabSheet9", "qlor::StepButton", "Button57 Button58 Button59 Button60"},
    {"TabSheet9", "QLineEdit", "PathDir"},
    {"TabSheet9", "QPushButton", "Button37 ButtonFormFiles"},
    // Text options.
    {"TabSheet7", "QLabel", "Label66 Label68"},
    {"TabSheet7", "QCheckBox", "NeedHeader NeedEnded CheckBoxTextType CheckBoxAutoPriem"},
    {"TabSheet7", "QRadioButton", "HeaderStandart HeaderUser EndedStandart EndedUser AllSymbols SelectedSymbols"},
    {"TabSheet7", "QLineEdit", "BeginChar EndChar"},
    {"TabSheet7", "QPlainTextEdit", "MemoSelectedSymbols"},
    // Parameters.
    {"TabSheet8", "QLabel", "Label65 Label38 Label42 Label61 Image2"},
    {"TabSheet8", "qlor::Indicator", "Label39 Label40 Label41 Label43 Label44 Label45"},
    {"TabSheet8", "qlor::StepButton",
     "Button1 Button2 Button26 Button27 Button28 Button42 Button43 Button44 Button45 Button46 Button47 Button48"},
    {"TabSheet8", "QCheckBox", "TrainTextNeed"},
    // Configuration.
    {"TabSheet3", "QLabel",
     "Label59 Label1 Label19 Label18 Label23 Label29 Label31 Label32 Label33 Label46 Label70 VoiceLabel "
     "WindowScaleLabel"},
    {"TabSheet3", "QSlider", "TrackBar1"},
    {"TabSheet3", "qlor::Indicator", "Label16 Label17"},
    {"TabSheet3", "qlor::StepButton", "Button23 Button24 Button25 Button11"},
    {"TabSheet3", "QLineEdit", "NoiseFile1 NoiseFile2 NoiseFile3 NoiseFile4"},
    {"TabSheet3", "QPushButton", "Button36 Button39 Button40 Button41 ButtonBandConditions"},
    {"TabSheet3", "QRadioButton", "OurSystem ParisSystem"},
    {"TabSheet3", "QComboBox", "LngComboBox VoiceComboBox WindowScaleComboBox"},
};

const char* const kPagesInTabOrder[] = {"TabSheet1", "TabSheet4",  "TabSheet6", "TabSheet2", "TabSheet9",
                                        "TabSheet7", "TabSheet10", "TabSheet8", "TabSheet3"};

QString Utf8(std::string_view cp1251) {
    return FromCp1251(cp1251);
}

} // namespace

class MainFormTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::FakeDialogs> dialogs;
    std::unique_ptr<test::FakeLevels> levels;
    std::unique_ptr<TMainForm> form;

    template <typename T = QWidget> T* Find(const char* name) {
        auto* w = form->findChild<T*>(QLatin1String(name));
        if (!w)
            qWarning("no control %s", name);
        return w;
    }
    void Click(const char* name) { QTest::mouseClick(Find(name), Qt::LeftButton); }
    void ShowPageOf(QWidget* w) {
        while (w && !w->objectName().startsWith(QLatin1String("TabSheet")))
            w = w->parentWidget();
        form->PageControl1->setCurrentWidget(w);
    }
    QString Cell(const char* name) { return Find<QLabel>(name)->text(); }

private slots:
    void init() {
        dialogs = std::make_unique<test::FakeDialogs>();
        levels = std::make_unique<test::FakeLevels>();
        levels->midi = 0x1234ABCDu; // left 0xABCD, right 0x1234
        levels->wave = 0x00010002u;
        form = std::make_unique<TMainForm>(dialogs.get(), levels.get());
        form->show();
        QApplication::setActiveWindow(form.get());
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
    }
    void cleanup() { form.reset(); }

    void everyNamedControlExistsOnceOnItsPage() {
        int count = 0;
        for (const NamedControls& c : kControls) {
            for (const QString& name : QString::fromLatin1(c.names).split(QLatin1Char(' '))) {
                ++count;
                const auto found = form->findChildren<QWidget*>(name);
                QVERIFY2(found.size() == 1, qPrintable(name));
                QWidget* w = found.front();
                QVERIFY2(w->inherits(c.className), qPrintable(name));
                QWidget* page = w->parentWidget();
                while (page && !page->objectName().startsWith(QLatin1String("TabSheet")))
                    page = page->parentWidget();
                QVERIFY2(page && page->objectName() == QLatin1String(c.page), qPrintable(name));
            }
        }
        // The 165 controls of the window, the two of the history of checks, the two of the window
        // scale, the band's button and the two buttons that open the trainer.
        QCOMPARE(count, 172);
        QVERIFY(form->findChild<PageControl*>(QStringLiteral("PageControl1")));
        QVERIFY(form->findChild<QTimer*>(QStringLiteral("TrainTimer")));
    }

    void windowFrameAndPages() {
        QCOMPARE(form->size(), QSize(492, 274));
        QCOMPARE(form->minimumSize(), form->maximumSize());
        QCOMPARE(form->windowTitle(), QString::fromLatin1(kFullTitle));
        QVERIFY(!(form->windowFlags() & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(form->windowFlags() & Qt::WindowMaximizeButtonHint));
        PageControl* pc = form->PageControl1;
        QCOMPARE(pc->geometry(), QRect(0, 0, 492, 274));
        QCOMPARE(pc->count(), 9);
        for (int i = 0; i < 9; ++i)
            QCOMPARE(pc->widget(i)->objectName(), QLatin1String(kPagesInTabOrder[i]));
        QCOMPARE(pc->currentIndex(), 0);
        // Tabs along the bottom, 97 pixels wide, in two rows below the pages.
        for (int i = 0; i < 9; ++i) {
            QCOMPARE(pc->Tab(i)->width(), 97);
            QVERIFY(pc->Tab(i)->geometry().top() > pc->FrameRect().bottom());
        }
        QCOMPARE(pc->RowCount(), 2);
        QCOMPARE(pc->Tab(6)->text(), QString());
        QCOMPARE(pc->Tab(0)->text(), QStringLiteral("Main panel"));
        QCOMPARE(pc->Tab(8)->text(), QStringLiteral("Configuration"));
        QCOMPARE(form->TrainTimer->interval(), 200);
        QVERIFY(!form->TrainTimer->isActive());
        QVERIFY(!form->CompetitionRunning());
    }

    void cellsButtonsAndLampsHaveTheirSizes() {
        for (const StepPair& pair : StepPairs()) {
            auto* cell = Find<Indicator>(pair.indicator);
            auto* up = Find<StepButton>(pair.up);
            auto* down = Find<StepButton>(pair.down);
            QVERIFY(cell && up && down);
            const bool wide = pair.id == IntSetting::TextType || pair.id == IntSetting::NoiseType ||
                              pair.id == IntSetting::MidiChannel || pair.id == IntSetting::MidiPatch;
            QCOMPARE(cell->size(), QSize(wide ? 45 : 21, 33));
            QCOMPARE(cell->font().pixelSize(), 24);
            QCOMPARE(cell->palette().color(QPalette::WindowText), QColor(Qt::white));
            QCOMPARE(cell->alignment(), Qt::AlignCenter);
            QCOMPARE(up->size(), QSize(9, 17));
            QCOMPARE(down->size(), QSize(9, 17));
            // Stacked at the right edge of their cell: the upper one steps up.
            QCOMPARE(up->x(), cell->geometry().right() + 1);
            QCOMPARE(down->x(), up->x());
            QCOMPARE(up->y(), cell->y());
            QCOMPARE(down->y(), up->y() + 17);
            QVERIFY(up->StepsUp());
            QVERIFY(!down->StepsUp());
            QVERIFY(up->text().isEmpty() && down->text().isEmpty());
        }
        QCOMPARE(Find<Indicator>("Label2")->Background(), QColor(0, 0, 0));
        for (const char* lamp : {"fcLabel4", "fcLabel5", "fcLabel6", "fcLabel7"}) {
            QCOMPARE(Find(lamp)->size(), QSize(16, 6));
            QCOMPARE(Find<Lamp>(lamp)->Colour(), QColor(0xC0, 0xC0, 0xC0));
        }
    }

    void designStatesAfterCreation() {
        for (const char* name : {"ButtonStop", "Button54", "ButtonStop1", "CompStop", "NoiseFile2", "NoiseFile3",
                                 "NoiseFile4", "Button28", "Button42", "Button47", "Button48"})
            QVERIFY2(!Find(name)->isEnabled(), name);
        for (const char* name : {"ButtonRun", "Button53", "ButtonRun1", "CompRun", "NoiseFile1", "Button1", "Button57"})
            QVERIFY2(Find(name)->isEnabled(), name);
        auto* tone = Find<QSlider>("TrackBar1");
        QCOMPARE(tone->minimum(), 40);
        QCOMPARE(tone->maximum(), 110);
        QCOMPARE(tone->tickPosition(), QSlider::TicksAbove);
        QCOMPARE(tone->value(), kToneDefault); // the default set replaced the design position 50
        for (const char* name : {"TrackBar2", "TrackBar3"}) {
            QCOMPARE(Find<QSlider>(name)->minimum(), 0);
            QCOMPARE(Find<QSlider>(name)->maximum(), 65535);
        }
        for (const char* name : {"Gauge1", "Gauge2"}) {
            QCOMPARE(Find<QProgressBar>(name)->maximum(), 100);
            QVERIFY(!Find<QProgressBar>(name)->isTextVisible());
            QCOMPARE(Find(name)->toolTip(), QStringLiteral("Прогрессор радиограммы"));
        }
        auto* lng = Find<QComboBox>("LngComboBox");
        QVERIFY(!lng->isEditable());
        QCOMPARE(lng->itemText(0), QStringLiteral("English"));
        QCOMPARE(lng->currentIndex(), 0);
        QCOMPARE(Cell("Label70"), QStringLiteral("Languige"));
        QVERIFY(Find<QCheckBox>("TrainTextNeed")->isChecked());
        QVERIFY(Find<QRadioButton>("OurSystem")->isChecked());
        QVERIFY(Find<QRadioButton>("AllSymbols")->isChecked());
        QVERIFY(Find<QPlainTextEdit>("CheckList")->isReadOnly());
        QVERIFY(Find<QPlainTextEdit>("MemoProtokol")->isReadOnly());
        QVERIFY(Find<QLineEdit>("PathDir")->isReadOnly());
        QCOMPARE(MemoBytes(Find<QPlainTextEdit>("MemoSelectedSymbols")), FullAlphabet());
        QCOMPARE(Find<QLineEdit>("BeginChar")->text(), QStringLiteral("VVV="));
        QCOMPARE(Find<QLineEdit>("EndChar")->text(), QStringLiteral("AR"));
        for (const char* memo : {"MemoText", "InputMemo", "CheckList", "MemoProtokol", "MemoSelectedSymbols"}) {
            const QFont f = Find(memo)->font();
            QCOMPARE(f.pixelSize(), 20);
            QVERIFY2(QFontInfo(f).fixedPitch(), memo);
            QCOMPARE(Find<QPlainTextEdit>(memo)->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
        }
        // The sent text and the copy wrap at the same width.
        QCOMPARE(Find("MemoText")->width(), 373);
        QCOMPARE(Find("InputMemo")->width(), 373);
        // Defaults drawn: text number 0000, speed 050, groups 050, 5 per group, pause 3.
        QCOMPARE(Cell("Label6") + Cell("Label7") + Cell("Label8"), QStringLiteral("050"));
        QCOMPARE(Cell("Label47") + Cell("Label24") + Cell("Label25"), QStringLiteral("050"));
        QCOMPARE(Cell("Label28"), QStringLiteral("5"));
        QCOMPARE(Cell("Label14"), QStringLiteral("3"));
        QCOMPARE(Cell("Label11"), QStringLiteral("L"));
        QCOMPARE(Cell("Label20"), QStringLiteral("--"));
        QCOMPARE(Cell("Label16"), QStringLiteral("01"));
        QCOMPARE(Cell("Label17"), QStringLiteral("070"));
        QCOMPARE(Cell("Label39") + Cell("Label40") + Cell("Label41"), QStringLiteral("010"));
        QCOMPARE(Cell("Label43") + Cell("Label44") + Cell("Label45"), QStringLiteral("390"));
    }

    // The forms carry the window's Russian design texts; they must be those of the caption table.
    void formsCarryTheDesignCaptionsAndHints() {
        QWidget host;
        Ui::PanelPage p1;
        Ui::TextPage p2;
        Ui::ReceptionPage p3;
        Ui::CompetitionPage p4;
        Ui::FilesPage p5;
        Ui::TextOptionsPage p6;
        Ui::ParametersPage p8;
        Ui::ConfigurationPage p9;
        const auto page = [&host](auto& ui) {
            auto* w = new QWidget(&host);
            ui.setupUi(w);
        };
        page(p1), page(p2), page(p3), page(p4), page(p5), page(p6), page(p8), page(p9);
        int checked = 0;
        for (const CaptionFeed& feed : CaptionFeeds()) {
            const QString name = QString::fromLatin1(feed.objectName.data(), feed.objectName.size());
            // Button49 carries a hint of its own in the form ("Сменить..."), checked below.
            if (feed.target == CaptionTarget::PageCaption || name == QLatin1String("Button49"))
                continue;
            QWidget* w = host.findChild<QWidget*>(name);
            QVERIFY2(w, qPrintable(name));
            const QString design = Utf8(DesignCaptions().Text(feed.entry));
            QString shown;
            if (feed.target == CaptionTarget::Hint)
                shown = w->toolTip();
            else if (auto* l = qobject_cast<QLabel*>(w))
                shown = l->text();
            else
                shown = qobject_cast<QAbstractButton*>(w)->text();
            QVERIFY2(shown == design, qPrintable(name + QStringLiteral(": ") + shown + QStringLiteral(" / ") + design));
            ++checked;
        }
        QVERIFY(checked > 80);
        // Hints that no caption entry feeds.
        QCOMPARE(host.findChild<QWidget*>("ButtonOpen")->toolTip(), QStringLiteral("Загрузить радиограмму из файла"));
        QCOMPARE(host.findChild<QWidget*>("ButtonSave")->toolTip(), QStringLiteral("Сохранить радиограмму в файле"));
        QCOMPARE(host.findChild<QWidget*>("ButtonClear")->toolTip(), QStringLiteral("Очистить окно радиограммы"));
        QCOMPARE(host.findChild<QWidget*>("CompStatusFrame")->toolTip(), QStringLiteral("Индикатор состояния"));
        QCOMPARE(host.findChild<QWidget*>("Button49")->toolTip(), QStringLiteral("Сменить количество групп"));
        QCOMPARE(host.findChild<QWidget*>("Button23")->toolTip(), QStringLiteral("Изменить канал"));
        QCOMPARE(host.findChild<QWidget*>("Button11")->toolTip(), QStringLiteral("Изменить инструмент"));
        for (const char* b : {"Button1", "Button2", "Button26", "Button27", "Button28", "Button42", "Button43",
                              "Button44", "Button45", "Button46", "Button47", "Button48"})
            QCOMPARE(host.findChild<QWidget*>(b)->toolTip(), QStringLiteral("Изменить скорость"));
        for (const char* b : {"Button57", "Button58", "Button59", "Button60"})
            QVERIFY(host.findChild<QWidget*>(b)->toolTip().isEmpty());
        QCOMPARE(host.findChild<QLabel*>("Label11")->text(), QStringLiteral("ЛЦ"));
        QCOMPARE(host.findChild<QLabel*>("Label20")->text(), QStringLiteral("ЛЦ"));
        // Design state of the symbol choice: neither radio button is checked.
        QVERIFY(!host.findChild<QRadioButton*>("AllSymbols")->isChecked());
        QVERIFY(!host.findChild<QRadioButton*>("SelectedSymbols")->isChecked());
        QCOMPARE(host.findChild<QSlider*>("TrackBar1")->value(), 50);
        QCOMPARE(host.findChild<QSlider*>("TrackBar2")->value(), 30000);
    }

    void englishCaptionsReachEveryFedControl() {
        for (const CaptionFeed& feed : CaptionFeeds()) {
            const QString name = QString::fromLatin1(feed.objectName.data(), feed.objectName.size());
            QWidget* w = form->findChild<QWidget*>(name);
            QVERIFY2(w, qPrintable(name));
            const QString english = Utf8(EnglishCaptions().Text(feed.entry));
            if (feed.target == CaptionTarget::PageCaption)
                QCOMPARE(form->PageControl1->tabText(form->PageControl1->indexOf(w)), english);
            else if (feed.target == CaptionTarget::Hint)
                QCOMPARE(w->toolTip(), english);
        }
        QCOMPARE(Cell("Label58"), QStringLiteral("Basic text"));
        QCOMPARE(Find<QAbstractButton>("CheckBoxTextType")->text(),
                 QStringLiteral("to not form the text automaically"));
    }

    void stepButtonsWrap_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("setting"); // IntSetting
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char* tag, const char* b, IntSetting s, int from, int to, const char* cell,
                            const char* shown) {
            QTest::newRow(tag) << QString::fromLatin1(b) << int(s) << from << to << QString::fromLatin1(cell)
                               << QString::fromLatin1(shown);
        };
        row("number1 9 up", "Button3", IntSetting::Number1, 9, 0, "Label2", "0");
        row("number1 0 down", "Button4", IntSetting::Number1, 0, 9, "Label2", "9");
        row("number4 4 up", "Button9", IntSetting::Number4, 4, 5, "Label5", "5");
        row("speed1 3 up", "Button12", IntSetting::Speed1, 3, 0, "Label6", "0");
        row("speed1 0 down", "Button13", IntSetting::Speed1, 0, 3, "Label6", "3");
        row("speed2 9 up", "Button14", IntSetting::Speed2, 9, 0, "Label7", "0");
        row("pause 15 up", "Button21", IntSetting::PauseDelay, 15, 3, "Label14", "3");
        row("pause 3 down", "Button22", IntSetting::PauseDelay, 3, 15, "Label14", "F");
        row("pause 11 up shows C", "Button21", IntSetting::PauseDelay, 11, 12, "Label14", "C");
        row("pause 10 down", "Button22", IntSetting::PauseDelay, 10, 9, "Label14", "9");
        row("noise 4 up", "Button18", IntSetting::NoiseType, 4, 0, "Label20", "--");
        row("noise 0 down", "Button29", IntSetting::NoiseType, 0, 4, "Label20", "RN");
        row("groups1 0 up", "Button49", IntSetting::Groups1, 0, 1, "Label47", "1");
        row("groups1 1 up", "Button49", IntSetting::Groups1, 1, 0, "Label47", "0");
        row("groups1 0 down", "Button50", IntSetting::Groups1, 0, 1, "Label47", "1");
        row("groups1 1 down", "Button50", IntSetting::Groups1, 1, 0, "Label47", "0");
        row("groups2 is Button31 up", "Button31", IntSetting::Groups2, 9, 0, "Label24", "0");
        row("groups2 is Button30 down", "Button30", IntSetting::Groups2, 0, 9, "Label24", "9");
        row("chars 9 up", "Button35", IntSetting::CharInGroup, 9, 1, "Label28", "1");
        row("chars 1 down", "Button34", IntSetting::CharInGroup, 1, 9, "Label28", "9");
        row("start1 3 up", "Button1", IntSetting::StartSpeed1, 3, 0, "Label39", "0");
        row("start2 0 down", "Button27", IntSetting::StartSpeed2, 0, 9, "Label40", "9");
        row("stop1 0 down", "Button44", IntSetting::StopSpeed1, 0, 3, "Label43", "3");
        row("stop2 9 up", "Button45", IntSetting::StopSpeed2, 9, 0, "Label44", "0");
        row("files1 9 up", "Button57", IntSetting::Files1, 9, 0, "Label77", "0");
        row("files2 0 down", "Button60", IntSetting::Files2, 0, 9, "Label78", "9");
        row("channel 15 up", "Button23", IntSetting::MidiChannel, 15, 0, "Label16", "01");
        row("channel 0 down", "Button24", IntSetting::MidiChannel, 0, 15, "Label16", "16");
        row("channel 8 up", "Button23", IntSetting::MidiChannel, 8, 9, "Label16", "10");
        row("patch 127 up", "Button25", IntSetting::MidiPatch, 127, 0, "Label17", "000");
        row("patch 0 down", "Button11", IntSetting::MidiPatch, 0, 127, "Label17", "127");
        row("patch 8 up", "Button25", IntSetting::MidiPatch, 8, 9, "Label17", "009");
        row("patch 69 up", "Button25", IntSetting::MidiPatch, 69, 70, "Label17", "070");
    }
    void stepButtonsWrap() {
        QFETCH(QString, button);
        QFETCH(int, setting);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QString, cell);
        QFETCH(QString, shown);
        const auto id = static_cast<IntSetting>(setting);
        SettingRef(form->Settings(), id) = from;
        form->IndicatorRefresh();
        ShowPageOf(Find(qPrintable(button)));
        QTest::mouseClick(Find(qPrintable(button)), Qt::LeftButton);
        QCOMPARE(SettingValue(form->Settings(), id), to);
        QCOMPARE(Cell(qPrintable(cell)), shown);
        // The screen reader hears the new value too.
        QVERIFY(Find(qPrintable(cell))->accessibleName().endsWith(QStringLiteral(": ") + shown));
    }

    void textTypeSkipsRInEnglish() {
        auto& s = form->Settings();
        s.textType = 0;
        QStringList up;
        for (int i = 0; i < 5; ++i) {
            Click("Button19");
            up << Cell("Label11");
        }
        QCOMPARE(up, (QStringList{"N", "NC", "LN", "MX", "L"}));
        QStringList down;
        for (int i = 0; i < 5; ++i) {
            Click("Button20");
            down << Cell("Label11");
        }
        QCOMPARE(down, (QStringList{"MX", "LN", "NC", "N", "L"}));
    }

    void otherLanguageShowsItsShortNamesAndReachesR() {
        auto* lng = Find<QComboBox>("LngComboBox");
        lng->addItem(QStringLiteral("Test"));
        form->CurrentCaptions().Set(101, Cp("РУС"));
        form->CurrentCaptions().Set(107, Cp("ТЧ"));
        lng->setCurrentIndex(1);
        form->Settings().textType = 0;
        form->Settings().noiseType = 0;
        Click("Button19");
        QCOMPARE(form->Settings().textType, 1);
        QCOMPARE(Cell("Label11"), QStringLiteral("РУС"));
        Click("Button18");
        QCOMPARE(Cell("Label20"), QStringLiteral("ТЧ"));
        // Entries a language file does not give keep the English short names.
        Click("Button19");
        QCOMPARE(Cell("Label11"), QStringLiteral("N")); // type 2
        // No item selected (-1) counts as a language other than English.
        lng->setCurrentIndex(-1);
        form->Settings().textType = 0;
        Click("Button19");
        QCOMPARE(form->Settings().textType, 1);
    }

    void valuesOutsideTheNameTablesLeaveTheCell() {
        form->Settings().textType = 4;
        form->Settings().noiseType = 2;
        form->IndicatorRefresh();
        form->Settings().textType = 9;
        form->Settings().noiseType = -1;
        form->Settings().pauseDelayDots = 20;
        form->IndicatorRefresh();
        QCOMPARE(Cell("Label11"), QStringLiteral("LN"));
        QCOMPARE(Cell("Label20"), QStringLiteral("DS"));
        QCOMPARE(Cell("Label14"), QStringLiteral("20"));
    }

    void thirdSpeedDigitButtonsSetZeroAndRedrawNothing() {
        form->Settings().startSpeed[2] = 5;
        form->Settings().stopSpeed[2] = 7;
        form->Settings().number[0] = 4; // not yet drawn
        // The buttons are disabled in the form; their handler still runs when called.
        form->StepButtonClick(IntSetting::StartSpeed3, true);
        form->StepButtonClick(IntSetting::StopSpeed3, false);
        QCOMPARE(form->Settings().startSpeed[2], 0);
        QCOMPARE(form->Settings().stopSpeed[2], 0);
        QCOMPARE(Cell("Label2"), QStringLiteral("0"));
        QTest::mouseClick(Find("Button28"), Qt::LeftButton); // disabled: nothing happens
        QCOMPARE(Cell("Label2"), QStringLiteral("0"));
    }

    void symbolChoiceColoursTheTextTypeCell() {
        auto* cell = Find<Indicator>("Label11");
        QCOMPARE(cell->Background(), QColor(0, 0, 0));
        Find<QRadioButton>("SelectedSymbols")->click();
        QCOMPARE(cell->Background(), QColor(255, 0, 0));
        Find<QRadioButton>("AllSymbols")->click();
        QCOMPARE(cell->Background(), QColor(0, 0, 0));
        // A store holding false for both leaves neither checked and the cell red.
        SetRadioChecked(Find<QRadioButton>("AllSymbols"), false);
        SetRadioChecked(Find<QRadioButton>("SelectedSymbols"), false);
        form->IndicatorRefresh();
        QVERIFY(!Find<QRadioButton>("AllSymbols")->isChecked());
        QVERIFY(!Find<QRadioButton>("SelectedSymbols")->isChecked());
        QCOMPARE(cell->Background(), QColor(255, 0, 0));
    }

    void doubleClickPutsInTheFullAlphabet() {
        auto* memo = Find<QPlainTextEdit>("MemoSelectedSymbols");
        memo->setPlainText(QStringLiteral("AB"));
        QTest::mouseDClick(memo->viewport(), Qt::LeftButton);
        QCOMPARE(MemoBytes(memo), FullAlphabet());
        QCOMPARE(MemoBytes(memo).size(), size_t(75));
    }

    void noiseBrowseButtonsFillTheirEdits() {
        dialogs->answers = {QStringLiteral("/tmp/a.wav"), std::nullopt, QStringLiteral("/tmp/c.wav"),
                            QStringLiteral("/tmp/d.wav")};
        Find<QLineEdit>("NoiseFile2")->setText(QStringLiteral("kept"));
        for (const char* b : {"Button36", "Button39", "Button40", "Button41"})
            QMetaObject::invokeMethod(Find<QPushButton>(b), "click");
        QCOMPARE(Find<QLineEdit>("NoiseFile1")->text(), QStringLiteral("/tmp/a.wav"));
        QCOMPARE(Find<QLineEdit>("NoiseFile2")->text(), QStringLiteral("kept")); // cancelled
        QCOMPARE(Find<QLineEdit>("NoiseFile3")->text(), QStringLiteral("/tmp/c.wav"));
        QCOMPARE(Find<QLineEdit>("NoiseFile4")->text(), QStringLiteral("/tmp/d.wav"));
        QCOMPARE(dialogs->openSpecs.size(), size_t(4));
        for (const FileDialogSpec& request : dialogs->openSpecs) {
            QCOMPARE(request.filter, QStringLiteral("Звуковые файлы (*.wav)|*.wav|Все файлы (*.*)|*.*"));
            QCOMPARE(request.filterIndex, 1);
        }
        QCOMPARE(QtNameFilters(dialogs->openSpecs[0].filter),
                 (QStringList{"Звуковые файлы (*.wav)", "Все файлы (*.*)"}));
        QCOMPARE(QtNameFilters(QStringLiteral("Текстовые документы (*.txt)|*.TXT")),
                 QStringList{"Текстовые документы (*.txt)"});
        QCOMPARE(QtNameFilters(QStringLiteral("Music|*.mid;*.midi")), QStringList{"Music (*.mid *.midi)"});
    }

    void volumeSlidersDriveBothChannelsAndRestoreAtClose() {
        // Captured at start: the sliders show the left channel's level and set it on both.
        QCOMPARE(Find<QSlider>("TrackBar2")->value(), 0xABCD);
        QCOMPARE(Find<QSlider>("TrackBar3")->value(), 0x0002);
        QCOMPARE(levels->midi, VolumeWord(0xABCD));
        QCOMPARE(levels->wave, VolumeWord(2));
        Find<QSlider>("TrackBar2")->setValue(1000);
        Find<QSlider>("TrackBar3")->setValue(65535);
        QCOMPARE(levels->midi, 1000u * 65537u);
        QCOMPARE(levels->wave, 0xFFFFFFFFu);
        form->close();
        QCOMPARE(levels->midi, VolumeWord(0xABCD));
        QCOMPARE(levels->wave, VolumeWord(2));
    }

    void capturedLevelEqualToTheSliderStillSetsBothChannels() {
        test::FakeDialogs d;
        test::FakeLevels l;
        l.midi = 30000u | (5u << 16); // the design position, channels unequal
        l.wave = 30000u;
        TMainForm f(&d, &l);
        QCOMPARE(l.midi, VolumeWord(30000));
        QCOMPARE(l.wave, VolumeWord(30000));
    }

    void pageGuardHoldsThePageWhileACompetitionRuns() {
        PageControl* pc = form->PageControl1;
        form->SetCompetitionRunning(true);
        pc->setCurrentIndex(3);
        QTest::mouseClick(pc->Tab(0), Qt::LeftButton);
        QCOMPARE(pc->currentIndex(), 3);
        pc->Tab(3)->setFocus();
        QTest::keyClick(pc->Tab(3), Qt::Key_Right);
        QCOMPARE(pc->currentIndex(), 3);
        QTest::keyClick(form.get(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(pc->currentIndex(), 3);
        QVERIFY(!pc->RequestPage(5));
        // A change made by the program itself is not asked about.
        pc->setCurrentIndex(2);
        QCOMPARE(pc->currentIndex(), 2);
        // After the competition, and during an ordinary transmission, tabs change.
        form->SetCompetitionRunning(false);
        QTest::mouseClick(pc->Tab(0), Qt::LeftButton);
        QCOMPARE(pc->currentIndex(), 0);
        pc->Tab(0)->setFocus();
        QTest::keyClick(pc->Tab(0), Qt::Key_Right);
        QCOMPARE(pc->currentIndex(), 1);
        QTest::keyClick(pc->Tab(1), Qt::Key_End);
        QCOMPARE(pc->currentIndex(), 8);
        QTest::keyClick(form.get(), Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(pc->currentIndex(), 0);
    }

    void tabRowOfTheCurrentPageSitsAgainstThePages() {
        PageControl* pc = form->PageControl1;
        const int firstRowTop = pc->FrameRect().bottom() + 1;
        QCOMPARE(pc->Tab(0)->y(), firstRowTop);
        QCOMPARE(pc->Tab(5)->y(), firstRowTop + PageControl::kTabHeight);
        QTest::mouseClick(pc->Tab(7), Qt::LeftButton);
        QCOMPARE(pc->currentIndex(), 7);
        QCOMPARE(pc->Tab(7)->y(), firstRowTop);
        QCOMPARE(pc->Tab(5)->y(), firstRowTop);
        QCOMPARE(pc->Tab(0)->y(), firstRowTop + PageControl::kTabHeight);
        QCOMPARE(pc->Tab(7)->x(), 2 * 97);
    }

    void raiseRequestRestoresAMinimisedWindow() {
        form->showMinimized();
        QVERIFY(form->isMinimized());
        form->RaiseRequest();
        QVERIFY(!form->isMinimized());
        QVERIFY(form->isVisible());
        QVERIFY(!form->CompetitionRunning());
    }

    void everyControlSpeaksToScreenReaders() {
        for (QWidget* w : form->findChildren<QWidget*>()) {
            const bool command = w->focusPolicy() != Qt::NoFocus || qobject_cast<Indicator*>(w) ||
                                 qobject_cast<QProgressBar*>(w) || qobject_cast<Lamp*>(w);
            if (!command || w->objectName().isEmpty() || w->objectName().startsWith(QLatin1String("qt_")))
                continue;
            if (qobject_cast<PageTab*>(w) || w->inherits("QScrollBar") || w->inherits("QAbstractSpinBox"))
                continue;
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
            QVERIFY2(a, qPrintable(w->objectName()));
            QVERIFY2(!a->text(QAccessible::Name).isEmpty(), qPrintable(w->objectName()));
            if (!qobject_cast<Indicator*>(w) && !qobject_cast<Lamp*>(w))
                QVERIFY2(!a->text(QAccessible::Description).isEmpty(), qPrintable(w->objectName()));
        }
        const auto name = [this](const char* control) {
            return QAccessible::queryAccessibleInterface(Find(control))->text(QAccessible::Name);
        };
        QCOMPARE(name("Button3"), QStringLiteral("Text number, thousands digit, up"));
        QCOMPARE(name("Button13"), QStringLiteral("Speed, hundreds digit, down"));
        QCOMPARE(name("Button21"), QStringLiteral("Pause, up"));
        QCOMPARE(QAccessible::queryAccessibleInterface(Find("Button58"))->text(QAccessible::Description),
                 QStringLiteral("Lowers the tens digit of the file count by one"));
        QCOMPARE(QAccessible::queryAccessibleInterface(Find("Button11"))->text(QAccessible::Description),
                 QStringLiteral("Lowers the MIDI program by one"));
        QCOMPARE(name("Label6"), QStringLiteral("Speed hundreds digit: 0"));
        QCOMPARE(name("Label14"), QStringLiteral("Pause: 3"));
        QCOMPARE(name("fcLabel4"), QStringLiteral("Transmission lamp: idle"));
        QAccessibleInterface* tab = QAccessible::queryAccessibleInterface(form->PageControl1->Tab(0));
        QCOMPARE(tab->role(), QAccessible::PageTab);
        QVERIFY(tab->state().selected);
        QCOMPARE(QAccessible::queryAccessibleInterface(form->PageControl1->Tab(6))->text(QAccessible::Name),
                 QStringLiteral("Blank page"));
        // Pressing a tab through the accessibility interface changes the page, guard included.
        QAccessibleInterface* textTab = QAccessible::queryAccessibleInterface(form->PageControl1->Tab(1));
        textTab->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(form->PageControl1->currentIndex(), 1);
        form->SetCompetitionRunning(true);
        tab->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(form->PageControl1->currentIndex(), 1);
    }

    void keyboardFocusFollowsTheMainPanelFromLeftToRight() {
        Find("Button19")->setFocus(Qt::TabFocusReason);
        const QStringList expected{"Button19",  "Button20",      "Button3",     "Button4",  "Button5",  "Button6",
                                   "Button7",   "Button8",       "Button9",     "Button10", "Button12", "Button13",
                                   "Button14",  "Button15",      "Button16",    "Button17", "Button21", "Button22",
                                   "ButtonRun", "Button18",      "Button29",    "Button49", "Button50", "Button31",
                                   "Button30",  "Button32",      "Button33",    "Button35", "Button34", "TrackBar2",
                                   "TrackBar3", "ButtonTrainer", "TabSheet1Tab"};
        QStringList visited{QApplication::focusWidget()->objectName()};
        for (int i = 1; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, expected);
        // And a step button works from the keyboard: Space, Enter and Return alike.
        Find("Button3")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(Find("Button3"), Qt::Key_Space);
        QCOMPARE(form->Settings().number[0], 1);
        QTest::keyClick(Find("Button3"), Qt::Key_Return);
        QTest::keyClick(Find("Button3"), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(form->Settings().number[0], 3);
    }

    void enterPressesTheFocusedPushButtonOnly() {
        form->PageControl1->setCurrentIndex(2);
        auto* copy = Find<QPlainTextEdit>("InputMemo");
        auto* clear = Find<QPushButton>("Button55");
        copy->setPlainText(QStringLiteral("VVV="));
        clear->setFocus(Qt::TabFocusReason);
        QTest::keyClick(clear, Qt::Key_Return);
        QVERIFY(copy->toPlainText().isEmpty());
        // A check box keeps its own keys, and a disabled button stays unpressed.
        form->PageControl1->setCurrentIndex(5);
        auto* header = Find<QCheckBox>("NeedHeader");
        const bool wasChecked = header->isChecked();
        header->setFocus(Qt::TabFocusReason);
        QTest::keyClick(header, Qt::Key_Return);
        QCOMPARE(header->isChecked(), wasChecked);
    }

    void everyPageOpensOnItsFirstControlAndKeepsStepPairsInOrder() {
        // The blank page has no control, so its tab keeps the focus, and the next page is reached
        // from the tab row, where the focus stays.
        const char* first[] = {"ButtonRun",  "MemoText",      "InputMemo",    "CompRun",  "ButtonFormFiles",
                               "NeedHeader", "TabSheet10Tab", "TabSheet8Tab", "TrackBar1"};
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("ButtonRun"));
        for (int page = 0; page < form->PageControl1->count(); ++page) {
            // Ctrl+Tab from a control of the previous page (Tab leads from the tab row into it).
            if (page != 6 && qobject_cast<PageTab*>(QApplication::focusWidget()))
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
            const int shown = (page + 1) % form->PageControl1->count();
            QCOMPARE(form->PageControl1->currentIndex(), shown);
            QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(first[shown]));
            // Every step button of the page is followed by the other of its pair, upper first.
            QWidget* start = QApplication::focusWidget();
            QWidget* w = start;
            QStringList chain;
            do {
                QTest::keyClick(w, Qt::Key_Tab);
                w = QApplication::focusWidget();
                chain << w->objectName();
            } while (w != start && chain.size() < 80);
            for (const StepPair& pair : StepPairs()) {
                const qsizetype up = chain.indexOf(QLatin1String(pair.up));
                if (up >= 0)
                    QCOMPARE(chain.value(up + 1), QString::fromLatin1(pair.down));
            }
        }
    }
};

QTEST_MAIN(MainFormTest)
#include "main_form_test.moc"
