// The command line's entry: arguments, options, the run without a window, and its outcome.
#include "cli/command_main.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/encoding.h"
#include "base/file_system.h"
#include "base/locations.h"
#include "base/text.h"
#include "base/tools.h"
#include "cli/cli_controls.h"
#include "cli/command_line.h"
#include "cli/exit_status.h"
#include "cli/headless_session.h"
#include "cli/interrupt.h"
#include "cli/page_renderers.h"
#include "cli/render_worker.h"
#include "cli/run_report.h"
#include "cli/worker_pool.h"
#include "convert/conversion_run.h"
#include "convert/picture_file.h"
#include "convert/html_report.h"
#include "download/crawl_driver.h"
#include "download/crawl_state.h"
#include "net/curl_transfer.h"
#include "net/polite_transfer.h"
#include "resources/texts.h"
#include "settings/option_values.h"
#include "settings/profile_file.h"
#include "settings/settings_keys.h"
#include "settings/settings_record.h"

namespace cli {
namespace {

using resources::FillUtf8;
using resources::TextId;
using settings::Field;

// The widest virtual display made for render workers side by side.
constexpr int kWidestScreen = 16384;
// The largest screen side the display server makes, in device pixels.
constexpr int kLargestScreen = 32767;

// The engine's settings for the whole process, taken by the window framework at its start: this
// process's view and the render workers (started with this environment) alike. The device scale
// is always set, so that a display that scales by itself does not change the pictures.
void SetEngineEnvironment(const CommandLine& line) {
  setenv("GDK_SCALE", std::to_string(line.scaleFactor).c_str(), 1);
  if (line.colorScheme) {
    setenv("GTK_THEME", *line.colorScheme == "dark" ? "Adwaita:dark" : "Adwaita", 1);
  }
}

void PrintRefusal(const std::string& text) { std::fprintf(stderr, "rendora: %s\n", text.c_str()); }

// The options of the run: a settings file (or a reset record) with the command line over it.
struct LoadedOptions {
  settings::OptionValues values;
  settings::FilterLists lists;
  bool untilLoaded = false;
  // --- the pictures: the file's Format, Quality and split, then the format and options chosen ---
  settings::OutputSettings output;
  const convert::PictureFormat* format = &convert::DefaultPictureFormat();
  convert::PictureOptions picture;
  // --- end of the pictures ---
  convert::PageOptions page;
  std::string settingsPath;  // the file loaded, "" for none
  net::ConnectionOptions connection;
  settings::ResumeOptions resume;
};

// Loads the settings file the command names into `options`; an error text, or empty.
std::string LoadSettingsFile(const CommandLine& line, LoadedOptions& options) {
  settings::SettingsRecord record(options.values, options.lists);
  std::string path = line.settingsFile;
  if (line.kind == CommandKind::kRun && path.empty()) {
    // The file the window would load at start-up: the one set.ini names, else Corvane.ini.
    record.SetProgramFolder(base::GetSettingsFolder());
    record.LoadStartupSettings();
    path = record.SettingsPath();
  }
  if (path.empty()) {
    record.ResetSettings();
    options.output = record.Output();
    options.connection = record.Connection();
    options.resume = record.Resume();
    return {};
  }
  if (!base::FileExists(path) || base::IsDirectory(path)) {
    return FillUtf8(TextId::kCliSettingsMissing, {DisplayText(path)});
  }
  record.SetSettingsPath(path);
  record.LoadSettings();
  options.output = record.Output();
  options.settingsPath = path;
  options.connection = record.Connection();
  options.resume = record.Resume();
  const settings::ProfileFile profile;
  const settings::KeyFile file(profile, path);
  options.untilLoaded = file.Switch(settings::DefinitionOf(settings::Key::kUntilLoaded));
  options.page = convert::ReadPageOptions(file);
  return {};
}

// What the command line asks of every page, over what the settings file asked.
void ApplyPageOptions(const CommandLine::PageOptionLine& line, convert::PageOptions& page) {
  if (line.selector) page.selector = *line.selector;
  if (line.padding) page.padding = *line.padding;
  if (line.hide) page.hide = *line.hide;
  if (line.remove) page.remove = *line.remove;
  if (line.style) page.style = *line.style;
  if (line.script) page.script = *line.script;
  page.noJavaScript = page.noJavaScript || line.noJavaScript;
  page.confine = page.confine || line.confine;
  page.noNetwork = page.noNetwork || line.noNetwork;
}

void ApplyCommandLine(const CommandLine& line, LoadedOptions& options) {
  if (line.kind != CommandKind::kRun) {
    options.values.SetOptionText(Field::kReadPath, line.source);
    options.values.SetOptionText(Field::kWritePath, line.output);
  }
  for (const auto& [field, text] : line.texts) options.values.SetOptionText(field, text);
  for (const auto& [field, on] : line.switches) options.values.SetOptionChecked(field, on);
  for (const RangeOption& range : line.ranges) {
    options.values.SetOptionChecked(settings::CgiField(range.row), range.inUse);
    if (!range.inUse) continue;
    options.values.SetOptionText(settings::FromField(range.row), range.from);
    options.values.SetOptionText(settings::ToField(range.row), range.to);
    options.values.SetOptionText(settings::StepField(range.row), range.step);
  }
  if (line.enableList) {
    options.lists.m_enableList = *line.enableList;
    options.lists.m_enable = true;
  }
  if (line.disableList) {
    options.lists.m_disableList = *line.disableList;
    options.lists.m_disable = true;
  }
  if (line.untilLoaded) options.untilLoaded = *line.untilLoaded;
  if (line.formatGiven) options.output.m_format = line.format->Name();
  if (line.quality) options.output.m_quality = *line.quality;
  if (line.splitHeight) {
    options.output.m_splitHeight = *line.splitHeight;
    options.output.m_splitOverlap = line.splitOverlap.value_or(0);
  }
  options.picture.transparent = line.transparent;
  ApplyPageOptions(line.page, options.page);
  // Without a settings file the command line's own default: files side by side.
  if (line.settingsFile.empty() && line.kind != CommandKind::kRun) {
    options.connection.perServer = kDefaultPerServer;
  }
  line.connection.ApplyTo(options.connection);
  options.connection = options.connection.WithAbsolutePaths();
  line.ApplyResumeTo(options.resume);
}

// Chooses the pictures' format and options from the settings file's and the command line's;
// the text that refuses a choice that cannot be written, or empty.
std::string ChoosePictures(LoadedOptions& options) {
  const settings::OutputSettings& output = options.output;
  options.format = convert::FindPictureFormat(output.m_format);
  if (!options.format) {
    return FillUtf8(TextId::kCliFormatInvalid,
                    {convert::PictureFormatNames(", "), DisplayText(output.m_format)});
  }
  options.picture.quality = output.m_quality;
  options.picture.splitHeight = output.m_splitHeight;
  options.picture.splitOverlap = output.m_splitOverlap;
  const std::string split =
      std::to_string(output.m_splitHeight) + ":" + std::to_string(output.m_splitOverlap);
  switch (convert::CheckPictureChoice(*options.format, options.picture)) {
    case convert::PictureChoiceProblem::kNone: return {};
    case convert::PictureChoiceProblem::kQuality:
      return FillUtf8(TextId::kCliQualityInvalid, {std::to_string(output.m_quality)});
    case convert::PictureChoiceProblem::kSplit:
    case convert::PictureChoiceProblem::kOverlap:
      return FillUtf8(TextId::kCliSplitInvalid, {split});
    case convert::PictureChoiceProblem::kSplitTooTall:
      return FillUtf8(TextId::kCliSplitTooTall,
                      {std::to_string(output.m_splitHeight), options.format->Name(),
                       std::to_string(options.format->LargestSide())});
    case convert::PictureChoiceProblem::kTransparency:
      return FillUtf8(TextId::kCliTransparentFormat, {options.format->Name()});
  }
  return {};
}

// Checks that the command fits its source before anything starts; an error text, or empty.
std::string CheckSource(const CommandLine& line, const settings::OptionValues& values) {
  const std::string source = values.GetOptionText(Field::kReadPath);
  const std::string output = values.GetOptionText(Field::kWritePath);
  if (source.empty() || output.empty()) {
    return std::string(resources::TextUtf8(TextId::kCliPathsNotSet));
  }
  const bool crawl = base::IsWebAddress(source);
  if (line.kind == CommandKind::kConvert && crawl) {
    return FillUtf8(TextId::kCliSourceIsAddress, {DisplayText(source)});
  }
  if (line.kind == CommandKind::kCrawl && !crawl) {
    return FillUtf8(TextId::kCliSourceNotAddress, {DisplayText(source)});
  }
  if (!crawl && !base::IsDirectory(source)) {
    return FillUtf8(TextId::kCliSourceMissing, {DisplayText(source)});
  }
  if (crawl && line.shardCount > 1) {
    return std::string(resources::TextUtf8(TextId::kCliShardOnlyFolders));
  }
  if (!crawl && line.stateFile) {
    return std::string(resources::TextUtf8(TextId::kCliStateOnlyCrawl));
  }
  return {};
}

DroppedLinks DroppedOf(const download::CrawlState& crawl) {
  DroppedLinks dropped;
  for (std::size_t i = 0; i < download::kDropReasons; ++i) {
    const auto reason = static_cast<download::DropReason>(i);
    dropped.counts.emplace_back(download::DropReasonName(reason), crawl.m_dropped[i]);
  }
  return dropped;
}

// The PNG compression level of the command line unless --png-level: fast, a little larger.
constexpr int kFastPngLevel = 1;

// How the command's pages are taken. convert and crawl are fast unless --fixed-wait: until
// loaded, one document snapshot where it gives the tiles' picture, no compositing. run and
// --fixed-wait take them as the window does (run waits until loaded where its file says so).
struct RunMode {
  bool untilLoaded = false;
  convert::CaptureMethod capture = convert::CaptureMethod::kTiles;
  bool compositing = true;
  int pngLevel = kFastPngLevel;
};

RunMode ModeFor(const CommandLine& line, const LoadedOptions& options) {
  const bool fast = line.kind != CommandKind::kRun && !line.fixedWait;
  RunMode mode;
  mode.untilLoaded = fast ? line.untilLoaded.value_or(true) : options.untilLoaded;
  mode.capture = line.capture.value_or(fast ? convert::CaptureMethod::kSnapshot
                                            : convert::CaptureMethod::kTiles);
  mode.compositing = !fast;
  mode.pngLevel = line.pngLevel.value_or(kFastPngLevel);
  return mode;
}

// Where pages are shown: each render worker's view has a place of its own on the virtual
// display, beside the others.
DisplayChoice DisplayFor(const CommandLine& line, const LoadedOptions& options,
                         const RunMode& mode) {
  DisplayChoice display{line.useDisplay};
  display.compositing = mode.compositing;
  display.scale = line.scaleFactor;
  if (line.jobs > 1) {
    const int width = base::ToInt(options.values.GetOptionText(Field::kSize));
    display.screenWidth = std::clamp(line.jobs * (std::max(width, 0) + HeadlessSession::kFrameGap),
                                     VirtualDisplay::kScreenWidth, kWidestScreen);
  }
  // A scaled screen holds the same views in as many times its device pixels, up to the largest
  // screen the server makes.
  display.screenWidth = std::min(display.screenWidth * display.scale, kLargestScreen);
  return display;
}

PoolOptions PoolOptionsFor(const CommandLine& line, const LoadedOptions& options,
                           const RunMode& mode, const DisplayChoice& display) {
  PoolOptions pooled;
  pooled.jobs = line.jobs;
  pooled.display = display;
  pooled.pageTimeout = std::chrono::seconds(line.pageTimeoutSeconds);
  pooled.setup = WorkerSetup{
      options.values.GetOptionText(Field::kSize), options.values.GetOptionText(Field::kWait),
      options.values.GetOptionText(Field::kPercent), options.format, mode.untilLoaded};
  pooled.setup.capture = mode.capture;
  pooled.setup.compositing = mode.compositing;
  pooled.setup.pngLevel = mode.pngLevel;
  pooled.setup.quality = options.picture.quality;
  pooled.setup.splitHeight = options.picture.splitHeight;
  pooled.setup.splitOverlap = options.picture.splitOverlap;
  pooled.setup.transparent = options.picture.transparent;
  pooled.setup.page = options.page;
  // As the folder walk takes it: absolute, ending in its separator.
  pooled.setup.sourceFolder = base::AbsoluteFolder(
      base::WithTrailingSeparator(options.values.GetOptionText(Field::kReadPath)));
  pooled.setup.userAgent = options.connection.userAgent;
  pooled.setup.proxy = options.connection.proxy;
  pooled.setup.cookieFile = options.connection.loadCookies;
  return pooled;
}

// The crawl's transfers: the library's, with the crawl's manners around it.
struct CrawlTransfers {
  net::CurlTransfer curl;
  net::PoliteTransfer polite{curl};

