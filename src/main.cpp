// The program's entry point: without arguments the application object runs the main window;
// with arguments the command line runs the job they name, without a window.
#include <wx/app.h>

#include "app/converter_app.h"
#include "cli/command_main.h"

wxIMPLEMENT_APP_NO_MAIN(ConverterApp);

int main(int argc, char** argv) {
  if (argc > 1) return cli::RunCommandLine(argc, argv);
  return wxEntry(argc, argv);
}
