// The settings-file commands of the main window: New, Open, Save and Save As.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "settings/settings_record.h"

namespace settings {

// Modes of the settings file chooser.
inline constexpr int kChooseNew = 0;       // a name for a new file ("create it?" when missing)
inline constexpr int kChooseExisting = 1;  // opens in the folder of the initial path

// Shows the settings file chooser and gives the accepted full path, or "" when cancelled. The
// window side implements it on a file dialog (restoring the current folder); tests record.
using SettingsFileChooser = std::function<std::string(int mode, const std::string& initialPath)>;

// True when the file name of `path` (the part after its last '/') is "set.ini" in any letter
// case: the pointer file's name can never be a settings file.
bool IsReservedSettingsName(std::string_view path);

class SettingsCommands {
 public:
  SettingsCommands(SettingsRecord& record, SettingsFileChooser chooser);

  // New: a chosen name becomes SettingsPath and the record is reset; nothing is written.
  void OnSettingsNew();
  // Open: a chosen file becomes SettingsPath and is loaded.
  void OnSettingsOpen();
  // Save: saves to SettingsPath and confirms with "…を保存しました" when the save succeeded.
  void OnSettingsSave();
  // Save As: a chosen file becomes SettingsPath and the record is saved to it.
  void OnSettingsSaveAs();

 private:
  // The chosen path; "" when cancelled or refused (the refusal shows its message).
  std::string ChooseSettingsPath(int mode);

  SettingsRecord& m_record;
  SettingsFileChooser m_chooser;
};

}  // namespace settings
