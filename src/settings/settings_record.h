// The settings record's operations: defaults, loading from and saving to a settings file, and the
// start-up choice of that file through the pointer file beside the program.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "net/connection_options.h"
#include "settings/fields.h"
#include "settings/output_settings.h"
#include "settings/profile_file.h"
#include "settings/resume_options.h"
#include "settings/settings_keys.h"

namespace settings {

// The pointer file in the program folder, naming the settings file used last (key "INI").
inline constexpr std::string_view kPointerFileName = "set.ini";
inline constexpr std::string_view kPointerKey = "INI";
// The settings file of a first start, in the program folder.
inline constexpr std::string_view kDefaultSettingsName = "Corvane.ini";

// Works on the record where it lives: the fields in the window controls, the filter lists and
// their switches in the main window. Holds the program folder (where set.ini and the first-run
// settings file live: base::SettingsFolder, the user's config folder for an installed program)
// and the current settings file's path (both code-page-932 paths with '/' separators; the folder
// ends in '/'). A save creates the program folder when it does not exist yet.
class SettingsRecord {
 public:
  // `profile` is the file access used for every read and write; it must outlive the record.
  SettingsRecord(OptionControls& controls, FilterLists& lists, const ProfileFile& profile);
  // The same on real profile files.
  SettingsRecord(OptionControls& controls, FilterLists& lists);

  SettingsRecord(const SettingsRecord&) = delete;
  SettingsRecord& operator=(const SettingsRecord&) = delete;

  const std::string& ProgramFolder() const { return m_programFolder; }
  void SetProgramFolder(std::string folder) { m_programFolder = std::move(folder); }
  const std::string& SettingsPath() const { return m_settingsPath; }
  void SetSettingsPath(std::string path) { m_settingsPath = std::move(path); }
  // ProgramFolder + "set.ini".
  std::string PointerFilePath() const;

  OptionControls& Controls() { return m_controls; }
  // The pictures' format, quality and split: loaded, reset and saved with the other keys.
  OutputSettings& Output() { return m_output; }
  const OutputSettings& Output() const { return m_output; }
  // The connection options: no window control holds them; the record does, for the window's
  // "接続設定" dialog and its crawls. Reset to their defaults, loaded and saved with the rest.
  net::ConnectionOptions& Connection() { return m_connection; }
  // The options that keep a run from doing its work twice; no window control holds them.
  const ResumeOptions& Resume() const { return m_resume; }
  ResumeOptions& Resume() { return m_resume; }
  void SetResume(ResumeOptions options) { m_resume = std::move(options); }

  // Every field to its default; empties the status line; disables the placeholder rows.
  void ResetSettings();
  // Reads the file at SettingsPath into the record. Missing files and keys give their "missing"
  // values; always true.
  bool LoadSettings();
  // Writes INI = SettingsPath into the pointer file, then every field to SettingsPath. A failed
  // write shows its message; a failure up to Percent stops the save and gives false, a later one
  // lets it go on with the next key.
  bool SaveSettings();
  // At start-up (ProgramFolder set): loads the file named by the pointer file, or resets the
  // record and takes ProgramFolder + "Corvane.ini" when it names none.
  void LoadStartupSettings();

 private:
  // Writes one key from the record; false when its write failed.
  bool SaveKey(const KeyFile& file, Key key, const std::function<void(std::string_view)>& failed);

  OptionControls& m_controls;
  FilterLists& m_lists;
  ProfileFile m_ownProfile;
  const ProfileFile& m_profile;
  std::string m_programFolder;
  std::string m_settingsPath;
  OutputSettings m_output;
  net::ConnectionOptions m_connection;
  ResumeOptions m_resume;
};

}  // namespace settings
