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
  // --- the pictures' format, quality and split (output dialog) ---
  kFormat,        // Format: the picture format's name
  kQuality,       // Quality: 1-100
  kSplitHeight,   // SplitHeight: 0 for one picture a page
  kSplitOverlap,  // SplitOverlap
  // --- end of the pictures' keys ---
  // What is asked of every page (convert::PageOptions); read at Start, never saved by the window.
  kSelector,      // Selector: the picture shows the first element it matches
  kPadding,       // Padding: pixels around that element
  kHideList,      // HideCount, Hide1, ...: elements made invisible, keeping their space
  kRemoveList,    // RemoveCount, Remove1, ...: elements taken out of the layout
  kStyle,         // Style: the user's style sheet (long: "@FILE")
  kScript,        // Script: the user's script, run before the capture (long: "@FILE")
  kNoJavaScript,  // NoJavaScript: the page's own scripts do not run
  kConfine,       // Confine: a local page reads files under the source folder only
  kNoNetwork,     // NoNetwork: a local page loads nothing from the network
  kReportHtml,    // ReportHtml: the report to look at that a run writes (the window's and run's)
  // The connection options ("接続設定"), kept by the window's save:
  kUserAgent,    // UserAgent: replaces every request's agent name; empty: each keeps its own
  kReferer,      // Referer: empty (none), "auto" (the linking page) or an address
  kHeaders,      // HeaderCount, Header1, Header2, ...: extra request header lines
  kLoadCookies,  // LoadCookies: a cookies.txt read at the start of a crawl
  kSaveCookies,  // SaveCookies: where a crawl's cookies are written at its end
  kProxy,        // Proxy: empty: the environment's
  kDelay,        // Delay: seconds between requests to one server
  kRandomDelay,  // RandomDelay: the pause drawn between half and one and a half times Delay
  kLimitRate,    // LimitRate: bytes per second ("200k"); 0: no limit
  kTries,        // Tries: tries of one request
  kRetryWait,    // RetryWait: seconds after the first failed try, doubled after each
  kRobots,       // Robots: robots.txt keeps addresses out and sets the pause
  kPerServer,    // PerServer: downloads under way at once per server
  // Nothing done twice, kept by the window's save:
  kNoClobber,  // NoClobber: an output that exists and is not empty is kept
  kContinue,   // Continue: a broken download keeps its part and is continued next time
  kStateFile,  // StateFile: the crawl journal that makes a crawl resumable; empty: none
  kCount_
};

// The most pixels the Padding key and --padding take: more than any picture shows.
inline constexpr int kMaxPadding = 100000;

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
