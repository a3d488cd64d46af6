// The command line: which job to do and every option, read from the program's arguments.
#include "cli/command_line.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <functional>
#include <limits>
#include <thread>

#include "base/encoding.h"
#include "base/file_system.h"
#include "convert/picture_file.h"
#include "convert/picture_format.h"
#include "resources/option_texts.h"
#include "resources/texts.h"
#include "settings/settings_keys.h"

namespace cli {
namespace {

using resources::FillUtf8;
using resources::OptionText;
using resources::TextId;
using resources::TextUtf8;
using settings::Field;

// The two parts of the help that list options.
enum class Group {
  kWindow,  // convert and crawl: the window's options over the settings file
  kRun,     // convert, crawl and run
};

// An option's default as --help shows it (Japanese), as the English manual page shows it, and as
// the Japanese manual page shows it where the help's names this machine's numbers.
struct DefaultText {
  DefaultText() = default;
  DefaultText(const std::string& both) : japanese(both), english(both), manual(both) {}
  DefaultText(const char* both) : DefaultText(std::string(both)) {}
  DefaultText(std::string_view help, std::string_view english, std::string_view manual = {})
      : japanese(help), english(english), manual(manual.empty() ? help : manual) {}
  std::string japanese;  // UTF-8; "" when the help names none
  std::string english;
  std::string manual;
};

// One option as --help shows it, taken from its registration.
struct HelpLine {
  Group group;
  std::string names;  // "--jobs N, -j N", "--[no-]subfolders"
  OptionText text;
  DefaultText defaultText;
  const CLI::Option* option = nullptr;  // the registration it was taken from
  std::string valueName;
};

// "--jobs,-j" with value "N" -> "--jobs N, -j N"; "--filter,!--no-filter" -> "--[no-]filter".
std::string ShownNames(std::string_view names, std::string_view value) {
  std::string shown;
  std::size_t start = 0;
  while (start <= names.size()) {
    const std::size_t comma = std::min(names.find(',', start), names.size());
    const std::string_view name = names.substr(start, comma - start);
    start = comma + 1;
    if (name.starts_with('!')) {
      shown.insert(2, "[no-]");
      continue;
    }
    if (!shown.empty()) shown += ", ";
    shown += name;
    if (!value.empty()) shown += " " + std::string(value);
  }
  return shown;
}

// Registers the options of one command. Each option is registered once, with its description,
// its default as the help shows it and its check; the help lines are kept when `help` is given.
class Registration {
 public:
  Registration(CLI::App& command, std::vector<HelpLine>* help) : m_command(command), m_help(help) {}
  CLI::App& Command() { return m_command; }

  // `valueName` stands for the value's name of the texts where that is a list kept elsewhere.
  CLI::Option* Describe(CLI::Option* option, std::string_view names, Group group, OptionText text,
                        DefaultText defaultText = {}, std::string_view valueName = {}) {
    const resources::OptionHelp& texts = resources::HelpOf(text);
    const std::string_view value = valueName.empty() ? texts.value : valueName;
    option->description(std::string(texts.japanese));
    if (!value.empty()) option->type_name(std::string(value));
    if (m_help) {
      m_help->push_back(
          {group, ShownNames(names, value), text, defaultText, option, std::string(value)});
    }
    return option;
  }

