// The one table of settings keys and the reads and writes of a settings file by it.
#include "settings/settings_keys.h"

#include <array>
#include <charconv>
#include <climits>
#include <cstddef>
#include <iterator>
#include <map>
#include <optional>

#include "base/file_system.h"
#include "base/text.h"
#include "base/tools.h"
#include "settings/output_settings.h"

namespace settings {
namespace {

using resources::TextId;

constexpr TextId kSection = TextId::kSettingsSection;

constexpr KeyDefinition Text(Field field, std::string_view name, std::string_view reset,
                             std::string_view missing = "") {
  return {KeyOf(field), kSection, name, "", Rule::kText, reset, missing};
}

constexpr KeyDefinition Switch(Key key, std::string_view name, Rule rule, std::string_view reset,
                               std::string_view missing) {
  return {key, kSection, name, "", rule, reset, missing};
}

constexpr KeyDefinition OnSwitch(Field field, std::string_view name, std::string_view reset) {
  return Switch(KeyOf(field), name, Rule::kSwitchOn, reset, "off");
}

constexpr KeyDefinition KeyText(Key key, std::string_view name, std::string_view reset) {
  return {key, kSection, name, "", Rule::kText, reset, reset};
}

constexpr KeyDefinition List(Key key, std::string_view countName, std::string_view entryName) {
  return {key, kSection, countName, entryName, Rule::kNumberedList, "0", "0"};
}

// A key of what is asked of every page: none of it when missing, and never saved by the window
// (the window has no control for it).
constexpr KeyDefinition PageKey(Key key, std::string_view name, std::string_view entryName,
                                Rule rule, std::string_view none) {
  return {key, kSection, name, entryName, rule, none, none, 0, 0, false};
}

// Entry i is the key i. The window's rules as they have always read: LinkCount is "500" when
// missing, ANOTHERURL is on unless stored as "off", Sub is on for any number but 0.
constexpr KeyDefinition kKeys[] = {
    Text(Field::kReadPath, "ReadPath", "/"),
    Text(Field::kWritePath, "WritePath", "/"),
    Text(Field::kSize, "Size", "800"),
    Text(Field::kWait, "Wait", "10"),
    Text(Field::kPercent, "Percent", "100"),
    Switch(KeyOf(Field::kSub), "Sub", Rule::kSwitchNumber, "1", "0"),
    Text(Field::kCount, "Count", "1000"),
    Text(Field::kLinkCount, "LinkCount", "500", "500"),
    Switch(KeyOf(Field::kAnotherUrl), "ANOTHERURL", Rule::kSwitchNotOff, "off", "on"),
    OnSwitch(Field::kServer, "Server", "on"),
    OnSwitch(Field::kSame, "SAME", "off"),
    OnSwitch(Field::kFilter, "FILTER", "off"),
    OnSwitch(Field::kCgi1, "Cgi1", "off"),
    OnSwitch(Field::kCgi2, "Cgi2", "off"),
    OnSwitch(Field::kCgi3, "Cgi3", "off"),
    OnSwitch(Field::kCgi4, "Cgi4", "off"),
    OnSwitch(Field::kCgi5, "Cgi5", "off"),
    OnSwitch(Field::kCgi6, "Cgi6", "off"),
    Text(Field::kFrom1, "From1", ""),
    Text(Field::kFrom2, "From2", ""),
    Text(Field::kFrom3, "From3", ""),
    Text(Field::kFrom4, "From4", ""),
    Text(Field::kFrom5, "From5", ""),
    Text(Field::kFrom6, "From6", ""),
    Text(Field::kTo1, "To1", ""),
    Text(Field::kTo2, "To2", ""),
    Text(Field::kTo3, "To3", ""),
    Text(Field::kTo4, "To4", ""),
    Text(Field::kTo5, "To5", ""),
    Text(Field::kTo6, "To6", ""),
    Text(Field::kStep1, "Step1", ""),
    Text(Field::kStep2, "Step2", ""),
    Text(Field::kStep3, "Step3", ""),
    Text(Field::kStep4, "Step4", ""),
    Text(Field::kStep5, "Step5", ""),
    Text(Field::kStep6, "Step6", ""),
    Switch(Key::kEnable, "ENABLE", Rule::kSwitchOn, "off", "off"),
    Switch(Key::kDisable, "DISABLE", Rule::kSwitchOn, "on", "off"),
    List(Key::kEnableList, "EnableListCount", "EnableURL"),
    List(Key::kDisableList, "DisableListCount", "DisableURL"),
    {Key::kUntilLoaded, kSection, "UntilLoaded", "", Rule::kSwitchOnOrOne, "off", "off", 0, 0,
     false},
    {Key::kFormat, kSection, "Format", "", Rule::kText, "bmp", "bmp"},
    {Key::kQuality, kSection, "Quality", "", Rule::kInteger, "85", "85", 1, 100},
    {Key::kSplitHeight, kSection, "SplitHeight", "", Rule::kInteger, "0", "0", 0, kLargestSplit},
    {Key::kSplitOverlap, kSection, "SplitOverlap", "", Rule::kInteger, "0", "0", 0, kLargestSplit},
    PageKey(Key::kSelector, "Selector", "", Rule::kText, ""),
    {Key::kPadding, kSection, "Padding", "", Rule::kInteger, "0", "0", 0, kMaxPadding, false},
    PageKey(Key::kHideList, "HideCount", "Hide", Rule::kNumberedList, "0"),
    PageKey(Key::kRemoveList, "RemoveCount", "Remove", Rule::kNumberedList, "0"),
    PageKey(Key::kStyle, "Style", "", Rule::kLongText, ""),
    PageKey(Key::kScript, "Script", "", Rule::kLongText, ""),
    PageKey(Key::kNoJavaScript, "NoJavaScript", "", Rule::kSwitchOnOrOne, "off"),
    PageKey(Key::kConfine, "Confine", "", Rule::kSwitchOnOrOne, "off"),
    PageKey(Key::kNoNetwork, "NoNetwork", "", Rule::kSwitchOnOrOne, "off"),
    {Key::kReportHtml, kSection, "ReportHtml", "", Rule::kText, "", "", 0, 0, false},
    // The connection options: at their reset values a crawl sends what it always sent.
    KeyText(Key::kUserAgent, "UserAgent", ""),
    KeyText(Key::kReferer, "Referer", ""),
    List(Key::kHeaders, "HeaderCount", "Header"),
    KeyText(Key::kLoadCookies, "LoadCookies", ""),
    KeyText(Key::kSaveCookies, "SaveCookies", ""),
    KeyText(Key::kProxy, "Proxy", ""),
    KeyText(Key::kDelay, "Delay", "0"),
    Switch(Key::kRandomDelay, "RandomDelay", Rule::kSwitchOn, "off", "off"),
    KeyText(Key::kLimitRate, "LimitRate", "0"),
    {Key::kTries, kSection, "Tries", "", Rule::kInteger, "1", "1", 1, 100},
    KeyText(Key::kRetryWait, "RetryWait", "1"),
    Switch(Key::kRobots, "Robots", Rule::kSwitchOn, "off", "off"),
    {Key::kPerServer, kSection, "PerServer", "", Rule::kInteger, "1", "1", 1, 16},
    // Nothing done twice: at their reset values every run does all its work again, as always.
    Switch(Key::kNoClobber, "NoClobber", Rule::kSwitchOn, "off", "off"),
    Switch(Key::kContinue, "Continue", Rule::kSwitchOn, "off", "off"),
    {Key::kStateFile, kSection, "StateFile", "", Rule::kText, "", ""},
};

// The build stops unless every key has exactly one entry and entry i is the key i, so a key name
// can never be read for another field.
constexpr bool EveryKeyInItsPlace() {
  for (std::size_t i = 0; i < std::size(kKeys); ++i) {
    if (kKeys[i].key != static_cast<Key>(i)) return false;
  }
  return std::size(kKeys) == static_cast<std::size_t>(Key::kCount_);
}
static_assert(EveryKeyInItsPlace(), "kKeys holds one entry per Key, in the order of Key");

constexpr std::size_t CountSaved() {
  std::size_t count = 0;
  for (const KeyDefinition& definition : kKeys) count += definition.windowSaves ? 1 : 0;
  return count;
}

// A first save's order: the fields before the placeholder rows, each row's Cgi, From, To and
// Step together, then the other keys the window keeps, in table order.
constexpr auto kSaveOrder = [] {
  std::array<Key, CountSaved()> order{};
  std::size_t next = 0;
  for (int i = 0; i < static_cast<int>(Field::kCgi1); ++i) order[next++] = static_cast<Key>(i);
  for (int row = 0; row < kPlaceholderRows; ++row) {
    for (const Field first : {Field::kCgi1, Field::kFrom1, Field::kTo1, Field::kStep1}) {
      order[next++] = static_cast<Key>(static_cast<int>(first) + row);
    }
  }
  for (const KeyDefinition& definition : kKeys) {
    if (definition.key > Key::kLastField && definition.windowSaves) order[next++] = definition.key;
  }
  return order;
}();

constexpr bool SavesEveryWindowKeyOnce() {
  for (const KeyDefinition& definition : kKeys) {
    int seen = 0;
    for (const Key key : kSaveOrder) seen += key == definition.key ? 1 : 0;
    if (seen != (definition.windowSaves ? 1 : 0)) return false;
  }
  return true;
}
static_assert(SavesEveryWindowKeyOnce(), "the save writes every key the window keeps once");

std::optional<int> WholeNumber(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// n when `key` is `entryName` followed by the decimal number n >= 1 (no leading zero), in any
// letter case: exactly the keys that a read of entryName + std::to_string(n) finds.
std::optional<int> EntryNumber(std::string_view key, std::string_view entryName) {
  if (key.size() <= entryName.size() || key.size() > entryName.size() + 10) return std::nullopt;
  if (!base::StartsWithIgnoringCase(key, entryName)) return std::nullopt;
  const std::string_view digits = key.substr(entryName.size());
  if (digits.front() == '0') return std::nullopt;
  long long number = 0;
  for (const char digit : digits) {
    if (digit < '0' || digit > '9') return std::nullopt;
    number = number * 10 + (digit - '0');
  }
  if (number > INT_MAX) return std::nullopt;
  return static_cast<int>(number);
}

// The folder part of a code-page-932 path, ending in its separator ("" for a bare name).
std::string FolderOf(std::string_view path) {
  const int slash = base::ReverseFindChar(path, base::kPathSeparator);
  return slash < 0 ? std::string() : std::string(path.substr(0, slash + 1));
}

// A text that one line holds and that cannot be taken for a file reference.
bool FitsOneLine(std::string_view text) {
  return text.size() < static_cast<std::size_t>(kValueBufferSize) &&
         text.find_first_of("\r\n") == std::string_view::npos && !text.starts_with('@');
}

}  // namespace

const KeyDefinition& DefinitionOf(Key key) { return kKeys[static_cast<std::size_t>(key)]; }

std::span<const KeyDefinition> AllKeys() { return kKeys; }

std::span<const Key> SavedKeys() { return kSaveOrder; }

bool FieldOf(Key key, Field& field) {
  if (key > Key::kLastField) return false;
  field = static_cast<Field>(static_cast<int>(key));
  return true;
}

bool IsSwitchRule(Rule rule) {
  switch (rule) {
    case Rule::kSwitchOn:
    case Rule::kSwitchNotOff:
    case Rule::kSwitchNumber:
    case Rule::kSwitchOnOrOne: return true;
    case Rule::kText:
    case Rule::kLongText:
    case Rule::kInteger:
    case Rule::kNumberedList: return false;
  }
  return false;
}

bool SwitchValue(Rule rule, std::string_view stored) {
  switch (rule) {
    case Rule::kSwitchOn: return stored == "on";
    case Rule::kSwitchNotOff: return stored != "off";
    // Read as atoi reads: blanks, a sign and digits at the start; no number is 0.
    case Rule::kSwitchNumber: return base::ToInt(stored) != 0;
    case Rule::kSwitchOnOrOne: return stored == "on" || stored == "1";
    case Rule::kText:
    case Rule::kLongText:
    case Rule::kInteger:
    case Rule::kNumberedList: return false;
  }
  return false;
}

std::string_view StoredSwitch(Rule rule, bool on) {
  if (rule == Rule::kSwitchNumber) return on ? "1" : "0";
  return on ? "on" : "off";
}

KeyFile::KeyFile(const ProfileFile& profile, std::string path)
    : m_profile(profile), m_path(std::move(path)) {}

std::string KeyFile::Raw(std::string_view section, std::string_view name) const {
  std::string value;
  m_profile.GetPrivateProfileString(section, name, "", value, kValueBufferSize, m_path);
  return value;
}

std::string KeyFile::LongTextPath(const KeyDefinition& definition) const {
  return m_path.substr(FolderOf(m_path).size()) + "." + std::string(definition.name) + ".txt";
}

std::string KeyFile::Text(const KeyDefinition& definition) const {
  std::string value = Raw(resources::Text(definition.section), definition.name);
  if (value.empty()) return std::string(definition.missingValue);
  if (definition.rule != Rule::kLongText || !value.starts_with('@')) return value;
  std::string file = value.substr(1);
  if (!file.starts_with(base::kPathSeparator)) file = FolderOf(m_path) + file;
  return base::ReadWholeFile(file).value_or(std::string(definition.missingValue));
}

bool KeyFile::Switch(const KeyDefinition& definition) const {
  const std::string value = Raw(resources::Text(definition.section), definition.name);
  return SwitchValue(definition.rule,
                     value.empty() ? definition.missingValue : std::string_view(value));
}

int KeyFile::Integer(const KeyDefinition& definition) const {
  const std::optional<int> value =
      WholeNumber(Raw(resources::Text(definition.section), definition.name));
  if (value && *value >= definition.minimum && *value <= definition.maximum) return *value;
  return WholeNumber(definition.missingValue).value_or(definition.minimum);
}

std::vector<std::string> KeyFile::List(const KeyDefinition& definition) const {
  // The section is read once rather than once per number, since a stored count can be any size;
  // entries numbered above the count (left-overs of a longer list) are never taken.
  const std::string section = resources::Text(definition.section);
  const int count = base::ToInt(Raw(section, definition.name));
  std::vector<std::string> list;
  if (count <= 0) return list;
  std::map<int, std::string> entries;
  for (ProfileEntry& entry : m_profile.GetPrivateProfileSection(section, m_path)) {
    const std::optional<int> number = EntryNumber(entry.key, definition.entryName);
    // The first line of a key is the one a read finds.
    if (number && *number <= count) entries.try_emplace(*number, std::move(entry.value));
  }
  for (auto& [number, value] : entries) {
    if (value.empty()) continue;
    const auto longest = static_cast<std::size_t>(kValueBufferSize - 1);
    if (value.size() > longest) value.resize(longest);
    list.push_back(std::move(value));
  }
  return list;
}

bool KeyFile::Write(const KeyDefinition& definition, std::string_view name,
                    std::string_view value) const {
  return m_profile.WritePrivateProfileString(resources::Text(definition.section), name, value,
                                             m_path);
}

bool KeyFile::WriteText(const KeyDefinition& definition, std::string_view text) const {
  if (definition.rule != Rule::kLongText || FitsOneLine(text))
    return Write(definition, definition.name, text);
  // The text goes to a file beside the settings file, named after both; the key names it.
  const std::string file = LongTextPath(definition);
  if (!base::WriteFileAtomically(FolderOf(m_path) + file, text)) return false;
  return Write(definition, definition.name, "@" + file);
}

bool KeyFile::WriteSwitch(const KeyDefinition& definition, bool on) const {
  return Write(definition, definition.name, StoredSwitch(definition.rule, on));
}

bool KeyFile::WriteInteger(const KeyDefinition& definition, int value) const {
  return Write(definition, definition.name, std::to_string(value));
}

void KeyFile::WriteList(const KeyDefinition& definition, const std::vector<std::string>& list,
                        const std::function<void(std::string_view)>& failed) const {
  if (!Write(definition, definition.name, std::to_string(list.size()))) failed(definition.name);
  for (std::size_t i = 0; i < list.size(); ++i) {
    const std::string name = std::string(definition.entryName) + std::to_string(i + 1);
    if (!Write(definition, name, list[i])) failed(name);
  }
}

}  // namespace settings
