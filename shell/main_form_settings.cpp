// The settings kept between runs: read from the store once while the window is created, written
// once when it closes. Also the choices of the signal's voice, of the window's scale and of the
// band conditions, which are kept with them.
#include "shell/main_form_pages.h"

#include "audio/audio_engine.h"
#include "shell/band_dialog.h"
#include "shell/choice_lists.h"
#include "shell/stored_controls.h"
#include "shell/window_look.h"

#include <algorithm>

namespace qlor {

PersistedSettings TMainForm::CollectSettings() const {
    PersistedSettings v;
    v.transmission = settings_;
    CollectStoredControls({textOptions, parameters, configuration, files}, v);
    v.language = LanguagePosition();
    v.windowScale = windowScale_;
    v.band = band_->Stored();
    v.trainer = trainer_.Settings();
    return v;
}

void TMainForm::ApplySettings(const PersistedSettings& v) {
    settings_ = v.transmission;
    ApplyStoredControls({textOptions, parameters, configuration, files}, v);
    // The voice goes to the audio engine at once, also when the item shown does not change.
    VoiceComboBoxChange(configuration.VoiceComboBox->currentIndex());
    windowScale_ = WindowScaleOrDesktop(v.windowScale);
    band_->SetStored(v.band);
    trainer_.ApplySettings(v.trainer);
}

void TMainForm::LoadSettings() {
    // The core reads the values in the store's order, takes the default set on the first failing
    // read, reads "Languige" on its own and brings every value into range, so nothing out of
    // range reaches the controls or the MIDI writer. Failures are silent: a first start simply
    // finds no settings, and a window without a store always starts that way.
    QComboBox* list = configuration.LngComboBox;
    const LoadOutcome outcome = LoadPersistedSettings(StoreOrNone(store_), list->count() - 1, CollectSettings());
    ApplySettings(outcome.values);
    // The saved language position; a negative one leaves no item selected. The language itself
    // is applied by the next step of window creation.
    const QSignalBlocker quiet(list);
    list->setCurrentIndex(std::max(outcome.values.language, -1));
}

void TMainForm::SaveSettings() {
    // All 46 values in their order; the store replaces its file as a whole when the key is
    // closed, so a failed write leaves the previous settings intact. A failure is shown, and the
    // closing goes on (the output levels are still restored). A window without a store keeps nothing.
    if (!store_)
        return;
    const SaveOutcome outcome = SavePersistedSettings(*store_, CollectSettings());
    if (!outcome.ok)
        dialogs_->ShowError(this, QString::fromStdString(outcome.error));
}

void TMainForm::VoiceComboBoxChange(int index) {
    // The engine reads the voice only when it opens a MIDI file, on this thread, so a change while
    // a transmission plays is safe: the sounding text keeps its voice, the next one takes the new.
    AudioEngine::Shared().SetVoice(ChosenVoice(configuration.VoiceComboBox, index));
}

// --- The band conditions --------------------------------------------------------------------

void TMainForm::ButtonBandConditionsClick() {
    BringForward(band_);
}

std::optional<BandSettings> TMainForm::CurrentBand() const {
    return band_->BandFor(TextNumber(settings_));
}

} // namespace qlor
