#include "shell/main_form_pages.h"

#include "shell/accessibility.h"
#include "shell/aligned_score_view.h"
#include "shell/band_dialog.h"
#include "shell/choice_lists.h"
#include "shell/export_job.h"
#include "shell/noise_recordings.h"
#include "shell/selected_symbols_menu.h"
#include "shell/window_accessibility.h"
#include "shell/window_captions.h"
#include "shell/window_look.h"
#include "shell/window_wiring.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>

namespace qlor {

TMainForm::TMainForm(UiDialogs* dialogs, OutputLevels* levels, QWidget* parent)
    : TMainForm(dialogs, levels, static_cast<SettingsStore*>(nullptr), parent) {}

TMainForm::TMainForm(UiDialogs* dialogs, OutputLevels* levels, SettingsStore* store, QWidget* parent)
    : TMainForm(dialogs, levels, store, nullptr, nullptr, parent) {}

TMainForm::TMainForm(UiDialogs* dialogs, OutputLevels* levels, SettingsStore* store, AudioPort* port, Clock* clock,
                     QWidget* parent)
    : QWidget(parent), pages_(std::make_unique<MainFormPages>()), panel(pages_->panel), text(pages_->text),
      reception(pages_->reception), competition(pages_->competition), files(pages_->files),
      textOptions(pages_->textOptions), blank(pages_->blank), parameters(pages_->parameters),
      configuration(pages_->configuration), port_(port), clock_(clock) {
    if (!dialogs) {
        ownDialogs_ = std::make_unique<QtUiDialogs>();
        dialogs = ownDialogs_.get();
    }
    if (!levels) {
        ownLevels_ = MakeApplicationOutputLevels();
        levels = ownLevels_.get();
    }
    dialogs_ = dialogs;
    levels_ = levels;
    store_ = store;
    history_ = std::make_unique<WindowHistory>(this, *dialogs_, shownTexts_);

    InstallPageControlAccessibility();
    InstallWindowAccessibility();
    setObjectName(QStringLiteral("MainForm"));
    SetMainWindowFrame(this);

    PageControl1 = BuildPageControl(this, *pages_);
    PrepareControls();
    PrepareWindowAccessibility(this, PageControl1);
    ConnectHandlers();
    FormCreate();
    FocusFirstControl(PageControl1, PageControl1->currentIndex());
}

TMainForm::~TMainForm() = default;

void TMainForm::PrepareControls() {
    TrainTimer = new QTimer(this);
    TrainTimer->setObjectName(QStringLiteral("TrainTimer"));
    TrainTimer->setInterval(200); // [ms]
    CreatePlayers();
    noise_ = std::make_unique<NoiseRecordings>(configuration, settings_, *MediaPlayerNoise);

    // The filters read the same in every language.
    OpenDialogText.filter = OwnText(Say::TextOpenFilter);
    SaveDialogText.filter = OwnText(Say::TextSaveFilter);
    SaveDialogText.defaultExt = QStringLiteral("txt");
    SaveDialogText.overwritePrompt = true;
    OpenDialogNoise.filter = OwnText(Say::NoiseOpenFilter);
    TakeSettingRanges(panel, configuration);

    StyleMemos({text.MemoText, reception.InputMemo, reception.CheckList, competition.MemoProtokol},
               {textOptions.MemoSelectedSymbols});
    scoreView_ = std::make_unique<AlignedScoreView>(reception.LabelAligned);
    symbols_ = new SelectedSymbolsList(textOptions.MemoSelectedSymbols, textOptions.SelectedSymbols, *history_,
                                       *dialogs_, shownTexts_, this);

    FillVoiceChoice(configuration.VoiceComboBox);
    FillWindowScaleChoice(configuration.WindowScaleComboBox);
    ShowWindowScaleTexts(configuration.WindowScaleLabel, configuration.WindowScaleComboBox, OwnTexts());
    FillExportAudioChoice(files.ExportAudio, files.ExportAudioFormat);
    band_ = new BandDialog(this);
    // The noise slider's tip shows the band's ratio too.
    connect(band_, &BandDialog::Changed, this, [this] { RefreshNoiseSnrHint(false); });
    // The noise slider's tip is measured when it is about to show or the slider gets the focus.
    panel.TrackBar3->installEventFilter(this);

    parameters.Image2->setPixmap(DecorativePicture(parameters.Image2->size()));
    panel.ButtonRun->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    panel.ButtonStop->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
}

void TMainForm::ConnectHandlers() {
    ConnectPageHandlers(this, *pages_);
    // The window scale: taken at the next start, so the choice is only kept.
    connect(configuration.WindowScaleComboBox, &QComboBox::currentIndexChanged, this,
            [this](int index) { windowScale_ = configuration.WindowScaleComboBox->itemData(index).toInt(); });
}

// --- Window creation and closing ------------------------------------------------------------

void TMainForm::FormCreate() {
    competitionRunning_ = false;
    // The current caption table starts as a copy of the built-in English one.
    currentCaptions_ = EnglishCaptions();
    morse_.InitMorseTable();
    morse_.LoadMorseOverrides(QFile::encodeName(QDir::current().filePath(QStringLiteral("Morse.txt"))).toStdString());
    // "English" first, then one item per language file of the current directory. The list is
    // built once; files added later appear at the next start.
    FillLanguageList(configuration.LngComboBox);
    LoadSettings();
    noise_->Preload();
    // The saved position has been selected while the settings were read.
    LngComboBoxChange(LanguagePosition());
    capturedLevels_.Capture(*levels_, panel.TrackBar2, panel.TrackBar3);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void TMainForm::FormClose() {
    RemoveTempMidi();
    SaveSettings();
    capturedLevels_.Restore(*levels_);
}

void TMainForm::showEvent(QShowEvent* event) {
    if (!centred_) {
        centred_ = true;
        CentreOnScreen(this);
    }
    QWidget::showEvent(event);
}

// --- Window-level rules ---------------------------------------------------------------------

void TMainForm::PageControl1Changing(QObject*, bool& allowChange) {
    if (competitionRunning_)
        allowChange = false;
}

void TMainForm::RaiseRequest() {
    BringForward(this);
}

// --- Commands of the transmission cycle and the exercises -----------------------------------
// Each of these is connected to its controls; the cycle and the exercises fill them in.

void TMainForm::Button55Click() {
    reception.InputMemo->clear();
    reception.CheckList->clear();
    // The aligned score belongs to the check list beside it.
    scoreView_->Clear();
}

} // namespace qlor
