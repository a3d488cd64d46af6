// The one table of settings keys: for each key its section, name, reset value, value when missing
// or empty and parse rule, and the reads and writes of one settings file by that table.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "resources/texts.h"
#include "settings/fields.h"
#include "settings/profile_file.h"

namespace settings {

// A value read back holds at most this many bytes minus one: one line of at most 999 bytes.
inline constexpr int kValueBufferSize = 1000;

inline constexpr int kFieldCount = static_cast<int>(Field::kStep6) + 1;

// Every key of the settings file. The window's fields come first, in the order of Field, so that
// a field and its key convert one to one (KeyOf); the keys no window control holds follow.
enum class Key {
  kLastField = kFieldCount - 1,
  kEnable,       // ENABLE: the enable list is in use
  kDisable,      // DISABLE: the disable list is in use
  kEnableList,   // EnableListCount, EnableURL1, EnableURL2, ...
  kDisableList,  // DisableListCount, DisableURL1, ...
  kUntilLoaded,  // UntilLoaded: page waits end when the page is ready (run of the command line)
  // Nothing done twice, kept by the window's save:
  kNoClobber,  // NoClobber: an output that exists and is not empty is kept
  kContinue,   // Continue: a broken download keeps its part and is continued next time
  kStateFile,  // StateFile: the crawl journal that makes a crawl resumable; empty: none
  kCount_
};

constexpr Key KeyOf(Field field) { return static_cast<Key>(static_cast<int>(field)); }

// How a stored value reads. A value is one line of at most 999 bytes.
enum class Rule {
  kText,           // a text kept as typed
  kLongText,       // a text; "@FILE" names a file that holds a text too long for one line
  kInteger,        // a whole number within [minimum, maximum]; anything else reads as missing
  kSwitchOn,       // a switch, on only when stored exactly as "on"; saved "on" or "off"
  kSwitchNotOff,   // a switch, on unless stored exactly as "off"; saved "on" or "off"
  kSwitchNumber,   // a switch, on when the number at its start is not 0; saved "1" or "0"
  kSwitchOnOrOne,  // a switch, on when stored as "on" or "1"; saved "on" or "off"
  kNumberedList,   // a count key, then entries name + "1" .. name + count
};

struct KeyDefinition {
  Key key;
  resources::TextId section;
  std::string_view name;       // for a list, its count key
  std::string_view entryName;  // for a list, the stem of its numbered keys
  Rule rule;
  std::string_view resetValue;    // as stored: what a reset ("new") gives
  std::string_view missingValue;  // as stored: what a missing or empty key reads as
  int minimum = 0;                // kInteger only
  int maximum = 0;
  bool windowSaves = true;  // the window's save writes it (false: read by the command line only)
};

const KeyDefinition& DefinitionOf(Key key);
inline const KeyDefinition& DefinitionOf(Field field) { return DefinitionOf(KeyOf(field)); }
std::span<const KeyDefinition> AllKeys();
// The keys the window's save writes, in the order they appear in a first save's file.
std::span<const Key> SavedKeys();
// The field a key holds, or false when no window control holds it.
bool FieldOf(Key key, Field& field);

bool IsSwitchRule(Rule rule);
// A switch's state from its stored text (the missing value stands in for an empty one).
bool SwitchValue(Rule rule, std::string_view stored);
std::string_view StoredSwitch(Rule rule, bool on);

// Reads and writes the keys of one settings file (code-page-932 path) as the table says.
class KeyFile {
 public:
  KeyFile(const ProfileFile& profile, std::string path);

  // A text key's value; a missing or empty key gives the missing value. A long text "@FILE"
  // gives the content of FILE (relative to the settings file's folder).
  std::string Text(const KeyDefinition& definition) const;
  bool Switch(const KeyDefinition& definition) const;
  int Integer(const KeyDefinition& definition) const;
  // Entries 1 to the stored count in number order; missing or empty entries are skipped.
  std::vector<std::string> List(const KeyDefinition& definition) const;

  // Each write gives false when the profile file refused it.
  bool WriteText(const KeyDefinition& definition, std::string_view text) const;
  bool WriteSwitch(const KeyDefinition& definition, bool on) const;
  bool WriteInteger(const KeyDefinition& definition, int value) const;
  // The count, then each entry; `failed` hears the name of every key whose write failed.
  void WriteList(const KeyDefinition& definition, const std::vector<std::string>& list,
                 const std::function<void(std::string_view)>& failed) const;

 private:
  std::string Raw(std::string_view section, std::string_view name) const;
  bool Write(const KeyDefinition& definition, std::string_view name, std::string_view value) const;
  std::string LongTextPath(const KeyDefinition& definition) const;

  const ProfileFile& m_profile;
  std::string m_path;
};

}  // namespace settings
