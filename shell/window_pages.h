#pragma once
// The main window's fixed frame: its titles, its client area and its nine pages in tab order,
// each page a form generated from shell/forms/*.ui.

// The page forms; only the window's own sources and its helpers see their contents.
namespace Ui {
class PanelPage;
class TextPage;
class ReceptionPage;
class CompetitionPage;
class FilesPage;
class TextOptionsPage;
class BlankPage;
class ParametersPage;
class ConfigurationPage;
} // namespace Ui

namespace qlor {

// Title of the application (the task-bar text) and the window's caption, the product's full title.
inline constexpr char kApplicationTitle[] = "QLOR - 2000";
inline constexpr char kFullTitle[] = "Morse code receiving trainer QLOR - 2000";

// Client area of the window [px].
inline constexpr int kClientWidth = 492;
inline constexpr int kClientHeight = 274;

// The positions of the pages in PageControl1, in the order of their tabs.
enum PageIndex : int {
    kPanelPage,
    kTextPage,
    kReceptionPage,
    kCompetitionPage,
    kFilesPage,
    kTextOptionsPage,
    kBlankPage,
    kParametersPage,
    kConfigurationPage,
};

} // namespace qlor
