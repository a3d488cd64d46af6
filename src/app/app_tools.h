// The window-bound tools: control texts, event pumping, the folder browser and the settings
// file dialog. The text, path and folder tools that need no window live in base/.
#pragma once

#include <functional>
#include <string>

#include "settings/settings_commands.h"

class wxWindow;
class wxTextCtrl;

class AppTools {
 public:
  virtual ~AppTools() = default;

  // The window's text in code page 932.
  std::string GetControlText(const wxWindow* window) const;

  // Dispatches every pending event and returns at once when none is waiting.
  void PumpMessages() const;

  // Lets the user choose a folder; the choice, with '/' appended, replaces the edit's text.
  // The process's current directory is the same afterwards.
  void BrowseForFolder(wxTextCtrl* edit) const;

  // Shows the settings file dialog (always the open form) and returns the accepted full path,
  // or "" when cancelled or for a mode other than settings::kChooseNew and kChooseExisting. Mode
  // new starts at "新規作成.ini" and asks before accepting a file that does not exist; mode
  // existing starts at `initialPath` and accepts any typed name. The current directory is restored
  // in every case.
  std::string ChooseSettingsFile(wxWindow* owner, const std::string& initialPath,
                                 const std::string& filterText, int mode) const;

  // Tests replace the two dialogs with recorders; an empty function restores the real dialog.
  using FolderChooser = std::function<std::string()>;
  using FileChooser = settings::SettingsFileChooser;
  static void SetFolderChooser(FolderChooser chooser);
  static void SetFileChooser(FileChooser chooser);
};
