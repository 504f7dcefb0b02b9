#include "shell/main_form_pages.h"

#include "shell/accessibility.h"
#include "shell/aligned_score_view.h"
#include "shell/band_dialog.h"
#include "shell/choice_lists.h"
#include "shell/memo_text.h"
#include "shell/noise_snr_meter.h"
#include "shell/panel_map.h"
#include "shell/panel_widgets.h"
#include "shell/window_accessibility.h"
#include "shell/window_look.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QScreen>

namespace qlor {

TMainForm::TMainForm(UiDialogs* dialogs, OutputLevels* levels, QWidget* parent)
    : TMainForm(dialogs, levels, static_cast<SettingsStore*>(nullptr), parent) {}

TMainForm::TMainForm(UiDialogs* dialogs, OutputLevels* levels, SettingsStore* store, QWidget* parent)
    : TMainForm(dialogs, levels, store, nullptr, nullptr, parent) {}

TMainForm::TMainForm(UiDialogs* dialogs, OutputLevels* levels, SettingsStore* store, AudioPort* port, Clock* clock,
                     QWidget* parent)
    : QWidget(parent), pages_(std::make_unique<Pages>()), panel(pages_->panel), text(pages_->text),
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

    InstallPageControlAccessibility();
    InstallWindowAccessibility();
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QString::fromLatin1(kFullTitle));
    setFont(WindowFont());
    // A fixed dialog frame: system menu, close and context-help boxes, no minimise or maximise box.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint);
    setFixedSize(kClientWidth, kClientHeight);

    BuildPages();
    PrepareControls();
    PrepareWindowAccessibility(this, PageControl1);
    ConnectHandlers();
    FormCreate();
    FocusFirstControl(PageControl1, PageControl1->currentIndex());
}

TMainForm::~TMainForm() = default;

