// The settings record's operations: defaults, loading from and saving to a settings file, and the
// start-up choice of that file through the pointer file beside the program.
#include "settings/settings_record.h"

#include <climits>
#include <map>
#include <optional>

#include "base/text.h"
#include "resources/texts.h"

namespace settings {
namespace {

using resources::Text;
using resources::TextId;

constexpr std::string_view kOn = "on";
constexpr std::string_view kOff = "off";
constexpr std::string_view kEnableListCount = "EnableListCount";
constexpr std::string_view kEnableUrl = "EnableURL";
constexpr std::string_view kDisableListCount = "DisableListCount";
constexpr std::string_view kDisableUrl = "DisableURL";

// The pointer file's INI value is a path: read it with the platform's path length.
constexpr int kPathBufferSize = PATH_MAX;

// The local form of the root folder, the default source and output.
constexpr std::string_view kRootFolder = "/";

std::string_view OnOff(bool on) { return on ? kOn : kOff; }

// The first fields of a save: a failure among them stops the save, with its own message.
struct LeadingField {
  Field field;
  TextId failure;
};
constexpr LeadingField kLeadingFields[] = {
    {Field::kReadPath, TextId::kReadPathWriteFailed},
    {Field::kWritePath, TextId::kWritePathWriteFailed},
    {Field::kSize, TextId::kSizeWriteFailed},
    {Field::kWait, TextId::kWaitWriteFailed},
    {Field::kPercent, TextId::kPercentWriteFailed},
};

// n when `key` is `entryKey` followed by the decimal number n >= 1 (no leading zero), in any
// letter case: exactly the keys that a read of entryKey + std::to_string(n) finds.
std::optional<int> EntryNumber(std::string_view key, std::string_view entryKey) {
  if (key.size() <= entryKey.size() || key.size() > entryKey.size() + 10) return std::nullopt;
  if (!base::StartsWithIgnoringCase(key, entryKey)) return std::nullopt;
  const std::string_view digits = key.substr(entryKey.size());
  if (digits.front() == '0') return std::nullopt;
  long long number = 0;
  for (const char digit : digits) {
    if (digit < '0' || digit > '9') return std::nullopt;
    number = number * 10 + (digit - '0');
  }
  if (number > INT_MAX) return std::nullopt;
  return static_cast<int>(number);
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
  m_controls.SetOptionText(Field::kSize, "800");
  m_controls.SetOptionText(Field::kWait, "10");
  m_controls.SetOptionText(Field::kPercent, "100");
  m_controls.SetOptionText(Field::kWritePath, std::string(kRootFolder));
  m_controls.SetOptionText(Field::kReadPath, std::string(kRootFolder));
  m_controls.SetOptionChecked(Field::kSub, true);
  m_controls.SetStatusText("");
  m_controls.SetOptionText(Field::kCount, "1000");
  m_controls.SetOptionText(Field::kLinkCount, "500");
  m_controls.SetOptionChecked(Field::kAnotherUrl, false);
  m_controls.SetOptionChecked(Field::kSame, false);
  m_controls.SetOptionChecked(Field::kFilter, false);
  m_controls.SetOptionChecked(Field::kServer, true);
  for (int row = 1; row <= kPlaceholderRows; ++row) {
    m_controls.SetOptionText(ToField(row), "");
    m_controls.SetOptionText(FromField(row), "");
    m_controls.SetOptionText(StepField(row), "");
    m_controls.SetOptionChecked(CgiField(row), false);
    m_controls.UpdatePlaceholderRow(row);
  }
  m_lists.m_disableList.clear();
  m_lists.m_enableList.clear();
  m_lists.m_enable = false;
  m_lists.m_disable = true;
}

bool SettingsRecord::LoadSettings() {
  ResetSettings();
  for (const Field field :
       {Field::kReadPath, Field::kWritePath, Field::kSize, Field::kWait, Field::kPercent}) {
    m_controls.SetOptionText(field, Read(KeyName(field)));
  }
  // Any number but 0 is on; a missing, empty or non-numeric value reads as 0, off.
  m_controls.SetOptionChecked(Field::kSub, base::ToInt(Read(KeyName(Field::kSub))) != 0);
  m_controls.SetOptionText(Field::kCount, Read(KeyName(Field::kCount)));
  const std::string linkCount = Read(KeyName(Field::kLinkCount));
  m_controls.SetOptionText(Field::kLinkCount, linkCount.empty() ? "500" : linkCount);
  // ANOTHERURL is on unless stored exactly as "off"; the other switches are off unless stored
  // exactly as "on".
  m_controls.SetOptionChecked(Field::kAnotherUrl, Read(KeyName(Field::kAnotherUrl)) != kOff);
  for (const Field field : {Field::kServer, Field::kSame, Field::kFilter}) {
    m_controls.SetOptionChecked(field, Read(KeyName(field)) == kOn);
  }
  for (int row = 1; row <= kPlaceholderRows; ++row) {
    m_controls.SetOptionChecked(CgiField(row), Read(KeyName(CgiField(row))) == kOn);
    m_controls.UpdatePlaceholderRow(row);
    for (const Field field : {FromField(row), ToField(row), StepField(row)}) {
      m_controls.SetOptionText(field, Read(KeyName(field)));
    }
  }
  m_lists.m_enable = Read("ENABLE") == kOn;
  m_lists.m_disable = Read("DISABLE") == kOn;
  LoadList(kEnableListCount, kEnableUrl, m_lists.m_enableList);
  LoadList(kDisableListCount, kDisableUrl, m_lists.m_disableList);
  return true;
}

bool SettingsRecord::SaveSettings() {
  if (!m_profile.WritePrivateProfileString(Text(TextId::kSettingsSection), kPointerKey,
                                           m_settingsPath, PointerFilePath())) {
    m_controls.ShowMessage(Text(TextId::kPointerWriteFailed));
    return false;
  }
  for (const LeadingField& leading : kLeadingFields) {
    if (!m_profile.WritePrivateProfileString(Text(TextId::kSettingsSection), KeyName(leading.field),
                                             m_controls.GetOptionText(leading.field),
                                             m_settingsPath)) {
      m_controls.ShowMessage(Text(leading.failure));
      return false;
    }
  }
  // From here on a failed key is reported and the save goes on with the next one.
  if (!m_profile.WritePrivateProfileString(Text(TextId::kSettingsSection), KeyName(Field::kSub),
                                           m_controls.IsOptionChecked(Field::kSub) ? "1" : "0",
                                           m_settingsPath)) {
    m_controls.ShowMessage(Text(TextId::kSubWriteFailed));
  }
  Write(KeyName(Field::kCount), m_controls.GetOptionText(Field::kCount));
  Write(KeyName(Field::kLinkCount), m_controls.GetOptionText(Field::kLinkCount));
  for (const Field field : {Field::kAnotherUrl, Field::kServer, Field::kSame, Field::kFilter}) {
    Write(KeyName(field), OnOff(m_controls.IsOptionChecked(field)));
  }
  for (int row = 1; row <= kPlaceholderRows; ++row) {
    Write(KeyName(CgiField(row)), OnOff(m_controls.IsOptionChecked(CgiField(row))));
    for (const Field field : {FromField(row), ToField(row), StepField(row)}) {
      Write(KeyName(field), m_controls.GetOptionText(field));
    }
  }
  Write("ENABLE", OnOff(m_lists.m_enable));
  Write("DISABLE", OnOff(m_lists.m_disable));
  SaveList(kEnableListCount, kEnableUrl, m_lists.m_enableList);
  SaveList(kDisableListCount, kDisableUrl, m_lists.m_disableList);
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

std::string SettingsRecord::Read(std::string_view key, int bufferSize) const {
  std::string value;
  m_profile.GetPrivateProfileString(Text(TextId::kSettingsSection), key, "", value, bufferSize,
                                    m_settingsPath);
  return value;
}

bool SettingsRecord::Write(std::string_view key, std::string_view value) {
  if (m_profile.WritePrivateProfileString(Text(TextId::kSettingsSection), key, value,
                                          m_settingsPath)) {
    return true;
  }
  m_controls.ShowMessage(resources::WriteFailedMessage(key));
  return false;
}

void SettingsRecord::LoadList(std::string_view countKey, std::string_view entryKey,
                              std::vector<std::string>& list) {
  // Entries 1 to the stored count, in number order; a missing or empty entry is skipped and
  // entries numbered above the count (left-overs of a longer list) are never taken. The section
  // is read once rather than once per number, since a stored count can be any size.
  const int count = base::ToInt(Read(countKey));
  if (count <= 0) return;
  std::map<int, std::string> entries;
  for (ProfileEntry& entry :
       m_profile.GetPrivateProfileSection(Text(TextId::kSettingsSection), m_settingsPath)) {
    const std::optional<int> number = EntryNumber(entry.key, entryKey);
    // The first line of a key is the one a read finds.
    if (number && *number <= count) entries.try_emplace(*number, std::move(entry.value));
  }
  for (auto& [number, value] : entries) {
    if (value.empty()) continue;
    const auto longest = static_cast<std::size_t>(kValueBufferSize - 1);
    if (value.size() > longest) value.resize(longest);
    list.push_back(std::move(value));
  }
}

void SettingsRecord::SaveList(std::string_view countKey, std::string_view entryKey,
                              const std::vector<std::string>& list) {
  Write(countKey, std::to_string(list.size()));
  for (std::size_t i = 0; i < list.size(); ++i) {
    Write(std::string(entryKey) + std::to_string(i + 1), list[i]);
  }
}

}  // namespace settings
