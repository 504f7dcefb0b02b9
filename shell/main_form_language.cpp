// Interface languages: the language list of the configuration page, the captions and hints of a
// language written into the window, and the choice of a language by the operator.
#include "shell/main_form_pages.h"

#include "shell/band_dialog.h"
#include "shell/caption_feeds.h"
#include "shell/choice_lists.h"
#include "shell/memo_text.h"
#include "shell/qt_program_text.h"
#include "shell/window_accessibility.h"
#include "shell/window_captions.h"

namespace qlor {

int TMainForm::LanguagePosition() const {
    return configuration.LngComboBox->currentIndex();
}

QString TMainForm::OwnText(Say id) const {
    return QProgramText(id, shownTexts_);
}

QString TMainForm::CaptionEntry(int entry) const {
    return FromCp1251(currentCaptions_.Text(entry));
}

void TMainForm::ApplyLanguage(int position) {
    const CaptionTable& table = TableForPosition(position, currentCaptions_);
    shownTexts_ = position == 0 ? ProgramTextTable::English() : currentTexts_;
    WriteCaptions(this, PageControl1, table);
    ShowVoiceChoiceTexts(configuration.VoiceLabel, configuration.VoiceComboBox, OwnTexts());
    ShowWindowScaleTexts(configuration.WindowScaleLabel, configuration.WindowScaleComboBox, OwnTexts());
    ShowExportAudioTexts(files.ExportAudio, files.ExportAudioFormat, OwnTexts());
    configuration.ButtonBandConditions->setText(OwnText(Say::BandButton));
    configuration.ButtonBandConditions->setToolTip(OwnText(Say::BandButtonHint));
    band_->ShowTexts(OwnTexts());
    RefreshNoiseSnrHint(false);
    ShowHistoryTexts();
    ShowTrainerTexts();
    ApplyAccessibleTexts(this, PageControl1, OwnTexts());
    IndicatorRefresh();
}

void TMainForm::LngComboBoxChange(int index) {
    // Works at any time, also while a transmission plays: only captions and cells change.
    const LanguageChoice choice =
        ChooseListedLanguage(configuration.LngComboBox, index, currentCaptions_, &currentTexts_);
    switch (choice.action) {
    case LanguageAction::ApplyEnglish:
        // A position below 1, or a language whose file has gone: English texts, while the list
        // keeps the chosen item.
        ApplyLanguage(0);
        break;
    case LanguageAction::ApplyCurrent:
        ApplyLanguage(index);
        break;
    case LanguageAction::ReportError:
        // The window keeps the texts it shows.
        dialogs_->ShowError(this, QString::fromStdString(choice.error));
        break;
    }
}

} // namespace qlor
