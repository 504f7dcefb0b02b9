// The trainer window as the main window opens it: one window, kept while the program runs, with
// the code table, the voice, the history and the language of the main window.
#include "shell/main_form_pages.h"

#include "shell/date_time_text.h"
#include "shell/trainer_window.h"

#include <QDateTime>

namespace qlor {

void TMainForm::ButtonTrainerClick() {
    trainer_.Open(this, [this] {
        TrainerContext context;
        context.morse = morse_;
        context.voice = [this] { return CurrentVoice(); };
        context.voiceName = [this] { return configuration.VoiceComboBox->currentData().toString().toStdString(); };
        context.dialogs = dialogs_;
        context.history = History();
        context.dateTime = [] { return SystemDateTimeText(QDateTime::currentDateTime()); };
        return context;
    });
}

void TMainForm::ShowTrainerTexts() {
    for (QPushButton* button : {panel.ButtonTrainer, reception.ButtonTrainer2}) {
        button->setText(OwnText(Say::TrainerButton));
        button->setToolTip(OwnText(Say::TrainerButtonDesc));
    }
    trainer_.SetTexts(OwnTexts());
}

} // namespace qlor
