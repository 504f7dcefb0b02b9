#pragma once
// The main window's pages put into their page control, and its controls connected to the
// handlers named after the control and the event.
namespace qlor {

class PageControl;
class TMainForm;
struct MainFormPages;

// The page control over the whole client area, with the nine pages in tab order and the panel
// page shown.
PageControl* BuildPageControl(TMainForm* window, MainFormPages& pages);

// Connects the controls of every page, the page control and the train timer to the window's
// public handlers.
void ConnectPageHandlers(TMainForm* window, const MainFormPages& pages);

} // namespace qlor
