#pragma once
// The window's page forms in one block, seen only by the window's own sources and its helpers.
#include "shell/main_form.h"

#include "shell/classic_audio_port.h"

#include "ui_blankpage.h"
#include "ui_competitionpage.h"
#include "ui_configurationpage.h"
#include "ui_filespage.h"
#include "ui_panelpage.h"
#include "ui_parameterspage.h"
#include "ui_receptionpage.h"
#include "ui_textoptionspage.h"
#include "ui_textpage.h"

namespace qlor {

struct MainFormPages {
    Ui::PanelPage panel;
    Ui::TextPage text;
    Ui::ReceptionPage reception;
    Ui::CompetitionPage competition;
    Ui::FilesPage files;
    Ui::TextOptionsPage textOptions;
    Ui::BlankPage blank;
    Ui::ParametersPage parameters;
    Ui::ConfigurationPage configuration;
};

} // namespace qlor
