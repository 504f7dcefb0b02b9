#pragma once
// The value cells of the pages: the digits, names and numbers the step buttons change, drawn
// from the transmission settings.
#include "control/caption_table.h"
#include "shell/window_pages.h"
#include "synthesis/transmission_settings.h"

namespace qlor {

// The pages that hold value cells.
struct SettingCellPages {
    Ui::PanelPage& panel;
    Ui::ParametersPage& parameters;
    Ui::ConfigurationPage& configuration;
    Ui::FilesPage& files;
};

// Redraws every cell from `settings`. The text and noise types show their English short names, or
// with `captions` the names of that table; the text type's cell is black for the full alphabet
// (`allSymbols`) and red for the selected symbols.
void ShowSettingCells(const SettingCellPages& pages, const TransmissionSettings& settings, bool allSymbols,
                      const CaptionTable* captions);

} // namespace qlor
