// The window-bound tools: control texts, event pumping, the folder browser and the settings
// file dialog. The text, path and folder tools that need no window live in base/.
#include "app/app_tools.h"

#include <wx/dirdlg.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>
#include <wx/textctrl.h>

#include "browser/event_pump.h"
#include "base/file_system.h"
#include "base/tools.h"
#include "dialogs/wx_text.h"

namespace {

AppTools::FolderChooser& FolderChooserHook() {
  static AppTools::FolderChooser hook;
  return hook;
}

AppTools::FileChooser& FileChooserHook() {
  static AppTools::FileChooser hook;
  return hook;
}

// Puts the process's current directory back when the dialog is done, whatever it did.
class CurrentDirectoryKeeper {
 public:
  CurrentDirectoryKeeper() : m_folder(base::GetCurrentDirectory()) {}
  ~CurrentDirectoryKeeper() {
    if (!m_folder.empty()) base::SetCurrentDirectory(m_folder);
  }
  CurrentDirectoryKeeper(const CurrentDirectoryKeeper&) = delete;
  CurrentDirectoryKeeper& operator=(const CurrentDirectoryKeeper&) = delete;

 private:
  std::string m_folder;
};

// "desc|pattern|desc|pattern||" as the framework's wildcard "desc|pattern|...", without the
// empty pieces of the closing "||" and the empty patterns after a trailing ';'.
wxString ToWildcard(const std::string& filterText) {
  wxString wildcard;
  std::string piece;
  std::vector<std::string> pieces;
  for (char c : filterText) {
    if (c == '|') {
      pieces.push_back(piece);
      piece.clear();
    } else {
      piece += c;
    }
  }
  pieces.push_back(piece);
  for (std::size_t i = 0; i + 1 < pieces.size(); i += 2) {
    if (pieces[i].empty()) break;
    std::string pattern = pieces[i + 1];
    while (!pattern.empty() && pattern.back() == ';') pattern.pop_back();
    if (!wildcard.empty()) wildcard += '|';
    wildcard += dialogs::ToWx(pieces[i]) + '|' + dialogs::ToWx(pattern);
  }
  return wildcard;
}

}  // namespace

std::string AppTools::GetControlText(const wxWindow* window) const {
  if (const auto* edit = dynamic_cast<const wxTextCtrl*>(window)) {
    return dialogs::GetEditText(edit);
  }
  return window ? dialogs::FromWx(window->GetLabel()) : std::string();
}

void AppTools::PumpMessages() const { browser::PumpPendingEvents(); }

void AppTools::BrowseForFolder(wxTextCtrl* edit) const {
  CurrentDirectoryKeeper keeper;
  std::string chosen;
  if (FolderChooserHook()) {
    chosen = FolderChooserHook()();
  } else {
    wxDirDialog dialog(edit ? wxGetTopLevelParent(edit) : nullptr, wxEmptyString, wxEmptyString,
                       wxDD_DEFAULT_STYLE);
    if (dialog.ShowModal() == wxID_OK) chosen = dialogs::FromWx(dialog.GetPath());
  }
  if (!chosen.empty() && edit) {
    edit->SetValue(dialogs::ToWx(base::WithTrailingSeparator(chosen)));
  }
}

std::string AppTools::ChooseSettingsFile(wxWindow* owner, const std::string& initialPath,
                                         const std::string& filterText, int mode) const {
  if (mode != settings::kChooseNew && mode != settings::kChooseExisting) return {};
  CurrentDirectoryKeeper keeper;
  if (FileChooserHook()) return FileChooserHook()(mode, initialPath);

  wxString folder, name;
  if (mode == settings::kChooseNew) {
    name = dialogs::WxText(resources::TextId::kNewSettingsName);
  } else {
    std::string left, right;
    base::SplitAtLast(initialPath, left, right, base::kPathSeparator);
    folder = dialogs::ToWx(left);
    name = dialogs::ToWx(right);
  }
  wxFileDialog dialog(owner, wxEmptyString, folder, name, ToWildcard(filterText), wxFD_OPEN);
  for (;;) {
    if (dialog.ShowModal() != wxID_OK) return {};
    const std::string path = dialogs::FromWx(dialog.GetPath());
    if (mode == settings::kChooseExisting || base::FileExists(path)) return path;
    // Mode new: a file that does not exist yet is accepted only when the user agrees to it.
    wxMessageDialog ask(owner, dialogs::ToWx(resources::CreatePromptMessage(path)),
                        dialogs::WxText(resources::TextId::kAppName), wxYES_NO);
    if (ask.ShowModal() == wxID_YES) return path;
  }
}

void AppTools::SetFolderChooser(FolderChooser chooser) { FolderChooserHook() = std::move(chooser); }

void AppTools::SetFileChooser(FileChooser chooser) { FileChooserHook() = std::move(chooser); }
