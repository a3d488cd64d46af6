// The program's entry point: the application object runs the main window.
#include "app/converter_app.h"

wxIMPLEMENT_APP(ConverterApp);