void TMainForm::BuildPages() {
    PageControl1 = new PageControl(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(0, 0, kClientWidth, kClientHeight);
    const auto add = [this](auto& form, const char* caption) {
        auto* page = new QWidget;
        form.setupUi(page);
        PageControl1->AddPage(page, QString::fromUtf8(caption));
    };
    add(panel, "Панель");
    add(text, "Текст");
    add(reception, "Прием");
    add(competition, "Соревнование");
    add(files, "Файлы");
    add(textOptions, "Опции текста");
    add(blank, "");
    add(parameters, "Параметры");
    add(configuration, " Настройка ");
    PageControl1->setCurrentIndex(kPanelPage);
}

void TMainForm::PrepareControls() {
    TrainTimer = new QTimer(this);
    TrainTimer->setObjectName(QStringLiteral("TrainTimer"));
    TrainTimer->setInterval(200); // [ms]
    CreatePlayers();

    // The filters read the same in every language.
    OpenDialogText.filter = OwnText(Say::TextOpenFilter);
    SaveDialogText.filter = OwnText(Say::TextSaveFilter);
    SaveDialogText.defaultExt = QStringLiteral("txt");
    SaveDialogText.overwritePrompt = true;
    OpenDialogNoise.filter = OwnText(Say::NoiseOpenFilter);

    StyleMemos({text.MemoText, reception.InputMemo, reception.CheckList, competition.MemoProtokol},
               {textOptions.MemoSelectedSymbols});
    scoreView_ = std::make_unique<AlignedScoreView>(reception.LabelAligned);
    textOptions.MemoSelectedSymbols->viewport()->installEventFilter(this);
    textOptions.MemoSelectedSymbols->setContextMenuPolicy(Qt::CustomContextMenu);

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
    PageControl1->SetChangingHandler(
        [this](QObject* sender, bool& allowChange) { PageControl1Changing(sender, allowChange); });

    // Step buttons: one handler shape for all of them.
    for (const StepPair& pair : StepPairs()) {
        const IntSetting id = pair.id;
        auto* up = findChild<StepButton*>(QLatin1String(pair.up));
        auto* down = findChild<StepButton*>(QLatin1String(pair.down));
        Q_ASSERT(up && down);
        connect(up, &QToolButton::clicked, this, [this, id] { StepButtonClick(id, true); });
        connect(down, &QToolButton::clicked, this, [this, id] { StepButtonClick(id, false); });
    }
    connect(textOptions.AllSymbols, &QRadioButton::toggled, this, &TMainForm::SymbolSetClick);
    connect(textOptions.SelectedSymbols, &QRadioButton::toggled, this, &TMainForm::SymbolSetClick);
    connect(textOptions.MemoSelectedSymbols, &QWidget::customContextMenuRequested, this,
            &TMainForm::FillSelectedSymbolsMenu);
    connect(configuration.Button36, &QPushButton::clicked, this, &TMainForm::Button36Click);
    connect(configuration.Button39, &QPushButton::clicked, this, &TMainForm::Button39Click);
    connect(configuration.Button40, &QPushButton::clicked, this, &TMainForm::Button40Click);
    connect(configuration.Button41, &QPushButton::clicked, this, &TMainForm::Button41Click);
    // A noise file name typed in: decoded ahead of Run when it is the current noise type's.
    for (QLineEdit* noiseFile :
         {configuration.NoiseFile1, configuration.NoiseFile2, configuration.NoiseFile3, configuration.NoiseFile4}) {
        connect(noiseFile, &QLineEdit::editingFinished, this, [this, noiseFile] {
            if (noiseFile == CurrentNoiseEdit())
                PreloadNoise();
        });
    }
    connect(panel.TrackBar2, &QSlider::valueChanged, this, &TMainForm::TrackBar2Change);
    connect(panel.TrackBar3, &QSlider::valueChanged, this, &TMainForm::TrackBar3Change);

    // Text page.
    connect(text.ButtonOpen, &QPushButton::clicked, this, &TMainForm::ButtonOpenClick);
    connect(text.ButtonSave, &QPushButton::clicked, this, &TMainForm::ButtonSaveClick);
    connect(text.ButtonClear, &QPushButton::clicked, this, &TMainForm::ButtonClearClick);

    // Transmission cycle: the same Run and Stop on three pages.
    for (QPushButton* run : {panel.ButtonRun, text.Button53, reception.ButtonRun1})
        connect(run, &QPushButton::clicked, this, &TMainForm::ButtonRunClick);
    for (QPushButton* stop : {panel.ButtonStop, text.Button54, reception.ButtonStop1})
        connect(stop, &QPushButton::clicked, this, &TMainForm::ButtonStopClick);
    connect(TrainTimer, &QTimer::timeout, this, &TMainForm::TrainTimerTimer);

    // Reception check.
    connect(reception.ButtonCheckText, &QPushButton::clicked, this, &TMainForm::ButtonCheckTextClick);
    connect(reception.Button51, &QPushButton::clicked, this, &TMainForm::Button51Click);
    connect(reception.Button55, &QPushButton::clicked, this, &TMainForm::Button55Click);
    connect(reception.ButtonProgress, &QPushButton::clicked, this, &TMainForm::ButtonProgressClick);
    for (QPushButton* trainer : {panel.ButtonTrainer, reception.ButtonTrainer2})
        connect(trainer, &QPushButton::clicked, this, &TMainForm::ButtonTrainerClick);

    // Competition.
    connect(competition.CompRun, &QPushButton::clicked, this, &TMainForm::CompRunClick);
    connect(competition.CompStop, &QPushButton::clicked, this, &TMainForm::CompStopClick);
    connect(competition.Button52, &QPushButton::clicked, this, &TMainForm::Button52Click);
    connect(competition.Button38, &QPushButton::clicked, this, &TMainForm::ButtonClearProtClick);

    // Batch export.
    connect(files.ButtonFormFiles, &QPushButton::clicked, this, &TMainForm::ButtonFormFilesClick);
    connect(files.Button37, &QPushButton::clicked, this, &TMainForm::Button37Click);

    // Languages: only the user's choice of an item, not a change made by the program.
    connect(configuration.LngComboBox, &QComboBox::activated, this, &TMainForm::LngComboBoxChange);
    // The voice: every change of the item, by mouse or keyboard.
    connect(configuration.VoiceComboBox, &QComboBox::currentIndexChanged, this, &TMainForm::VoiceComboBoxChange);
    // The window scale: taken at the next start, so the choice is only kept.
    connect(configuration.WindowScaleComboBox, &QComboBox::currentIndexChanged, this,
            [this](int index) { windowScale_ = configuration.WindowScaleComboBox->itemData(index).toInt(); });
    connect(configuration.ButtonBandConditions, &QPushButton::clicked, this, &TMainForm::ButtonBandConditionsClick);
}

// --- Window creation and closing ------------------------------------------------------------

void TMainForm::FormCreate() {
    competitionRunning_ = false;
    FillTables();
    ListLanguageFiles();
    LoadSettings();
    PreloadNoise();
    RestoreLanguage();
    CaptureOutputLevels();
}

void TMainForm::FillTables() {
    // The current caption table starts as a copy of the built-in English one.
    currentCaptions_ = EnglishCaptions();
    morse_.InitMorseTable();
    morse_.LoadMorseOverrides(QFile::encodeName(QDir::current().filePath(QStringLiteral("Morse.txt"))).toStdString());
}

void TMainForm::CaptureOutputLevels() {
    capturedMidiVolume_ = levels_->GetMidiVolume();
    capturedWaveVolume_ = levels_->GetWaveVolume();
    // Through the sliders' change path, so both channels then carry the captured level.
    const auto take = [](QSlider* slider, std::uint32_t word, auto change) {
        const int level = LowLevel(word);
        if (slider->value() == level)
            change(level);
        else
            slider->setValue(level);
    };
    take(panel.TrackBar2, capturedMidiVolume_, [this](int level) { TrackBar2Change(level); });
    take(panel.TrackBar3, capturedWaveVolume_, [this](int level) { TrackBar3Change(level); });
}

void TMainForm::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void TMainForm::FormClose() {
    RemoveTempMidi();
    SaveSettings();
    RestoreOutputLevels();
}

void TMainForm::RestoreOutputLevels() {
    levels_->SetMidiVolume(LowLevel(capturedMidiVolume_));
    levels_->SetWaveVolume(LowLevel(capturedWaveVolume_));
}

void TMainForm::showEvent(QShowEvent* event) {
    if (!centred_) {
        centred_ = true;
        if (const QScreen* s = screen()) {
            const QRect area = s->availableGeometry();
            move(area.center() - QPoint(width() / 2, height() / 2));
        }
    }
    QWidget::showEvent(event);
}

// --- Window-level rules ---------------------------------------------------------------------

void TMainForm::PageControl1Changing(QObject*, bool& allowChange) {
    if (competitionRunning_)
        allowChange = false;
}

void TMainForm::RaiseRequest() {
    if (isMinimized())
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
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
