// The help, version-information and home-page commands of the main window.
#include "dialogs/help_commands.h"

#include <wx/utils.h>

#include "base/file_system.h"
#include "base/tools.h"
#include "dialogs/about_dialog.h"
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

bool OpenHelpFile(wxWindow* owner, std::string_view programFolder, const DesktopOpener& open) {
  const std::string target = HelpFilePath(programFolder);
  // The desktop launcher starts its helper even for a missing file, so the file is looked at
  // here: a missing help file is reported, not handed on.
  if (base::FileExists(target) && !base::IsDirectory(target) && open(target)) return true;
  ShowMessageBox(owner, resources::HelpMissingMessage(target));
  return false;
}

void OnHelp(wxWindow* owner) {
  OpenHelpFile(owner, base::GetModuleFolder("rendora"), LaunchDocument);
}

void OnAbout(wxWindow* owner) {
  AboutDialog dialog(owner);
  dialog.ShowModal();
}

void OnHomePage(wxWindow*) {
  const std::string_view address = resources::kHomePageAddress;
  wxLaunchDefaultBrowser(wxString::FromUTF8(address.data(), address.size()));
}

}  // namespace dialogs
