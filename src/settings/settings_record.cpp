// The settings record's operations: defaults, loading from and saving to a settings file, and the
// start-up choice of that file through the pointer file beside the program.
#include "settings/settings_record.h"

#include <climits>

#include "base/file_system.h"
#include "base/text.h"
#include "base/tools.h"
#include "settings/connection_keys.h"
#include "resources/texts.h"

namespace settings {
namespace {

using resources::Text;
using resources::TextId;

// The pointer file's INI value is a path: read it with the platform's path length.
constexpr int kPathBufferSize = PATH_MAX;

// The first keys of a save: a failure among them stops the save, with its own message.
struct LeadingKey {
  Key key;
  TextId failure;
};
constexpr LeadingKey kLeadingKeys[] = {
    {KeyOf(Field::kReadPath), TextId::kReadPathWriteFailed},
    {KeyOf(Field::kWritePath), TextId::kWritePathWriteFailed},
    {KeyOf(Field::kSize), TextId::kSizeWriteFailed},
    {KeyOf(Field::kWait), TextId::kWaitWriteFailed},
    {KeyOf(Field::kPercent), TextId::kPercentWriteFailed},
};

const LeadingKey* LeadingOf(Key key) {
  for (const LeadingKey& leading : kLeadingKeys) {
    if (leading.key == key) return &leading;
  }
  return nullptr;
}

// A field's control set from a value as stored.
void SetField(OptionControls& controls, Field field, std::string_view stored) {
  const Rule rule = DefinitionOf(field).rule;
  if (IsSwitchRule(rule)) {
    controls.SetOptionChecked(field, SwitchValue(rule, stored));
  } else {
    controls.SetOptionText(field, std::string(stored));
  }
}

}  // namespace

SettingsRecord::SettingsRecord(OptionControls& controls, FilterLists& lists,
                               const ProfileFile& profile)
    : m_controls(controls), m_lists(lists), m_profile(profile) {}

SettingsRecord::SettingsRecord(OptionControls& controls, FilterLists& lists)
    : m_controls(controls), m_lists(lists), m_profile(m_ownProfile) {}

std::string SettingsRecord::PointerFilePath() const {
  return m_programFolder + std::string(kPointerFileName);
}

void SettingsRecord::ResetSettings() {
  Field field{};
  for (const KeyDefinition& definition : AllKeys()) {
    if (FieldOf(definition.key, field)) SetField(m_controls, field, definition.resetValue);
  }
  m_controls.SetStatusText("");
  for (int row = 1; row <= kPlaceholderRows; ++row) m_controls.UpdatePlaceholderRow(row);
  m_lists.m_disableList.clear();
  m_lists.m_enableList.clear();
  m_lists.m_enable =
      SwitchValue(DefinitionOf(Key::kEnable).rule, DefinitionOf(Key::kEnable).resetValue);
  m_lists.m_disable =
      SwitchValue(DefinitionOf(Key::kDisable).rule, DefinitionOf(Key::kDisable).resetValue);
  m_output = OutputSettings{std::string(DefinitionOf(Key::kFormat).resetValue),
                            base::ToInt(DefinitionOf(Key::kQuality).resetValue),
                            base::ToInt(DefinitionOf(Key::kSplitHeight).resetValue),
                            base::ToInt(DefinitionOf(Key::kSplitOverlap).resetValue)};
  m_connection = {};
  m_resume = {};
}

bool SettingsRecord::LoadSettings() {
  ResetSettings();
  const KeyFile file(m_profile, m_settingsPath);
  Field field{};
  for (const KeyDefinition& definition : AllKeys()) {
    if (!FieldOf(definition.key, field)) continue;
    if (IsSwitchRule(definition.rule)) {
      m_controls.SetOptionChecked(field, file.Switch(definition));
    } else {
      m_controls.SetOptionText(field, file.Text(definition));
    }
  }
  for (int row = 1; row <= kPlaceholderRows; ++row) m_controls.UpdatePlaceholderRow(row);
  m_lists.m_enable = file.Switch(DefinitionOf(Key::kEnable));
  m_lists.m_disable = file.Switch(DefinitionOf(Key::kDisable));
  m_lists.m_enableList = file.List(DefinitionOf(Key::kEnableList));
  m_lists.m_disableList = file.List(DefinitionOf(Key::kDisableList));
  m_output = OutputSettings{file.Text(DefinitionOf(Key::kFormat)),
                            file.Integer(DefinitionOf(Key::kQuality)),
                            file.Integer(DefinitionOf(Key::kSplitHeight)),
                            file.Integer(DefinitionOf(Key::kSplitOverlap))};
  m_connection = ReadConnection(file);
  m_resume = ReadResumeOptions(file);
  return true;
}

bool SettingsRecord::SaveSettings() {
  // The user's config folder of an installed program is made by its first save.
  if (!m_programFolder.empty() && !base::IsDirectory(m_programFolder)) {
    base::CreateFolderPath(m_programFolder);
  }
  if (!m_profile.WritePrivateProfileString(Text(TextId::kSettingsSection), kPointerKey,
                                           m_settingsPath, PointerFilePath())) {
    m_controls.ShowMessage(Text(TextId::kPointerWriteFailed));
    return false;
  }
  const KeyFile file(m_profile, m_settingsPath);
  const auto failed = [this](std::string_view key) {
    m_controls.ShowMessage(resources::WriteFailedMessage(key));
  };
  // A failure among the leading keys stops the save; from there on a failed key is reported
  // and the save goes on with the next one.
  for (const Key key : SavedKeys()) {
    if (!SaveKey(file, key, failed)) {
      const LeadingKey* leading = LeadingOf(key);
      if (leading) {
        m_controls.ShowMessage(Text(leading->failure));
        return false;
      }
      if (key == KeyOf(Field::kSub)) {
        m_controls.ShowMessage(Text(TextId::kSubWriteFailed));
      } else {
        failed(DefinitionOf(key).name);
      }
    }
  }
  return true;
}

bool SettingsRecord::SaveKey(const KeyFile& file, Key key,
                             const std::function<void(std::string_view)>& failed) {
  const KeyDefinition& definition = DefinitionOf(key);
  Field field{};
  if (FieldOf(key, field)) {
    return IsSwitchRule(definition.rule)
               ? file.WriteSwitch(definition, m_controls.IsOptionChecked(field))
               : file.WriteText(definition, m_controls.GetOptionText(field));
  }
  switch (key) {
    case Key::kEnable: return file.WriteSwitch(definition, m_lists.m_enable);
    case Key::kDisable: return file.WriteSwitch(definition, m_lists.m_disable);
    // A list reports each failed key itself.
    case Key::kEnableList: file.WriteList(definition, m_lists.m_enableList, failed); return true;
    case Key::kDisableList: file.WriteList(definition, m_lists.m_disableList, failed); return true;
    case Key::kFormat: return file.WriteText(definition, m_output.m_format);
    case Key::kQuality: return file.WriteInteger(definition, m_output.m_quality);
    case Key::kSplitHeight: return file.WriteInteger(definition, m_output.m_splitHeight);
    case Key::kSplitOverlap: return file.WriteInteger(definition, m_output.m_splitOverlap);
    // Keys the window does not keep are never saved by it.
    case Key::kLastField:
    case Key::kUntilLoaded:
    case Key::kSelector:
    case Key::kPadding:
    case Key::kHideList:
    case Key::kRemoveList:
    case Key::kStyle:
    case Key::kScript:
    case Key::kNoJavaScript:
    case Key::kConfine:
    case Key::kNoNetwork:
    case Key::kReportHtml:
    case Key::kCount_: return true;
    case Key::kUserAgent:
    case Key::kReferer:
    case Key::kHeaders:
    case Key::kLoadCookies:
    case Key::kSaveCookies:
    case Key::kProxy:
    case Key::kDelay:
    case Key::kRandomDelay:
    case Key::kLimitRate:
    case Key::kTries:
    case Key::kRetryWait:
    case Key::kRobots:
    case Key::kPerServer: return WriteConnectionKey(file, key, m_connection, failed);
    case Key::kNoClobber:
    case Key::kContinue:
    case Key::kStateFile: return WriteResumeKey(file, key, m_resume);
  }
  return true;
}

void SettingsRecord::LoadStartupSettings() {
  std::string named;
  m_profile.GetPrivateProfileString(Text(TextId::kSettingsSection), kPointerKey, "", named,
                                    kPathBufferSize, PointerFilePath());
  if (!named.empty()) {
    m_settingsPath = std::move(named);
    LoadSettings();
  } else {
    ResetSettings();
    m_settingsPath = m_programFolder + std::string(kDefaultSettingsName);
  }
}

}  // namespace settings
