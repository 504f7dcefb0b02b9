#pragma once
// The stored values the window's controls hold: read from the page forms and put back into them,
// the sliders' ranges as the settings table gives them, and radio buttons set as they were kept.
#include "control/settings_store.h"
#include "shell/window_pages.h"

#include <array>

class QAbstractButton;
class QLineEdit;

namespace qlor {

// Sets a radio button's state; unlike QAbstractButton::setChecked it can also clear the checked
// button of a group, so that none of the pair is checked.
void SetRadioChecked(QAbstractButton* button, bool checked);

// The noise file boxes of the noise types 1..4, in that order.
std::array<QLineEdit*, 4> NoiseFileEdits(const Ui::ConfigurationPage& configuration);

// The tone slider and the two level sliders take the ranges of their settings' entries.
void TakeSettingRanges(Ui::PanelPage& panel, Ui::ConfigurationPage& configuration);

// The pages whose controls hold stored values.
struct StoredPages {
    Ui::TextOptionsPage& textOptions;
    Ui::ParametersPage& parameters;
    Ui::ConfigurationPage& configuration;
    Ui::FilesPage& files;
};

// The values the controls hold now, written into `values`; the window's own values (the
// transmission settings, language, window scale, band and trainer) are left as they are.
void CollectStoredControls(const StoredPages& pages, PersistedSettings& values);
// The reverse, in the store's read order, so that a stored pair of false/false radio buttons leaves
// neither checked. The voice item is chosen without its change signal; the window applies it.
void ApplyStoredControls(const StoredPages& pages, const PersistedSettings& values);

// The store itself, or for none a store without a key, so that reading it is a first start and
// writing it keeps nothing.
SettingsStore& StoreOrNone(SettingsStore* store);

} // namespace qlor
