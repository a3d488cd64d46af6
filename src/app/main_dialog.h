// The main window: source and output paths, per-page options, the browser control, the status
// line, the menu and the toolbar.
#pragma once

#include <wx/frame.h>

class MainDialog : public wxFrame {
 public:
  MainDialog();
};