 private:
  CLI::App& m_command;
  std::vector<HelpLine>* m_help;
};

// Options that hold a text as typed into the window's edits.
struct TextOption {
  const char* name;
  Field field;
  OptionText text;
};
constexpr TextOption kTextOptions[] = {
    {"--size", Field::kSize, OptionText::kSize},
    {"--wait", Field::kWait, OptionText::kWait},
    {"--percent", Field::kPercent, OptionText::kPercent},
    {"--count", Field::kCount, OptionText::kCount},
    {"--link-count", Field::kLinkCount, OptionText::kLinkCount},
};

// Options that tick or clear a check box; each has a --no- form.
struct SwitchOption {
  const char* names;
  Field field;
  OptionText text;
};
constexpr SwitchOption kSwitchOptions[] = {
    {"--subfolders,!--no-subfolders", Field::kSub, OptionText::kSubfolders},
    {"--same-server,!--no-same-server", Field::kServer, OptionText::kSameServer},
    {"--under-start,!--no-under-start", Field::kAnotherUrl, OptionText::kUnderStart},
    {"--one-folder,!--no-one-folder", Field::kSame, OptionText::kOneFolder},
    {"--filter,!--no-filter", Field::kFilter, OptionText::kFilter},
};

// A text from the command line as the system's text: what the terminal typed is UTF-8, and a
// name without a code-page-932 form keeps its bytes, as every name of the file system does.
std::string SystemText(const std::string& argument) { return base::FromNativeName(argument); }

// "a=001:120:5" -> row 1, "001", "120", "5".
std::optional<RangeOption> ParseRange(const std::string& text) {
  if (text.size() < 2 || text[1] != '=' || text[0] < 'a' || text[0] > 'f') return std::nullopt;
  RangeOption range;
  range.row = text[0] - 'a' + 1;
  const std::string values = text.substr(2);
  const std::size_t first = values.find(':');
  const std::size_t second = first == std::string::npos ? first : values.find(':', first + 1);
  if (second == std::string::npos || values.find(':', second + 1) != std::string::npos) {
    return std::nullopt;
  }
  range.from = values.substr(0, first);
  range.to = values.substr(first + 1, second - first - 1);
  range.step = values.substr(second + 1);
  return range;
}

std::optional<int> ParsePositive(const std::string& text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 1) return std::nullopt;
  return value;
}

// "K/N" with 1 <= K <= N.
bool ParseShard(const std::string& text, int& index, int& count) {
  const std::size_t slash = text.find('/');
  if (slash == std::string::npos) return false;
  const std::optional<int> k = ParsePositive(text.substr(0, slash));
  const std::optional<int> n = ParsePositive(text.substr(slash + 1));
  if (!k || !n || *k > *n) return false;
  index = *k;
  count = *n;
  return true;
}

// A check of the parser's own (range, member, or a test of ours) whose refusal is the command
// line's Japanese message naming the value.
CLI::Validator Checked(const CLI::Validator& check, TextId refusal) {
  return CLI::Validator(
      [check, refusal](std::string& value) {
        std::string copy = value;
        return check(copy).empty() ? std::string() : FillUtf8(refusal, {value});
      },
      check.get_description());
}

CLI::Validator Test(bool (*accepts)(const std::string&)) {
  return CLI::Validator(
      [accepts](std::string& value) { return accepts(value) ? std::string() : value; }, "");
}

// The raw option values of one subcommand, turned into the command line after the parse.
struct RawOptions {
  std::vector<std::string> ranges;
  std::vector<std::string> noRanges;
  std::string format;  // empty when not given
  std::string split;
  std::string shard;
  std::vector<std::string> enable;
  std::vector<std::string> disable;
  std::vector<std::string> positionals;
  // What is asked of every page, as typed.
  std::vector<std::string> hide;
  std::vector<std::string> remove;
  std::optional<std::string> style;
  std::optional<std::string> script;
  std::vector<std::string> headers;
};

DefaultText OnOff(bool on) {
  return {resources::TextUtf8(on ? TextId::kCliOn : TextId::kCliOff), on ? "on" : "off"};
}

void AddWindowOptions(Registration& options, CommandLine& line, RawOptions& raw) {
  CLI::App& command = options.Command();
  options.Describe(command.add_option("--settings", line.settingsFile), "--settings",
                   Group::kWindow, OptionText::kSettings);
  // The defaults are those of a reset settings record.
  for (const TextOption& option : kTextOptions) {
    CLI::Option* added = command.add_option_function<std::string>(
        option.name, [&line, field = option.field](const std::string& value) {
          line.texts.emplace_back(field, SystemText(value));
        });
    options.Describe(added, option.name, Group::kWindow, option.text,
                     base::Cp932ToUtf8Lossy(settings::DefinitionOf(option.field).resetValue));
  }
  for (const SwitchOption& option : kSwitchOptions) {
    CLI::Option* added =
        command.add_flag_function(option.names, [&line, field = option.field](std::int64_t count) {
          line.switches.emplace_back(field, count > 0);
        });
    const settings::KeyDefinition& definition = settings::DefinitionOf(option.field);
    options.Describe(added, option.names, Group::kWindow, option.text,
                     OnOff(settings::SwitchValue(definition.rule, definition.resetValue)));
  }
  const auto range = [](const std::string& text) { return ParseRange(text).has_value(); };
  options.Describe(command.add_option("--range", raw.ranges)
                       ->allow_extra_args(false)
                       ->check(Checked(Test(range), TextId::kCliRangeInvalid)),
                   "--range", Group::kWindow, OptionText::kRange,
                   DefaultText(resources::TextUtf8(TextId::kCliNotUsed), "not used"));
  options.Describe(command.add_option("--no-range", raw.noRanges)
                       ->allow_extra_args(false)
                       ->check(Checked(CLI::IsMember({"a", "b", "c", "d", "e", "f"}),
                                       TextId::kCliNoRangeInvalid)),
                   "--no-range", Group::kWindow, OptionText::kNoRange);
  options.Describe(command.add_option("--enable", raw.enable)->allow_extra_args(false), "--enable",
                   Group::kWindow, OptionText::kEnable);
  options.Describe(command.add_option("--disable", raw.disable)->allow_extra_args(false),
                   "--disable", Group::kWindow, OptionText::kDisable);
}

// "HEIGHT[:OVERLAP]" with 1 <= HEIGHT <= the largest split and 0 <= OVERLAP < HEIGHT.
bool ParseSplit(const std::string& text, int& height, int& overlap) {
  const std::size_t colon = text.find(':');
  const std::optional<int> rows = ParsePositive(text.substr(0, colon));
  overlap = 0;
  if (colon != std::string::npos) {
    const std::string repeated = text.substr(colon + 1);
    const std::optional<int> more = repeated == "0" ? std::optional(0) : ParsePositive(repeated);
    if (!more) return false;
    overlap = *more;
  }
  if (!rows || *rows > convert::kLargestSplitHeight || overlap >= *rows) return false;
  height = *rows;
  return true;
}

// --quality, --split and --transparent: what the pictures are written with beyond the format.
void AddPictureOptions(Registration& options, CommandLine& line, RawOptions& raw) {
  CLI::App& command = options.Command();
  const convert::PictureOptions defaults;
  options.Describe(
      command
          .add_option_function<int>("--quality", [&line](int quality) { line.quality = quality; })
          ->check(Checked(CLI::Range(1, 100), TextId::kCliQualityInvalid)),
      "--quality", Group::kRun, OptionText::kQuality, std::to_string(defaults.quality));
  const auto split = [](const std::string& text) {
    int height = 0;
    int overlap = 0;
    return ParseSplit(text, height, overlap);
  };
  options.Describe(command.add_option("--split", raw.split)
                       ->check(Checked(Test(split), TextId::kCliSplitInvalid)),
                   "--split", Group::kRun, OptionText::kSplit,
                   std::string(resources::TextUtf8(TextId::kCliNotUsed)));
  options.Describe(command.add_flag("--transparent", line.transparent), "--transparent",
                   Group::kRun, OptionText::kTransparent);
}

// What the run tells and where: the reports, the terminal, the display.
void AddReportOptions(Registration& options, CommandLine& line) {
  CLI::App& command = options.Command();
  options.Describe(command.add_option("--report", line.reportFile), "--report", Group::kRun,
                   OptionText::kReport);
  options.Describe(command.add_option("--report-html", line.htmlReportFile), "--report-html",
                   Group::kRun, OptionText::kReportHtml);
  options.Describe(command.add_flag("--quiet,-q", line.quiet), "--quiet,-q", Group::kRun,
                   OptionText::kQuiet);
  options.Describe(command.add_flag("--use-display", line.useDisplay), "--use-display", Group::kRun,
                   OptionText::kUseDisplay);
}

// A refusal that names the option as well as its value.
CLI::Validator NamedCheck(bool (*accepts)(const std::string&), std::string name, TextId refusal) {
  return CLI::Validator(
      [accepts, name, refusal](std::string& value) {
        return accepts(value) ? std::string() : FillUtf8(refusal, {name, value});
      },
      "");
}

// The connection options of identity: agent, Referer, headers, cookies, proxy.
void AddIdentityOptions(Registration& options, CommandLine& line, RawOptions& raw) {
  CLI::App& command = options.Command();
  ConnectionOverrides& given = line.connection;
  const auto text = [&command](const char* name, std::optional<std::string>& target) {
    return command.add_option_function<std::string>(
        name, [&target](const std::string& value) { target = SystemText(value); });
  };
  const auto referer = [](const std::string& value) {
    net::RefererMode mode;
    std::string address;
    return !value.empty() && net::ParseReferer(value, mode, address);
  };
  const auto header = [](const std::string& value) { return net::IsHeaderLine(value); };
  options.Describe(text("--user-agent", given.userAgent), "--user-agent", Group::kWindow,
                   OptionText::kUserAgent);
  options.Describe(
      text("--referer", given.referer)->check(Checked(Test(referer), TextId::kCliRefererInvalid)),
      "--referer", Group::kWindow, OptionText::kReferer);
  options.Describe(command.add_option("--header", raw.headers)
                       ->allow_extra_args(false)
                       ->check(Checked(Test(header), TextId::kCliHeaderInvalid)),
                   "--header", Group::kWindow, OptionText::kHeader);
  options.Describe(text("--load-cookies", given.loadCookies), "--load-cookies", Group::kWindow,
                   OptionText::kLoadCookies);
  options.Describe(text("--save-cookies", given.saveCookies), "--save-cookies", Group::kWindow,
                   OptionText::kSaveCookies);
  options.Describe(text("--proxy", given.proxy), "--proxy", Group::kWindow, OptionText::kProxy);
}

// The connection options of politeness and retries: pauses, rate, tries, robots.txt.
void AddPolitenessOptions(Registration& options, CommandLine& line) {
  CLI::App& command = options.Command();
  ConnectionOverrides& given = line.connection;
  const net::ConnectionOptions defaults;
  const auto seconds = [](const std::string& value) {
    return net::ParseSeconds(value).has_value();
  };
  const auto secondsOption = [&](const char* name, std::optional<double>& target) {
    return command
        .add_option_function<std::string>(
            name, [&target](const std::string& value) { target = *net::ParseSeconds(value); })
        ->check(NamedCheck(seconds, name, TextId::kCliSecondsInvalid));
  };
  const auto rate = [](const std::string& value) { return net::ParseRate(value).has_value(); };
  options.Describe(secondsOption("--delay", given.delaySeconds), "--delay", Group::kWindow,
                   OptionText::kDelay, net::SecondsText(defaults.delaySeconds));
  options.Describe(command.add_flag_function("--random-delay",
                                             [&given](std::int64_t) { given.randomDelay = true; }),
                   "--random-delay", Group::kWindow, OptionText::kRandomDelay);
  options.Describe(command
                       .add_option_function<std::string>("--limit-rate",
                                                         [&given](const std::string& value) {
                                                           given.rateLimit = *net::ParseRate(value);
                                                         })
                       ->check(Checked(Test(rate), TextId::kCliRateInvalid)),
                   "--limit-rate", Group::kWindow, OptionText::kLimitRate);
  options.Describe(
      command.add_option_function<int>("--tries", [&given](int tries) { given.tries = tries; })
          ->check(Checked(CLI::Range(1, 100), TextId::kCliTriesInvalid)),
      "--tries", Group::kWindow, OptionText::kTries, std::to_string(defaults.tries));
  options.Describe(secondsOption("--retry-wait", given.retryWaitSeconds), "--retry-wait",
                   Group::kWindow, OptionText::kRetryWait,
                   net::SecondsText(defaults.retryWaitSeconds));
  options.Describe(
      command.add_flag_function("--robots", [&given](std::int64_t) { given.robots = true; }),
      "--robots", Group::kWindow, OptionText::kRobots, OnOff(defaults.robots));
}

// Downloads side by side: how many at once per server.
void AddSideBySideOption(Registration& options, CommandLine& line) {
  ConnectionOverrides& given = line.connection;
  options.Describe(options.Command()
                       .add_option_function<int>("--per-server",
                                                 [&given](int count) { given.perServer = count; })
                       ->check(Checked(CLI::Range(1, 16), TextId::kCliPerServerInvalid)),
                   "--per-server", Group::kWindow, OptionText::kPerServer,
                   std::to_string(kDefaultPerServer));
}

// The options that keep a run from doing its work twice.
void AddResumeOptions(Registration& options, CommandLine& line) {
  CLI::App& command = options.Command();
  options.Describe(
      command.add_flag_function("--no-clobber", [&line](std::int64_t) { line.noClobber = true; }),
      "--no-clobber", Group::kWindow, OptionText::kNoClobber);
  options.Describe(command.add_flag_function(
                       "--continue", [&line](std::int64_t) { line.continueDownloads = true; }),
                   "--continue", Group::kWindow, OptionText::kContinue);
  CLI::Option* state = command.add_option_function<std::string>(
      "--state", [&line](const std::string& path) { line.stateFile = SystemText(path); });
  CLI::Option* resume =
      command.add_option_function<std::string>("--resume", [&line](const std::string& path) {
        line.stateFile = SystemText(path);
        line.resume = true;
      });
  state->excludes(resume);
  options.Describe(state, "--state", Group::kWindow, OptionText::kState);
  options.Describe(resume, "--resume", Group::kWindow, OptionText::kResume);
}

void AddRunOptions(Registration& options, CommandLine& line, RawOptions& raw) {
  CLI::App& command = options.Command();
  const CommandLine defaults;
  // The formats are those of the registry, named there once.
  const std::string formats = convert::PictureFormatNames("|");
  const CLI::Validator format(
      [](std::string& value) {
        return convert::FindPictureFormat(value)
                   ? std::string()
                   : FillUtf8(TextId::kCliFormatInvalid,
                              {convert::PictureFormatNames(", "), value});
      },
      "");
  options.Describe(command.add_option("--format", raw.format)->check(format), "--format",
                   Group::kRun, OptionText::kFormat,
                   std::string(convert::DefaultPictureFormat().Name()), formats);
  options.Describe(command.add_option("--jobs,-j", line.jobs)
                       ->check(Checked(CLI::Range(1, 64), TextId::kCliJobsInvalid)),
                   "--jobs,-j", Group::kRun, OptionText::kJobs,
                   DefaultText(FillUtf8(TextId::kCliJobsRule, {std::to_string(defaults.jobs)}),
                               "3 x cores, at most 12", TextUtf8(TextId::kCliJobsRuleManual)));
  const auto shard = [](const std::string& text) {
    int index = 0;
    int count = 0;
    return ParseShard(text, index, count);
  };
  options.Describe(command.add_option("--shard", raw.shard)
                       ->check(Checked(Test(shard), TextId::kCliShardInvalid)),
                   "--shard", Group::kRun, OptionText::kShard);
  options.Describe(
      command.add_flag_function("--until-loaded,!--no-until-loaded",
                                [&line](std::int64_t count) { line.untilLoaded = count > 0; }),
      "--until-loaded,!--no-until-loaded", Group::kRun, OptionText::kUntilLoaded);
  options.Describe(command.add_flag("--fixed-wait", line.fixedWait), "--fixed-wait", Group::kRun,
                   OptionText::kFixedWait);
  options.Describe(
      command
          .add_option_function<std::string>("--capture",
                                            [&line](const std::string& name) {
                                              line.capture = convert::CaptureMethodNamed(name);
                                            })
          ->check(Checked(CLI::IsMember({"tiles", "snapshot"}), TextId::kCliCaptureInvalid)),
      "--capture", Group::kRun, OptionText::kCapture);
  options.Describe(
      command
          .add_option_function<int>("--png-level", [&line](int level) { line.pngLevel = level; })
          ->check(Checked(CLI::Range(0, 9), TextId::kCliPngLevelInvalid)),
      "--png-level", Group::kRun, OptionText::kPngLevel);
  options.Describe(command.add_option("--page-timeout", line.pageTimeoutSeconds)
                       ->check(Checked(CLI::Range(1, std::numeric_limits<int>::max()),
                                       TextId::kCliPageTimeoutInvalid)),
                   "--page-timeout", Group::kRun, OptionText::kPageTimeout,
                   std::to_string(defaults.pageTimeoutSeconds));
  AddReportOptions(options, line);
  command.add_option("arguments", raw.positionals);
}

void AddPageOptions(Registration& options, CommandLine& line, RawOptions& raw) {
  CLI::App& command = options.Command();
  CommandLine::PageOptionLine& page = line.page;
  options.Describe(
      command.add_option_function<std::string>(
          "--selector", [&page](const std::string& value) { page.selector = SystemText(value); }),
      "--selector", Group::kRun, OptionText::kSelector);
  options.Describe(
      command.add_option_function<int>("--padding", [&page](int pixels) { page.padding = pixels; })
          ->check(Checked(CLI::Range(0, settings::kMaxPadding), TextId::kCliPaddingInvalid)),
      "--padding", Group::kRun, OptionText::kPadding, "0");
  options.Describe(command.add_option("--hide", raw.hide)->allow_extra_args(false), "--hide",
                   Group::kRun, OptionText::kHide);
  options.Describe(command.add_option("--remove", raw.remove)->allow_extra_args(false), "--remove",
                   Group::kRun, OptionText::kRemove);
  options.Describe(command.add_option("--style", raw.style), "--style", Group::kRun,
                   OptionText::kStyle);
  options.Describe(command.add_option("--script", raw.script), "--script", Group::kRun,
                   OptionText::kScript);
  options.Describe(command.add_flag("--no-javascript", page.noJavaScript), "--no-javascript",
                   Group::kRun, OptionText::kNoJavaScript);
  options.Describe(command.add_flag("--confine", page.confine), "--confine", Group::kRun,
                   OptionText::kConfine);
  options.Describe(command.add_flag("--no-network", page.noNetwork), "--no-network", Group::kRun,
                   OptionText::kNoNetwork);
  options.Describe(
      command
          .add_option_function<std::string>(
              "--scale-factor",
              [&line](const std::string& factor) { line.scaleFactor = factor[0] - '0'; })
          ->check(Checked(CLI::IsMember({"1", "2", "3"}), TextId::kCliScaleFactorInvalid)),
      "--scale-factor", Group::kRun, OptionText::kScaleFactor, "1");
  options.Describe(
      command.add_option("--color-scheme", line.colorScheme)
          ->check(Checked(CLI::IsMember({"light", "dark"}), TextId::kCliColorSchemeInvalid)),
      "--color-scheme", Group::kRun, OptionText::kColorScheme);
}

// A text typed as it stands, or the content of the file it names after "@"; an error text
// naming a file that cannot be read, or empty.
std::string TextOrFile(const std::optional<std::string>& typed, std::optional<std::string>& text) {
  if (!typed) return {};
  if (!typed->starts_with('@')) {
    text = SystemText(*typed);
    return {};
  }
  // The file's bytes are the page's text: kept losslessly, whatever their encoding.
  const std::optional<std::string> content = base::ReadWholeFile(SystemText(typed->substr(1)));
  if (!content) return FillUtf8(TextId::kCliOptionFileUnreadable, {*typed});
  text = base::BytesToCp932(*content);
  return {};
}

// Turns the page options' lists and files into the command line; an error text, or empty.
std::string CompletePageOptions(CommandLine& line, RawOptions& raw) {
  const auto system = [](const std::vector<std::string>& typed) {
    std::vector<std::string> texts;
    for (const std::string& text : typed) texts.push_back(SystemText(text));
    return texts;
  };
  if (!raw.hide.empty()) line.page.hide = system(raw.hide);
  if (!raw.remove.empty()) line.page.remove = system(raw.remove);
  std::string error = TextOrFile(raw.style, line.page.style);
  return error.empty() ? TextOrFile(raw.script, line.page.script) : error;
}

void AddHelpOptions(Registration& options, bool& help, bool* version) {
  options.Describe(options.Command().add_flag("--help,-h", help), "--help,-h", Group::kRun,
                   OptionText::kHelp);
  if (version) {
    options.Describe(options.Command().add_flag("--version", *version), "--version", Group::kRun,
                     OptionText::kVersion);
  }
}

// Turns what the checks let through into the command line: the ranges, the lists, the format,
// the shard and the positional arguments. An error text, or empty.
std::string Complete(CommandLine& line, RawOptions& raw) {
  for (const std::string& text : raw.ranges) {
    RangeOption range = *ParseRange(text);
    range.from = SystemText(range.from);
    range.to = SystemText(range.to);
    range.step = SystemText(range.step);
    line.ranges.push_back(range);
  }
  for (const std::string& text : raw.noRanges) {
    line.ranges.push_back({text[0] - 'a' + 1, false, {}, {}, {}});
  }
  if (!raw.enable.empty()) line.enableList.emplace();
  for (const std::string& text : raw.enable) line.enableList->push_back(SystemText(text));
  if (!raw.disable.empty()) line.disableList.emplace();
  for (const std::string& text : raw.disable) line.disableList->push_back(SystemText(text));
  if (!raw.format.empty()) {
    line.format = convert::FindPictureFormat(raw.format);
    line.formatGiven = true;
  }
  if (!raw.split.empty()) {
    int height = 0;
    int overlap = 0;
    ParseSplit(raw.split, height, overlap);
    line.splitHeight = height;
    line.splitOverlap = overlap;
  }
  if (!raw.headers.empty()) line.connection.headers = raw.headers;
  if (!raw.shard.empty()) ParseShard(raw.shard, line.shardIndex, line.shardCount);

  const std::size_t wanted = line.kind == CommandKind::kRun ? 1 : 2;
  const std::size_t given = raw.positionals.size();
  if (given > wanted || (line.kind != CommandKind::kRun && given < wanted)) {
    return std::string(resources::TextUtf8(line.kind == CommandKind::kRun
                                               ? TextId::kCliRunTakesOneFile
                                               : TextId::kCliNeedsTwoArguments));
  }
  if (line.kind == CommandKind::kRun) {
    if (given == 1) line.settingsFile = raw.positionals[0];
  } else {
    line.source = SystemText(raw.positionals[0]);
    line.output = SystemText(raw.positionals[1]);
  }
  line.settingsFile = SystemText(line.settingsFile);
  return CompletePageOptions(line, raw);
}

// The parser's own English messages are not shown: the argument it stumbled on is named in a
// Japanese sentence instead. A refused check already says, in Japanese, what it wants.
std::string ParseErrorText(const CLI::ParseError& error) {
  const std::string what = error.what();
  if (dynamic_cast<const CLI::ValidationError*>(&error)) {
    const std::size_t colon = what.find(": ");
    return colon == std::string::npos ? what : what.substr(colon + 2);
  }
  const std::size_t colon = what.rfind(": ");
  const std::string subject = colon == std::string::npos ? std::string() : what.substr(colon + 2);
  if (dynamic_cast<const CLI::ExtrasError*>(&error)) {
    return FillUtf8(TextId::kCliUnknownArgument, {subject});
  }
  // The one pair of options that exclude each other.
  if (dynamic_cast<const CLI::ExcludesError*>(&error)) {
    return std::string(resources::TextUtf8(TextId::kCliStateWithResume));
  }
  // A count mismatch names its option first, then says in English what it counted.
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&error)) {
    return FillUtf8(TextId::kCliValueMissing, {what.substr(0, what.find(": "))});
  }
  return FillUtf8(TextId::kCliUnreadable, {subject});
}

