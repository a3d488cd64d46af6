// The main window: source and output paths, per-page options, the browser control, the status
// line, the menu and the toolbar.
#include "app/main_dialog.h"

#include "dialogs/wx_text.h"

MainDialog::MainDialog()
    : wxFrame(nullptr, wxID_ANY, dialogs::WxText(resources::TextId::kMainTitle)) {}
