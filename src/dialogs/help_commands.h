// The help, version-information and home-page commands of the main window.
#pragma once

#include <functional>
#include <string>
#include <string_view>

class wxWindow;

namespace dialogs {

// Opens a file or address with the desktop's default program; false when that failed.
using DesktopOpener = std::function<bool(const std::string& cp932Target)>;

// The help file of the program whose folder is `programFolder` (ending in '/'):
// programFolder + "help/Rendora.chm".
std::string HelpFilePath(std::string_view programFolder);

// Opens the help file below `programFolder` with `open`. When the file is missing or cannot be
// opened, shows "HELPファイルがありません。 パス=" followed by the exact path tried, and
// returns false.
bool OpenHelpFile(wxWindow* owner, std::string_view programFolder, const DesktopOpener& open);

// Help: the help file beside the running program (its folder computed afresh on every call),
// opened with the desktop's default application.
void OnHelp(wxWindow* owner);
// Version information: the about box, modal.
void OnAbout(wxWindow* owner);
// Home page: resources::kHomePageAddress in the desktop's web browser; failures are silent.
void OnHomePage(wxWindow* owner);

}  // namespace dialogs
