// The main window for screen readers and the keyboard: the accessible names and descriptions of the
// controls in the interface language, the status lines and radio-button groups, the Tab chain and
// the first focus of every page.
#include "shell/window_accessibility.h"

#include "shell/accessibility.h"
#include "shell/main_form.h"
#include "shell/page_control.h"
#include "shell/panel_map.h"
#include "shell/panel_widgets.h"
#include "shell/qt_program_text.h"

#include <QApplication>
#include <QLabel>

namespace qlor {
namespace {

constexpr Say kNone = static_cast<Say>(0);

// A control and the program texts of its accessible name and description. A control without a
// name entry is called by its caption (the caption table's text).
struct AccessibleFeed {
    const char* objectName;
    Say name;
    Say description;
};

constexpr AccessibleFeed kFeeds[] = {
    // Main panel.
    {"ButtonRun", kNone, Say::AccTransmissionStartDesc},
    {"ButtonStop", kNone, Say::AccTransmissionStopDesc},
    {"TrackBar2", Say::AccMainVolumeName, Say::AccMainVolumeDesc},
    {"TrackBar3", Say::AccNoiseVolumeName, Say::AccNoiseVolumeDesc},
    {"Gauge1", Say::AccTransmissionProgressName, Say::AccTransmissionProgressDesc},
    // Text page.
    {"MemoText", Say::AccSentTextName, Say::AccSentTextDesc},
    {"Button53", kNone, Say::AccTransmissionStartDesc},
    {"Button54", kNone, Say::AccTransmissionStopDesc},
    {"ButtonOpen", kNone, Say::AccOpenTextDesc},
    {"ButtonSave", kNone, Say::AccSaveTextDesc},
    {"ButtonClear", kNone, Say::AccClearTextDesc},
    // Reception page.
    {"InputMemo", Say::AccCopyName, Say::AccCopyDesc},
    {"CheckList", Say::AccCheckListName, Say::AccCheckListDesc},
    {"ButtonRun1", kNone, Say::AccTransmissionStartDesc},
    {"ButtonStop1", kNone, Say::AccTransmissionStopDesc},
    {"ButtonCheckText", kNone, Say::AccCheckDesc},
    {"Button51", kNone, Say::AccSaveCheckListDesc},
    {"Button55", kNone, Say::AccClearCopyDesc},
    {"ButtonProgress", kNone, Say::AccProgressDesc},
    // Competition page.
    {"MemoProtokol", Say::AccProtocolName, Say::AccProtocolDesc},
    {"CompStatusFrame", Say::AccCompetitionStatusName, Say::AccCompetitionStatusDesc},
    {"Gauge2", Say::AccCompetitionProgressName, Say::AccCompetitionProgressDesc},
    {"CompRun", kNone, Say::AccCompetitionStartDesc},
    {"CompStop", kNone, Say::AccCompetitionStopDesc},
    {"Button52", kNone, Say::AccSaveProtocolDesc},
    {"Button38", kNone, Say::AccClearProtocolDesc},
    // Files page.
    {"PathDir", Say::AccFolderName, Say::AccFolderDesc},
    {"Button37", Say::AccChooseFolderName, Say::AccChooseFolderDesc},
    {"ButtonFormFiles", kNone, Say::AccWriteFilesDesc},
    {"ExportGauge", Say::AccExportProgressName, Say::AccExportProgressDesc},
    {"ExportStatus", kNone, Say::AccExportStatusDesc},
    // Text options page.
    {"PanelHeader", Say::AccHeaderGroup, kNone},
    {"PanelEnded", Say::AccEndingGroup, kNone},
    {"PanelSymbols", Say::AccSymbolGroup, kNone},
    {"NeedHeader", kNone, Say::AccNeedHeaderDesc},
    {"HeaderStandart", kNone, Say::AccStandardHeaderDesc},
    {"HeaderUser", kNone, Say::AccOwnHeaderChoiceDesc},
    {"BeginChar", Say::AccOwnHeaderName, Say::AccOwnHeaderDesc},
    {"NeedEnded", kNone, Say::AccNeedEndingDesc},
    {"EndedStandart", kNone, Say::AccStandardEndingDesc},
    {"EndedUser", kNone, Say::AccOwnEndingChoiceDesc},
    {"EndChar", Say::AccOwnEndingName, Say::AccOwnEndingDesc},
    {"AllSymbols", kNone, Say::AccAllSymbolsDesc},
    {"SelectedSymbols", kNone, Say::AccSelectedSymbolsChoiceDesc},
    {"MemoSelectedSymbols", Say::AccSelectedSymbolsName, Say::AccSelectedSymbolsDesc},
    {"CheckBoxTextType", kNone, Say::AccOwnTextDesc},
    {"CheckBoxAutoPriem", kNone, Say::AccAutoReceptionDesc},
    // Parameters page.
    {"TrainTextNeed", kNone, Say::AccTrainingTextDesc},
    {"Image2", Say::AccPictureName, Say::AccPictureDesc},
    // Configuration page.
    {"TrackBar1", Say::AccToneName, Say::AccToneDesc},
    {"PanelSpeedSystem", Say::AccSpeedSystemGroup, kNone},
    {"OurSystem", kNone, Say::AccCpmDesc},
    {"ParisSystem", kNone, Say::AccParisDesc},
    {"LngComboBox", Say::AccLanguageName, Say::AccLanguageDesc},
    {"VoiceComboBox", Say::AccVoiceName, Say::AccVoiceDesc},
    {"WindowScaleComboBox", Say::AccWindowScaleName, Say::AccWindowScaleDesc},
    {"ButtonBandConditions", kNone, Say::AccBandButtonDesc},
    // The buttons that open the trainer window, on the main panel and on the Reception page.
    {"ButtonTrainer", kNone, Say::TrainerButtonDesc},
    {"ButtonTrainer2", kNone, Say::TrainerButtonDesc},
};

// The frames whose radio buttons belong together.
constexpr const char* kGroups[] = {"PanelHeader", "PanelEnded", "PanelSymbols", "PanelSpeedSystem"};

// The noise-file rows of the configuration page: the edit, its "..." button and the label that
// carries the row's short noise name.
struct NoiseRow {
    const char* edit;
    const char* browse;
    const char* label;
};
constexpr NoiseRow kNoiseRows[] = {
    {"NoiseFile1", "Button36", "Label29"},
    {"NoiseFile2", "Button39", "Label31"},
    {"NoiseFile3", "Button40", "Label32"},
    {"NoiseFile4", "Button41", "Label33"},
};

// The control that takes the focus when a page opens, by page index in tab order; the blank page
// has none and keeps the focus on its tab.
constexpr const char* kFirstFocus[] = {"ButtonRun",  "MemoText", "InputMemo", "CompRun",  "ButtonFormFiles",
                                       "NeedHeader", nullptr,    "Button1",   "TrackBar1"};

} // namespace

void PrepareWindowAccessibility(QWidget* window, PageControl* pages) {
    if (auto* status = window->findChild<QLabel*>(QStringLiteral("ExportStatus")))
        MakeStatusLine(status);
    for (const char* name : kGroups) {
        if (auto* frame = window->findChild<QFrame*>(QLatin1String(name)))
            MakeGroup(frame);
    }
    (new EnterPressesButtons(window))->InstallOn(window);

    // Each upper step button is followed by its lower one in the Tab chain.
    for (const StepPair& pair : StepPairs()) {
        auto* up = window->findChild<StepButton*>(QLatin1String(pair.up));
        auto* down = window->findChild<StepButton*>(QLatin1String(pair.down));
        if (up && down && up->nextInFocusChain() != down)
            QWidget::setTabOrder(up, down);
    }

    // A page that opens gives the focus to its first control, unless the focus is on the tab row,
    // where it stays so that the arrow keys keep moving along the tabs.
    QObject::connect(pages, &PageControl::currentChanged, window, [pages](int index) {
        if (!qobject_cast<const PageTab*>(QApplication::focusWidget()))
            FocusFirstControl(pages, index);
    });
}

void FocusFirstControl(PageControl* pages, int page) {
    if (page < 0 || page >= static_cast<int>(std::size(kFirstFocus)))
        return;
    QWidget* first = nullptr;
    if (kFirstFocus[page])
        first = pages->widget(page)->findChild<QWidget*>(QLatin1String(kFirstFocus[page]));
    if (first && first->isEnabled())
        first->setFocus(Qt::OtherFocusReason);
    else if (QWidget* tab = pages->Tab(page))
        tab->setFocus(Qt::OtherFocusReason);
}

void ApplyAccessibleTexts(QWidget* window, PageControl* pages, const ProgramTextTable& texts) {
    const auto OwnText = [&texts](Say id) { return QProgramText(id, texts); };
    for (const AccessibleFeed& feed : kFeeds) {
        QWidget* control = window->findChild<QWidget*>(QLatin1String(feed.objectName));
        if (!control)
            continue;
        if (feed.name != kNone)
            control->setAccessibleName(OwnText(feed.name));
        if (feed.description != kNone)
            control->setAccessibleDescription(OwnText(feed.description));
    }
    if (auto* status = window->findChild<QLabel*>(QStringLiteral("ExportStatus")))
        SetStatusSubject(status, OwnText(Say::AccExportStatusName));

    for (const NoiseRow& row : kNoiseRows) {
        const auto* label = window->findChild<QLabel*>(QLatin1String(row.label));
        const QString noise = label ? label->text() : QString();
        if (auto* edit = window->findChild<QWidget*>(QLatin1String(row.edit))) {
            edit->setAccessibleName(OwnText(Say::AccNoiseFileName).arg(noise));
            edit->setAccessibleDescription(OwnText(Say::AccNoiseFileDesc).arg(noise));
        }
        if (auto* browse = window->findChild<QWidget*>(QLatin1String(row.browse))) {
            browse->setAccessibleName(OwnText(Say::AccChooseNoiseFileName).arg(noise));
            browse->setAccessibleDescription(OwnText(Say::AccChooseNoiseFileDesc).arg(noise));
        }
    }

    for (const StepPair& pair : StepPairs()) {
        for (const bool up : {true, false}) {
            if (auto* button = window->findChild<StepButton*>(QLatin1String(up ? pair.up : pair.down))) {
                button->setAccessibleName(StepButtonAccessibleName(pair, up, texts));
                button->setAccessibleDescription(StepButtonAccessibleDescription(pair, up, texts));
            }
        }
        if (auto* cell = window->findChild<Indicator*>(QLatin1String(pair.indicator)))
            cell->SetSubject(IndicatorSubject(pair, texts));
    }
    for (Lamp* lamp : window->findChildren<Lamp*>())
        lamp->SetAccessibleNames(OwnText(Say::AccTransmissionLampIdle), OwnText(Say::AccTransmissionLampOnAir));
    pages->Tab(kBlankPage)->setAccessibleName(OwnText(Say::AccBlankPage));
}

} // namespace qlor
