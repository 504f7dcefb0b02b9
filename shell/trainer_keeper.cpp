#include "shell/trainer_keeper.h"

#include "shell/trainer_window.h"
#include "shell/window_look.h"

namespace qlor {

void TrainerKeeper::Open(QWidget* parent, const std::function<TrainerContext()>& makeContext) {
    if (!window_) {
        window_ = new TrainerWindow(makeContext(), parent);
        window_->SetTexts(texts_);
        window_->ApplySettings(settings_);
    }
    BringForward(window_);
}

void TrainerKeeper::SetTexts(const ProgramTextTable& texts) {
    texts_ = texts;
    if (window_)
        window_->SetTexts(texts);
}

TrainerSettings TrainerKeeper::Settings() const {
    return window_ ? window_->CollectSettings() : settings_;
}

void TrainerKeeper::ApplySettings(const TrainerSettings& values) {
    settings_ = values;
    if (window_)
        window_->ApplySettings(values);
}

} // namespace qlor
