// The command line: which job to do and every option, read from the program's arguments.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "convert/run_state.h"
#include "resources/option_texts.h"
#include "net/connection_options.h"
#include "settings/fields.h"
#include "settings/resume_options.h"

namespace cli {

enum class CommandKind {
  kConvert,  // rendora convert SOURCE OUTPUT: the folder conversion
  kCrawl,    // rendora crawl TEMPLATE OUTPUT: the crawl of an address template
  kRun,      // rendora run [SETTINGS]: Start with every option of a settings file
  kHelp,     // --help
  kVersion,  // --version
};

// One placeholder row as --range a=FROM:TO:STEP gives it (texts as typed).
struct RangeOption {
  int row = 0;  // 1..6 for @a@..@f@
  bool inUse = true;
  std::string from, to, step;
};

// Pages rendered at once when --jobs is not given: three for each of the machine's cores, at
// most 12. A page spends most of its time waiting (for its load to settle, for the engine's own
// processes and the display), so on two cores the pages per second rise up to six at once and
// no further (measured with the page benchmark: 8.2 at three, 10.1 at four, 12.8 at six).
int DefaultJobs();

// Downloads under way at once per server when neither the arguments nor a settings file say.
inline constexpr int kDefaultPerServer = 2;

// The connection options the arguments give; each overrides the settings file's value.
struct ConnectionOverrides {
  std::optional<std::string> userAgent;
  std::optional<std::string> referer;  // as typed: "auto" or an address
  std::optional<std::vector<std::string>> headers;
  std::optional<std::string> loadCookies;  // the system's paths
  std::optional<std::string> saveCookies;
  std::optional<std::string> proxy;
  std::optional<double> delaySeconds;
  std::optional<bool> randomDelay;
  std::optional<std::int64_t> rateLimit;
  std::optional<int> tries;
  std::optional<double> retryWaitSeconds;
  std::optional<bool> robots;
  std::optional<int> perServer;

  void ApplyTo(net::ConnectionOptions& options) const;
};

// What the arguments ask for. Texts are the system's code-page-932 texts; each option is held
// only when it was given, so that it overrides a settings file's value and nothing else.
struct CommandLine {
  CommandKind kind = CommandKind::kHelp;
  std::string source;                                          // SOURCE or TEMPLATE
  std::string output;                                          // OUTPUT
  std::string settingsFile;                                    // --settings, or run's SETTINGS
  std::vector<std::pair<settings::Field, std::string>> texts;  // --size, --wait, ...
  std::vector<std::pair<settings::Field, bool>> switches;      // --subfolders, --no-...
  std::vector<RangeOption> ranges;
  std::optional<std::vector<std::string>> enableList;   // --enable (repeatable)
  std::optional<std::vector<std::string>> disableList;  // --disable (repeatable)
  std::optional<bool> untilLoaded;
  // The window's fixed waits, tiles and compositing instead of the fast mode (convert, crawl).
  bool fixedWait = false;
  std::optional<convert::CaptureMethod> capture;  // --capture
  std::optional<int> pngLevel;                    // --png-level
  const convert::PictureFormat* format = &convert::DefaultPictureFormat();
  // --- the pictures' format as given, quality, split and transparency ---
  bool formatGiven = false;         // --format was given: it overrides the settings file's
  std::optional<int> quality;       // --quality 1-100
  std::optional<int> splitHeight;   // --split HEIGHT[:OVERLAP]
  std::optional<int> splitOverlap;  // given with splitHeight, 0 when not typed
  bool transparent = false;         // --transparent
  // --- end of the pictures' options ---
  std::string reportFile;      // --report, native path
  std::string htmlReportFile;  // --report-html, native path
  int jobs = DefaultJobs();
  // With jobs > 1: a page whose render worker shows no progress for this long beyond the page's
  // own waits fails as timeout, and its worker is replaced.
  int pageTimeoutSeconds = 30;
  int shardIndex = 1;  // --shard K/N
  int shardCount = 1;
  bool quiet = false;
  bool useDisplay = false;
  // What is asked of every page (--selector ... --no-network), over the settings file's; each
  // held only when given. The texts of --style @FILE and --script @FILE are the files' content.
  struct PageOptionLine {
    std::optional<std::string> selector, style, script;
    std::optional<int> padding;
    std::optional<std::vector<std::string>> hide, remove;
    bool noJavaScript = false, confine = false, noNetwork = false;
  } page;
  // Settings of the engine for the whole process and its render workers, taken at their start.
  int scaleFactor = 1;                     // --scale-factor 1|2|3
  std::optional<std::string> colorScheme;  // --color-scheme light|dark
  ConnectionOverrides connection;          // --user-agent, --referer, --delay, --tries, ...
  // --no-clobber, --continue, --state FILE, --resume FILE (the system's paths).
  std::optional<bool> noClobber;
  std::optional<bool> continueDownloads;
  std::optional<std::string> stateFile;
  bool resume = false;  // --resume: the state file's crawl is continued

  // Puts the options above over those of a settings file.
  void ApplyResumeTo(settings::ResumeOptions& options) const;
};

// A command line, or the message (UTF-8, Japanese) that says why the arguments were refused.
struct ParsedCommandLine {
  std::optional<CommandLine> line;
  std::string error;
};

// Reads the arguments after the program's name. Never prints.
ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The help text (UTF-8): every command and option with its default.
std::string HelpText();

// One registered option as the manual pages and the completions show it (texts UTF-8): taken
// from the very registration the arguments are read with, so that neither can drift from it.
struct OptionDescription {
  std::vector<std::string> commands;  // "convert", "crawl", "run"; "" for the program's own
  std::vector<std::string> names;     // every spelling: "--jobs", "-j"; "--no-subfolders"
  bool takesValue = false;
  bool repeatable = false;    // may be given more than once, each value kept (--enable)
  bool windowOption = false;  // one of the window's options (convert and crawl)
  std::optional<resources::OptionText> text;  // its description, when it has one
  std::string valueName;                      // the help's name of the value ("ファイル")
  std::string defaultJapanese;                // the help's default, "" when none
  std::string defaultEnglish;
};

// Every option of every command, in the order of registration.
std::vector<OptionDescription> DescribeOptions();

}  // namespace cli