// Display columns of a UTF-8 text: a Japanese character takes two.
std::size_t Columns(std::string_view text) {
  std::size_t columns = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x80) {
      ++columns;
    } else if (byte >= 0xC0) {
      columns += 2;
    }
  }
  return columns;
}

// The description in lines of about `width` columns, broken only after a Japanese comma; the
// default stays whole, on a line of its own when the last one has no room for it.
std::vector<std::string> WrapColumns(std::string_view description, const std::string& defaultText,
                                     std::size_t width) {
  std::vector<std::string> lines(1);
  std::size_t start = 0;
  while (start < description.size()) {
    const std::size_t comma = description.find("、", start);
    const std::size_t end = comma == std::string_view::npos ? description.size() : comma + 3;
    const std::string_view piece = description.substr(start, end - start);
    if (!lines.back().empty() && Columns(lines.back()) + Columns(piece) > width)
      lines.emplace_back();
    lines.back() += piece;
    start = end;
  }
  if (!defaultText.empty() && Columns(lines.back()) + Columns(defaultText) > width) {
    lines.emplace_back();
  }
  lines.back() += defaultText;
  return lines;
}

// "  NAME<padding>  DESCRIPTION（既定値: X）"; a name wider than its column stands on a line of
// its own, and a long description goes on below under itself.
std::string HelpLineText(const HelpLine& line) {
  constexpr std::size_t kNameColumns = 24;
  constexpr std::size_t kTextColumns = 56;
  const std::string indent(kNameColumns + 4, ' ');
  std::string text = "  " + line.names;
  const std::size_t columns = Columns(line.names);
  if (columns > kNameColumns) {
    text += "\n" + indent;
  } else {
    text += std::string(kNameColumns - columns + 2, ' ');
  }
  const std::string& given = line.defaultText.japanese;
  const std::string defaultText =
      given.empty() ? std::string() : FillUtf8(TextId::kCliDefault, {given});
  const std::vector<std::string> lines =
      WrapColumns(resources::HelpOf(line.text).japanese, defaultText, kTextColumns);
  for (std::size_t i = 0; i < lines.size(); ++i) text += (i > 0 ? indent : "") + lines[i] + "\n";
  return text;
}

}  // namespace