  // Takes the connection options, with `hook` for every transfer and pause; the refusal's text
  // when the cookie file cannot be read, else empty.
  std::string SetUp(const net::ConnectionOptions& options, const std::function<bool()>& hook) {
    curl.SetProgressHook(hook);
    polite.SetProgressHook(hook);
    polite.SetOptions(options);
    std::string error;
    if (curl.SetConnectionOptions(options, error)) return {};
    return FillUtf8(TextId::kCookiesUnreadable, {DisplayText(options.loadCookies)});
  }
  // Writes the run's cookies where the options ask; a failure goes to the report.
  void SaveCookies(const net::ConnectionOptions& options, RunReport& report) {
    std::string error;
    if (curl.SaveCookies(error)) return;
    report.Error(FillUtf8(TextId::kCookiesUnwritable, {DisplayText(options.saveCookies)}));
  }
};

// How the crawl keeps its journal: --resume continues one, --state starts one; a state file that
// a settings file names is continued where it holds an unfinished crawl, as the window's Start
// offers.
download::JournalUse JournalUseFor(const CommandLine& line, const LoadedOptions& options) {
  const std::string& path = options.resume.stateFile;
  if (line.resume) return download::JournalUse::kResume;
  if (line.stateFile) return download::JournalUse::kNew;
  const int limit = base::ToInt(options.values.GetOptionText(Field::kCount));
  return download::ChooseJournalUse(path, limit, [] { return true; });
}

// Runs the conversion or the crawl of `options` as Start does; the exit status.
// The run's options: the format, the mode's waits and capture, the pictures' and pages' options.
void SetUpState(convert::RunState& state, const LoadedOptions& options, const RunMode& mode) {
  state.m_format = options.format;
  state.m_untilLoaded = mode.untilLoaded;
  state.m_capture = mode.capture;
  state.m_pictureOptions = options.picture;
  state.m_pictureOptions.compression = mode.pngLevel;
  state.m_pageOptions = options.page;
  state.m_noClobber = options.resume.noClobber;
}

// Where the render workers' records go: to the report, and to the crawl's journal while a crawl
// runs (a page handed on is finished when its record comes).
std::function<void(const convert::EntryRecord&)> RecordTo(CliControls& controls,
                                                          download::CrawlDriver*& crawl) {
  return [&controls, &crawl](const convert::EntryRecord& record) {
    controls.RecordEntry(record);
    if (crawl) crawl->PageRecorded(record);
  };
}

int Run(const CommandLine& line, LoadedOptions& options, RunReport& report) {
  convert::RunState state;
  const RunMode mode = ModeFor(line, options);
  SetUpState(state, options, mode);
  download::CrawlState crawlState;
  CrawlTransfers transfers;
  transfers.curl.SetContinueDownloads(options.resume.continueDownloads);
  download::CrawlDriver* crawlDriver = nullptr;  // hears the records of pages handed on
  CliControls controls(options.values, state, report);
  // A transfer or a pause keeps the run's Ctrl-C working: it ends within its hook's interval.
  const std::string refusal = transfers.SetUp(options.connection, [&controls, &state] {
    controls.PumpMessages();
    return !state.m_stop.Requested();
  });
  if (!refusal.empty()) {
    PrintRefusal(refusal);
    return kExitRefused;
  }

  const DisplayChoice display = DisplayFor(line, options, mode);
  std::unique_ptr<SessionRenderer> session;
  std::unique_ptr<WorkerPool> pool;
  convert::PageRenderer* renderer = nullptr;
  if (line.jobs > 1) {
    pool =
        std::make_unique<WorkerPool>(state, controls, PoolOptionsFor(line, options, mode, display),
                                     RecordTo(controls, crawlDriver));
    controls.SetPumpHook([&pool] { pool->Poll(0); });
    renderer = pool.get();
  } else {
    session = std::make_unique<SessionRenderer>(state, controls, display);
    session->SetIdentity(
        {options.connection.userAgent, options.connection.proxy, options.connection.loadCookies});
    renderer = session.get();
  }
  std::optional<ShardFilter> shard;
  if (line.shardCount > 1) {
    shard.emplace(*renderer, state, line.shardIndex, line.shardCount);
    renderer = &*shard;
  }
  download::CrawlDriver crawl(state, controls, transfers.polite, *renderer, options.lists,
                              crawlState);
  crawl.SetJournal(options.resume.stateFile, JournalUseFor(line, options));
  crawlDriver = &crawl;
  bool crawled = false;
  convert::ConversionRun run(state, controls, *renderer, [&] {
    crawled = true;
    return crawl.Crawl();
  });
  const convert::RunOutcome outcome = run.OnStart();
  if (pool) pool->Finish();

  const std::string& startError = pool ? pool->StartError() : session->StartError();
  if (!startError.empty()) report.Error(startError);
  if (crawled) transfers.SaveCookies(options.connection, report);
  const DroppedLinks dropped = DroppedOf(crawlState);
  report.Finish(Interrupted(), crawled ? &dropped : nullptr);
  return ExitStatus(outcome, RunEnd{Interrupted(), !startError.empty(),
                                    report.Count(convert::EntryOutcome::kFailed) > 0});
}

}  // namespace

int RunCommandLine(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == kRenderWorkerArgument) return RunRenderWorker();
  const ParsedCommandLine parsed =
      ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed.line) {
    PrintRefusal(parsed.error);
    std::fprintf(stderr, "%s\n", resources::TextUtf8(TextId::kCliSeeHelp).data());
    return kExitRefused;
  }
  const CommandLine& line = *parsed.line;
  if (line.kind == CommandKind::kHelp) {
    std::fputs(HelpText().c_str(), stdout);
    return kExitDone;
  }
  if (line.kind == CommandKind::kVersion) {
    std::puts("rendora 1.0");
    return kExitDone;
  }

  LoadedOptions options;
  std::string error = LoadSettingsFile(line, options);
  if (error.empty()) {
    ApplyCommandLine(line, options);
    error = ChoosePictures(options);
  }
  if (error.empty()) {
    error = CheckSource(line, options.values);
  }
  if (!error.empty()) {
    PrintRefusal(error);
    return kExitRefused;
  }
  RunReport report(line.quiet, isatty(STDERR_FILENO) == 1);
  if (!line.reportFile.empty() && !report.OpenFile(line.reportFile, error)) {
    PrintRefusal(FillUtf8(TextId::kCliReportUnwritable, {error}));
    return kExitRefused;
  }
  // The report to look at: --report-html, else the one the settings file names (ReportHtml).
  const std::string htmlReport =
      !line.htmlReportFile.empty()
          ? base::FromNativeName(line.htmlReportFile)
          : convert::ReportPathOf(options.settingsPath,
                                  options.values.GetOptionText(Field::kWritePath));
  if (!htmlReport.empty() && !report.OpenHtmlFile(htmlReport, error)) {
    PrintRefusal(FillUtf8(TextId::kCliReportUnwritable, {error}));
    return kExitRefused;
  }
  CatchInterrupts();
  SetEngineEnvironment(line);
  return Run(line, options, report);
}

}  // namespace cli
