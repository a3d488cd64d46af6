// The application object: runs the main window and ends when it closes.
#pragma once

#include <wx/app.h>

class ConverterApp : public wxApp {
 public:
  bool OnInit() override;
};

wxDECLARE_APP(ConverterApp);