// Reads `arguments` with every option of every command registered once. `lines` (when given)
// keeps what each registration says of its option; `registered` (when given) is shown the
// commands as registered, and nothing is read.
static ParsedCommandLine Parse(const std::vector<std::string>& arguments,
                               std::vector<HelpLine>* lines,
                               const std::function<void(const CLI::App&)>& registered) {
  ParsedCommandLine parsed;
  CommandLine line;
  RawOptions raw;
  CLI::App app;
  app.set_help_flag();
  bool help = false;
  bool version = false;
  Registration top(app, lines);
  AddHelpOptions(top, help, &version);
  app.require_subcommand(0, 1);
  CLI::App* convert = app.add_subcommand("convert");
  CLI::App* crawl = app.add_subcommand("crawl");
  CLI::App* run = app.add_subcommand("run");
  for (CLI::App* command : {convert, crawl, run}) {
    command->set_help_flag();
    Registration options(*command, lines);
    AddHelpOptions(options, help, nullptr);
    if (command != run) AddWindowOptions(options, line, raw);
    if (command != run) AddIdentityOptions(options, line, raw);
    if (command != run) AddPolitenessOptions(options, line);
    if (command != run) AddSideBySideOption(options, line);
    if (command != run) AddResumeOptions(options, line);
    AddRunOptions(options, line, raw);
    AddPictureOptions(options, line, raw);
    AddPageOptions(options, line, raw);
  }
  if (registered) {
    registered(app);
    return parsed;
  }
  std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::ParseError& error) {
    parsed.error = ParseErrorText(error);
    return parsed;
  }
  if (help || (app.get_subcommands().empty() && !version)) {
    line.kind = CommandKind::kHelp;
  } else if (version) {
    line.kind = CommandKind::kVersion;
  } else {
    const CLI::App* chosen = app.get_subcommands().front();
    line.kind = chosen == convert ? CommandKind::kConvert
                : chosen == crawl ? CommandKind::kCrawl
                                  : CommandKind::kRun;
    parsed.error = Complete(line, raw);
    if (!parsed.error.empty()) return parsed;
  }
  parsed.line = std::move(line);
  return parsed;
}

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  return Parse(arguments, nullptr, {});
}

