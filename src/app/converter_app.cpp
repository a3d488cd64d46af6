// The application object: runs the main window and ends when it closes.
#include "app/converter_app.h"

#include "app/main_dialog.h"

bool ConverterApp::OnInit() {
  if (!wxApp::OnInit()) return false;
  auto* mainDialog = new MainDialog();
  SetTopWindow(mainDialog);
  mainDialog->Show();
  return true;
}
