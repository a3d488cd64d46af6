// The help, version-information and home-page commands of the main window.
#include "dialogs/help_commands.h"

#include <wx/utils.h>

#include "base/file_system.h"
#include "base/tools.h"
#include "dialogs/about_dialog.h"
#include "dialogs/help_viewer.h"
#include "dialogs/message_box.h"
#include "resources/texts.h"

namespace dialogs {
namespace {

// The desktop's default application for a local file.
bool LaunchDocument(const std::string& cp932Path) {
  const auto native = base::ToNativePath(cp932Path);
  if (!native) return false;
  const std::string name = native->string();
  return wxLaunchDefaultApplication(wxString::FromUTF8(name.data(), name.size()));
}

}  // namespace

std::string HelpFilePath(std::string_view programFolder) {
  return std::string(programFolder) + "help" + base::kPathSeparator + "Rendora.chm";
}

std::string HelpFolder(std::string_view programFolder) {
  return std::string(programFolder) + "help" + base::kPathSeparator;
}

bool OpenHelpFile(wxWindow* owner, std::string_view programFolder, const DesktopOpener& open) {
  const std::string target = HelpFilePath(programFolder);
  // The desktop launcher starts its helper even for a missing file, so the file is looked at
  // here: a missing help file is reported, not handed on.
  if (!base::FileExists(target) || base::IsDirectory(target)) {
    ShowMessageBox(owner, resources::HelpMissingMessage(target));
    return false;
  }
  if (open(target)) return true;
  ShowMessageBox(owner, resources::HelpNoViewerMessage(target));
  return false;
}

bool ShowHelpViewer(wxWindow* owner, std::string_view programFolder, const std::string& page) {
  const std::string folder = HelpFolder(programFolder);
  if (!base::FileExists(folder + page) || !base::FileExists(folder + "Rendora.hhc")) return false;
  auto* viewer = new HelpViewer(owner, folder, page);
  if (!viewer->View()) {
    viewer->Destroy();
    return false;
  }
  // A window of its own beside the main window; closing it ends it.
  viewer->Bind(wxEVT_CLOSE_WINDOW, [viewer](wxCloseEvent&) { viewer->Destroy(); });
  viewer->Show();
  return true;
}

void OnHelp(wxWindow* owner) {
  const std::string folder = base::GetProgramFolder();
  OpenHelpFile(owner, folder, [&](const std::string& target) {
    return ShowHelpViewer(owner, folder) || LaunchDocument(target);
  });
}

void OnAbout(wxWindow* owner) {
  AboutDialog dialog(owner);
  dialog.ShowModal();
}

void OnHomePage(wxWindow* owner) {
  const std::string folder = base::GetProgramFolder();
  if (!ShowHelpViewer(owner, folder)) {
    ShowMessageBox(owner, resources::HelpMissingMessage(HelpFolder(folder) + "index.htm"));
  }
}

}  // namespace dialogs