void ConnectionOverrides::ApplyTo(net::ConnectionOptions& options) const {
  if (userAgent) options.userAgent = *userAgent;
  if (referer) net::ParseReferer(*referer, options.referer, options.refererAddress);
  if (headers) options.headers = *headers;
  if (loadCookies) options.loadCookies = *loadCookies;
  if (saveCookies) options.saveCookies = *saveCookies;
  if (proxy) options.proxy = *proxy;
  if (delaySeconds) options.delaySeconds = *delaySeconds;
  if (randomDelay) options.randomDelay = *randomDelay;
  if (rateLimit) options.rateLimit = *rateLimit;
  if (tries) options.tries = *tries;
  if (retryWaitSeconds) options.retryWaitSeconds = *retryWaitSeconds;
  if (robots) options.robots = *robots;
  if (perServer) options.perServer = *perServer;
}

void CommandLine::ApplyResumeTo(settings::ResumeOptions& options) const {
  if (noClobber) options.noClobber = *noClobber;
  if (continueDownloads) options.continueDownloads = *continueDownloads;
  if (stateFile) options.stateFile = *stateFile;
}

int DefaultJobs() {
  const unsigned cores = std::thread::hardware_concurrency();
  return std::clamp(3 * static_cast<int>(cores == 0 ? 1 : cores), 2, 12);
}

