// The settings-file commands of the main window: New, Open, Save and Save As.
#include "settings/settings_commands.h"

#include <utility>

#include "base/text.h"
#include "base/tools.h"
#include "resources/texts.h"

namespace settings {

bool IsReservedSettingsName(std::string_view path) {
  // Only ASCII letters match their other case, so a double-byte name can never be "set.ini".
  std::string folder;
  std::string name;
  base::SplitAtLast(path, folder, name, base::kPathSeparator);
  return base::EqualsIgnoringCase(name, kPointerFileName);
}

SettingsCommands::SettingsCommands(SettingsRecord& record, SettingsFileChooser chooser)
    : m_record(record), m_chooser(std::move(chooser)) {}

void SettingsCommands::OnSettingsNew() {
  std::string path = ChooseSettingsPath(kChooseNew);
  if (path.empty()) return;
  m_record.SetSettingsPath(std::move(path));
  m_record.ResetSettings();
}

void SettingsCommands::OnSettingsOpen() {
  std::string path = ChooseSettingsPath(kChooseExisting);
  if (path.empty()) return;
  m_record.SetSettingsPath(std::move(path));
  m_record.LoadSettings();
}

void SettingsCommands::OnSettingsSave() {
  if (m_record.SaveSettings()) {
    m_record.Controls().ShowMessage(resources::SavedMessage(m_record.SettingsPath()));
  }
}

void SettingsCommands::OnSettingsSaveAs() {
  std::string path = ChooseSettingsPath(kChooseExisting);
  if (path.empty()) return;
  m_record.SetSettingsPath(std::move(path));
  m_record.SaveSettings();
}

std::string SettingsCommands::ChooseSettingsPath(int mode) {
  if (!m_chooser) return {};
  std::string path = m_chooser(mode, m_record.SettingsPath());
  if (IsReservedSettingsName(path)) {
    m_record.Controls().ShowMessage(resources::ReservedNameMessage());
    return {};
  }
  return path;
}

}  // namespace settings
