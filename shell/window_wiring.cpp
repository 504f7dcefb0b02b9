#include "shell/window_wiring.h"

#include "shell/main_form_pages.h"
#include "shell/panel_map.h"
#include "shell/panel_widgets.h"

namespace qlor {

PageControl* BuildPageControl(TMainForm* window, MainFormPages& pages) {
    auto* control = new PageControl(window);
    control->setObjectName(QStringLiteral("PageControl1"));
    control->setGeometry(0, 0, kClientWidth, kClientHeight);
    const auto add = [control](auto& form, const char* caption) {
        auto* page = new QWidget;
        form.setupUi(page);
        control->AddPage(page, QString::fromUtf8(caption));
    };
    add(pages.panel, "Панель");
    add(pages.text, "Текст");
    add(pages.reception, "Прием");
    add(pages.competition, "Соревнование");
    add(pages.files, "Файлы");
    add(pages.textOptions, "Опции текста");
    add(pages.blank, "");
    add(pages.parameters, "Параметры");
    add(pages.configuration, " Настройка ");
    control->setCurrentIndex(kPanelPage);
    return control;
}

void ConnectPageHandlers(TMainForm* w, const MainFormPages& pages) {
    w->PageControl1->SetChangingHandler(
        [w](QObject* sender, bool& allowChange) { w->PageControl1Changing(sender, allowChange); });

    // Step buttons: one handler shape for all of them.
    for (const StepPair& pair : StepPairs()) {
        const IntSetting id = pair.id;
        auto* up = w->findChild<StepButton*>(QLatin1String(pair.up));
        auto* down = w->findChild<StepButton*>(QLatin1String(pair.down));
        Q_ASSERT(up && down);
        QObject::connect(up, &QToolButton::clicked, w, [w, id] { w->StepButtonClick(id, true); });
        QObject::connect(down, &QToolButton::clicked, w, [w, id] { w->StepButtonClick(id, false); });
    }
    const auto& panel = pages.panel;
    const auto& textOptions = pages.textOptions;
    const auto& configuration = pages.configuration;
    QObject::connect(textOptions.AllSymbols, &QRadioButton::toggled, w, &TMainForm::SymbolSetClick);
    QObject::connect(textOptions.SelectedSymbols, &QRadioButton::toggled, w, &TMainForm::SymbolSetClick);
    QObject::connect(configuration.Button36, &QPushButton::clicked, w, &TMainForm::Button36Click);
    QObject::connect(configuration.Button39, &QPushButton::clicked, w, &TMainForm::Button39Click);
    QObject::connect(configuration.Button40, &QPushButton::clicked, w, &TMainForm::Button40Click);
    QObject::connect(configuration.Button41, &QPushButton::clicked, w, &TMainForm::Button41Click);
    QObject::connect(panel.TrackBar2, &QSlider::valueChanged, w, &TMainForm::TrackBar2Change);
    QObject::connect(panel.TrackBar3, &QSlider::valueChanged, w, &TMainForm::TrackBar3Change);

    // Text page.
    const auto& text = pages.text;
    QObject::connect(text.ButtonOpen, &QPushButton::clicked, w, &TMainForm::ButtonOpenClick);
    QObject::connect(text.ButtonSave, &QPushButton::clicked, w, &TMainForm::ButtonSaveClick);
    QObject::connect(text.ButtonClear, &QPushButton::clicked, w, &TMainForm::ButtonClearClick);

    // Transmission cycle: the same Run and Stop on three pages.
    const auto& reception = pages.reception;
    for (QPushButton* run : {panel.ButtonRun, text.Button53, reception.ButtonRun1})
        QObject::connect(run, &QPushButton::clicked, w, &TMainForm::ButtonRunClick);
    for (QPushButton* stop : {panel.ButtonStop, text.Button54, reception.ButtonStop1})
        QObject::connect(stop, &QPushButton::clicked, w, &TMainForm::ButtonStopClick);
    QObject::connect(w->TrainTimer, &QTimer::timeout, w, &TMainForm::TrainTimerTimer);

    // Reception check.
    QObject::connect(reception.ButtonCheckText, &QPushButton::clicked, w, &TMainForm::ButtonCheckTextClick);
    QObject::connect(reception.Button51, &QPushButton::clicked, w, &TMainForm::Button51Click);
    QObject::connect(reception.Button55, &QPushButton::clicked, w, &TMainForm::Button55Click);
    QObject::connect(reception.ButtonProgress, &QPushButton::clicked, w, &TMainForm::ButtonProgressClick);
    for (QPushButton* trainer : {panel.ButtonTrainer, reception.ButtonTrainer2})
        QObject::connect(trainer, &QPushButton::clicked, w, &TMainForm::ButtonTrainerClick);

    // Competition.
    const auto& competition = pages.competition;
    QObject::connect(competition.CompRun, &QPushButton::clicked, w, &TMainForm::CompRunClick);
    QObject::connect(competition.CompStop, &QPushButton::clicked, w, &TMainForm::CompStopClick);
    QObject::connect(competition.Button52, &QPushButton::clicked, w, &TMainForm::Button52Click);
    QObject::connect(competition.Button38, &QPushButton::clicked, w, &TMainForm::ButtonClearProtClick);

    // Batch export.
    QObject::connect(pages.files.ButtonFormFiles, &QPushButton::clicked, w, &TMainForm::ButtonFormFilesClick);
    QObject::connect(pages.files.Button37, &QPushButton::clicked, w, &TMainForm::Button37Click);

    // Languages: only the user's choice of an item, not a change made by the program.
    QObject::connect(configuration.LngComboBox, &QComboBox::activated, w, &TMainForm::LngComboBoxChange);
    // The voice: every change of the item, by mouse or keyboard.
    QObject::connect(configuration.VoiceComboBox, &QComboBox::currentIndexChanged, w, &TMainForm::VoiceComboBoxChange);
    QObject::connect(configuration.ButtonBandConditions, &QPushButton::clicked, w,
                     &TMainForm::ButtonBandConditionsClick);
}

} // namespace qlor
