#pragma once
// The trainer window as the main window keeps it: created at its first opening, kept while the
// program runs; until then its stored settings and the language's texts are kept here.
#include "control/program_texts.h"
#include "control/trainer_settings.h"

#include <functional>

class QWidget;

namespace qlor {

class TrainerWindow;
struct TrainerContext;

class TrainerKeeper {
public:
    // Creates the window at the first call, a child of `parent` with the context `makeContext`
    // gives, then shows it in front.
    void Open(QWidget* parent, const std::function<TrainerContext()>& makeContext);
    // The texts of the language shown, now and at the window's creation.
    void SetTexts(const ProgramTextTable& texts);
    // The window's settings, or those kept while it has not been opened.
    TrainerSettings Settings() const;
    void ApplySettings(const TrainerSettings& values);

private:
    TrainerWindow* window_ = nullptr; // owned by its parent
    TrainerSettings settings_;
    ProgramTextTable texts_; // English until a language is applied
};

} // namespace qlor
