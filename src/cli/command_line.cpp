// The command line: which job to do and every option, read from the program's arguments.
#include "cli/command_line.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <cstdio>

#include "base/encoding.h"
#include "base/file_system.h"
#include "settings/option_values.h"
#include "settings/settings_record.h"

namespace cli {
namespace {

using settings::Field;

// Options that hold a text as typed into the window's edits.
struct TextOption {
  const char* name;
  Field field;
  const char* value;  // the value's name in the help
  const char* help;
};
constexpr TextOption kTextOptions[] = {
    {"--size", Field::kSize, "幅", "Xサイズ: ページを表示する幅（ピクセル）"},
    {"--wait", Field::kWait, "待ち",
     "待ち時間: 読み込みを待つのは 待ち×50 ミリ秒、スクロールごとに 待ち×10 ミリ秒"},
    {"--percent", Field::kPercent, "比率", "比率: 画像の大きさ（%）"},
    {"--count", Field::kCount, "数", "最大検索ファイル数（クロール）"},
    {"--link-count", Field::kLinkCount, "数", "最大検索重複リンクファイル数（クロール）"},
};

// Options that tick or clear a check box; each has a --no- form.
struct SwitchOption {
  const char* name;  // without the leading "--"
  Field field;
  const char* help;
};
constexpr SwitchOption kSwitchOptions[] = {
    {"subfolders", Field::kSub, "サブフォルダも対象"},
    {"same-server", Field::kServer, "同一サーバーのみダウンロードする"},
    {"under-start", Field::kAnotherUrl, "指定したURL以下にないURLはダウンロードしない"},
    {"one-folder", Field::kSame, "同一フォルダにダウンロードする"},
    {"filter", Field::kFilter, "フィルターを使用する（--enable と --disable のリスト）"},
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

// The raw option values of one subcommand, checked after the parse.
struct RawOptions {
  std::vector<std::string> ranges;
  std::vector<std::string> noRanges;
  std::string format = "bmp";
  std::string jobs = "1";
  std::string shard;
  std::vector<std::string> enable;
  std::vector<std::string> disable;
  std::vector<std::string> positionals;
};

void AddWindowOptions(CLI::App& command, CommandLine& line, RawOptions& raw) {
  for (const TextOption& option : kTextOptions) {
    command.add_option_function<std::string>(
        option.name, [&line, field = option.field](const std::string& value) {
          line.texts.emplace_back(field, SystemText(value));
        });
  }
  for (const SwitchOption& option : kSwitchOptions) {
    const std::string names = std::string("--") + option.name + ",!--no-" + option.name;
    command.add_flag_function(names, [&line, field = option.field](std::int64_t count) {
      line.switches.emplace_back(field, count > 0);
    });
  }
  command.add_option("--range", raw.ranges)->allow_extra_args(false);
  command.add_option("--no-range", raw.noRanges)->allow_extra_args(false);
  command.add_option("--enable", raw.enable)->allow_extra_args(false);
  command.add_option("--disable", raw.disable)->allow_extra_args(false);
  command.add_option("--settings", line.settingsFile);
}

void AddRunOptions(CLI::App& command, CommandLine& line, RawOptions& raw) {
  command.add_flag_function("--until-loaded,!--no-until-loaded",
                            [&line](std::int64_t count) { line.untilLoaded = count > 0; });
  command.add_option("--format", raw.format);
  command.add_option("--jobs,-j", raw.jobs);
  command.add_option("--shard", raw.shard);
  command.add_option("--report", line.reportFile);
  command.add_flag("--quiet,-q", line.quiet);
  command.add_flag("--use-display", line.useDisplay);
  command.add_option("arguments", raw.positionals);
}

// Checks what the parser could not: the values of --range, --format, --jobs and --shard, and
// the number of positional arguments. An error text, or empty.
std::string Complete(CommandLine& line, RawOptions& raw) {
  for (const std::string& text : raw.ranges) {
    std::optional<RangeOption> range = ParseRange(text);
    if (!range) return "--range の値を読めません（例: --range b=001:120:5）: " + text;
    range->from = SystemText(range->from);
    range->to = SystemText(range->to);
    range->step = SystemText(range->step);
    line.ranges.push_back(*range);
  }
  for (const std::string& text : raw.noRanges) {
    if (text.size() != 1 || text[0] < 'a' || text[0] > 'f') {
      return "--no-range には a から f の一文字を指定してください: " + text;
    }
    line.ranges.push_back({text[0] - 'a' + 1, false, {}, {}, {}});
  }
  if (!raw.enable.empty()) line.enableList.emplace();
  for (const std::string& text : raw.enable) line.enableList->push_back(SystemText(text));
  if (!raw.disable.empty()) line.disableList.emplace();
  for (const std::string& text : raw.disable) line.disableList->push_back(SystemText(text));

  line.format = convert::FindPictureFormat(raw.format);
  if (!line.format) {
    return "--format には " + convert::PictureFormatNames(", ") +
           " のいずれかを指定してください: " + raw.format;
  }
  const std::optional<int> jobs = ParsePositive(raw.jobs);
  if (!jobs || *jobs > 64) return "--jobs には 1 から 64 の数を指定してください: " + raw.jobs;
  line.jobs = *jobs;
  if (!raw.shard.empty()) {
    const std::size_t slash = raw.shard.find('/');
    const std::optional<int> index = ParsePositive(raw.shard.substr(0, slash));
    const std::optional<int> count =
        slash == std::string::npos ? std::nullopt : ParsePositive(raw.shard.substr(slash + 1));
    if (!index || !count || *index > *count) {
      return "--shard には K/N（1 ≦ K ≦ N）を指定してください: " + raw.shard;
    }
    line.shardIndex = *index;
    line.shardCount = *count;
  }

  const std::size_t wanted = line.kind == CommandKind::kRun ? 1 : 2;
  const std::size_t given = raw.positionals.size();
  if (given > wanted || (line.kind != CommandKind::kRun && given < wanted)) {
    return line.kind == CommandKind::kRun ? "run に指定できる設定ファイルは一つです"
                                          : "読み込み元と出力フォルダの二つを指定してください";
  }
  if (line.kind == CommandKind::kRun) {
    if (given == 1) line.settingsFile = raw.positionals[0];
  } else {
    line.source = SystemText(raw.positionals[0]);
    line.output = SystemText(raw.positionals[1]);
  }
  line.settingsFile = SystemText(line.settingsFile);
  return {};
}

// The parser's own English messages are not shown: the argument it stumbled on is named in a
// Japanese sentence instead.
std::string ParseErrorText(const CLI::ParseError& error) {
  const std::string what = error.what();
  const std::size_t colon = what.rfind(": ");
  std::string subject = colon == std::string::npos ? std::string() : what.substr(colon + 2);
  if (dynamic_cast<const CLI::ExtrasError*>(&error)) {
    return "知らないオプションまたは余分な引数です: " + subject;
  }
  if (dynamic_cast<const CLI::ArgumentMismatch*>(&error)) {
    return "オプションの値がないか多すぎます: " + subject;
  }
  return "コマンドラインを読めません: " + subject;
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  ParsedCommandLine parsed;
  CommandLine line;
  RawOptions raw;
  CLI::App app;
  app.set_help_flag();
  bool help = false;
  bool version = false;
  app.add_flag("--help,-h", help);
  app.add_flag("--version", version);
  app.require_subcommand(0, 1);
  CLI::App* convert = app.add_subcommand("convert");
  CLI::App* crawl = app.add_subcommand("crawl");
  CLI::App* run = app.add_subcommand("run");
  for (CLI::App* command : {convert, crawl, run}) {
    command->set_help_flag();
    command->add_flag("--help,-h", help);
    if (command != run) AddWindowOptions(*command, line, raw);
    AddRunOptions(*command, line, raw);
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

std::string HelpText() {
  // The defaults are those of a reset settings record.
  settings::OptionValues defaults;
  settings::FilterLists lists;
  settings::SettingsRecord record(defaults, lists);
  record.ResetSettings();
  std::string text =
      "使い方:\n"
      "  rendora                                   ウィンドウを開きます\n"
      "  rendora convert 読み込みフォルダ 出力フォルダ [オプション]\n"
      "                                            フォルダの HTML を画像に変換します\n"
      "  rendora crawl アドレス 出力フォルダ [オプション]\n"
      "                                            アドレス（@a@～@f@ "
      "可）からたどったページを変換し、\n"
      "                                            ほかのファイルをダウンロードします\n"
      "  rendora run [設定ファイル] [オプション]   設定ファイルのとおりに実行します（省略時は\n"
      "                                            ウィンドウが起動時に読むファイル）\n"
      "\n変換とクロールのオプション（--settings の値を上書きします）:\n"
      "  --settings ファイル       元にする設定ファイル\n";
  char line[512];
  for (const TextOption& option : kTextOptions) {
    const std::string name = std::string(option.name) + " " + option.value;
    std::snprintf(line, sizeof line, "  %-24s  %s（既定値: %s）\n", name.c_str(), option.help,
                  base::Cp932ToUtf8Lossy(defaults.GetOptionText(option.field)).c_str());
    text += line;
  }
  for (const SwitchOption& option : kSwitchOptions) {
    const std::string name = std::string("--[no-]") + option.name;
    std::snprintf(line, sizeof line, "  %-24s  %s（既定値: %s）\n", name.c_str(), option.help,
                  defaults.IsOptionChecked(option.field) ? "オン" : "オフ");
    text += line;
  }
  text +=
      "  --range a=始め:終わり:間隔\n"
      "                            @a@～@f@ の番号の範囲（例: b=001:120:5 は 001, 006, ... と\n"
      "                            桁をそろえます）。--no-range a で使いません（既定値: "
      "使わない）\n"
      "  --enable 文字列           ダウンロードするアドレスに含む文字列（繰り返し可）\n"
      "  --disable 文字列          ダウンロードしないアドレスに含む文字列（繰り返し可）\n"
      "\n実行のオプション（convert, crawl, run）:\n";
  const std::string format = "--format " + convert::PictureFormatNames("|");
  std::snprintf(line, sizeof line, "  %-24s  画像の形式（既定値: %s）\n", format.c_str(),
                std::string(convert::DefaultPictureFormat().Name()).c_str());
  text += line;
  text +=
      "  --jobs N, -j N            同時に変換するページ数（既定値: 1）\n"
      "  --shard K/N               N 個に分けたページの K 番目だけを変換します（convert）\n"
      "  --until-loaded            ページの読み込みが終わりしだい待ち時間を切り上げます\n"
      "  --report ファイル         結果を JSON Lines で書き出します\n"
      "  --quiet, -q               エラーと集計だけを表示します\n"
      "  --use-display             仮想ディスプレイを使わず、今のディスプレイに表示します\n"
      "  --help, -h / --version    この説明 / 版数\n"
      "\n終了コード: 0 すべて成功、1 失敗したページあり、2 実行を拒否、130 中断（Ctrl-C）\n";
  return text;
}

}  // namespace cli
