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

// The folder of the help's HTML pages and contents, beside the help file: programFolder + "help/".
std::string HelpFolder(std::string_view programFolder);

// Opens the help file below `programFolder` with `open`. When the file is missing, shows
// "HELPファイルがありません。 パス=" followed by the exact path tried; when it is there but
// nothing could show it, says that instead, with the same path. False in both cases.
bool OpenHelpFile(wxWindow* owner, std::string_view programFolder, const DesktopOpener& open);

// Shows `page` of the help's HTML pages below `programFolder` in the program's own help viewer;
// false when those pages are not there.
bool ShowHelpViewer(wxWindow* owner, std::string_view programFolder,
                    const std::string& page = "index.htm");

// Help: the help file beside the running program (its folder computed afresh on every call),
// shown in the program's own help viewer, or else by the desktop's default application.
void OnHelp(wxWindow* owner);
// Version information: the about box, modal.
void OnAbout(wxWindow* owner);
// Home page: the help's top page in the program's own help viewer (the maker's address leads
// nowhere); when the help pages are missing, the help file's message.
void OnHomePage(wxWindow* owner);

}  // namespace dialogs