std::string HelpText() {
  // The help lists what registering every option of convert (all of them) says of each.
  std::vector<HelpLine> lines;
  CLI::App app;
  app.set_help_flag();
  CommandLine line;
  RawOptions raw;
  bool help = false;
  bool version = false;
  Registration options(app, &lines);
  AddWindowOptions(options, line, raw);
  AddIdentityOptions(options, line, raw);
  AddPolitenessOptions(options, line);
  AddSideBySideOption(options, line);
  AddResumeOptions(options, line);
  AddRunOptions(options, line, raw);
  AddPictureOptions(options, line, raw);
  AddPageOptions(options, line, raw);
  AddHelpOptions(options, help, &version);

  std::string text(resources::TextUtf8(TextId::kCliUsage));
  for (const auto& [group, heading] : {std::pair{Group::kWindow, TextId::kCliWindowOptions},
                                       std::pair{Group::kRun, TextId::kCliRunOptions}}) {
    text += "\n" + std::string(resources::TextUtf8(heading)) + "\n";
    for (const HelpLine& help : lines) {
      if (help.group == group) text += HelpLineText(help);
    }
  }
  return text + "\n" + std::string(resources::TextUtf8(TextId::kCliExitCodes)) + "\n";
}

namespace {

// What the help's registration says of `option`, or nullptr for an option registered without.
const HelpLine* LineOf(const std::vector<HelpLine>& lines, const CLI::Option* option) {
  for (const HelpLine& line : lines) {
    if (line.option == option) return &line;
  }
  return nullptr;
}

// Every spelling of a named option: long names (with their --no- forms) first, then short ones.
std::vector<std::string> NamesOf(const CLI::Option& option) {
  std::vector<std::string> names;
  for (const std::string& name : option.get_lnames()) names.push_back("--" + name);
  for (const std::string& name : option.get_snames()) names.push_back("-" + name);
  return names;
}

void AddDescriptions(const CLI::App& command, const std::vector<HelpLine>& lines,
                     std::vector<OptionDescription>& descriptions) {
  for (const CLI::Option* option : command.get_options()) {
    if (!option->nonpositional()) continue;
    const std::vector<std::string> names = NamesOf(*option);
    auto same = std::find_if(descriptions.begin(), descriptions.end(),
                             [&](const OptionDescription& known) { return known.names == names; });
    if (same == descriptions.end()) {
      OptionDescription described;
      described.names = names;
      described.takesValue = option->get_items_expected_max() > 0;
      described.repeatable = described.takesValue && option->get_expected_max() > 1;
      if (const HelpLine* line = LineOf(lines, option)) {
        described.windowOption = line->group == Group::kWindow;
        described.text = line->text;
        described.valueName = line->valueName;
        described.defaultJapanese = line->defaultText.manual;
        described.defaultEnglish = line->defaultText.english;
      }
      same = descriptions.insert(descriptions.end(), std::move(described));
    }
    same->commands.push_back(command.get_name());
  }
}

}  // namespace

std::vector<OptionDescription> DescribeOptions() {
  std::vector<HelpLine> lines;
  std::vector<OptionDescription> descriptions;
  Parse({}, &lines, [&](const CLI::App& app) {
    AddDescriptions(app, lines, descriptions);
    for (const CLI::App* command : app.get_subcommands({})) {
      AddDescriptions(*command, lines, descriptions);
    }
  });
  return descriptions;
}

}  // namespace cli
