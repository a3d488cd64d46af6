// The crawl run: validation, seeding, the queue loop, downloads and page rendering.
#include "download/crawl_driver.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <utility>

#include "base/file_system.h"
#include "base/text.h"
#include "base/tools.h"
#include "base/locations.h"
#include "convert/view_page_renderer.h"
#include "download/address_rules.h"
#include "download/address_template.h"
#include "download/link_harvester.h"
#include "net/address_resolution.h"
#include "resources/texts.h"

namespace download {

namespace {

using resources::Text;
using resources::TextId;
using settings::Field;

struct AddressParts {
  std::string folder;  // up to and including the last "/" (empty without one)
  std::string name;    // behind it
};

AddressParts SplitFolderAndName(const std::string& address) {
  AddressParts parts;
  base::SplitAtLast(address, parts.folder, parts.name, '/');
  return parts;
}

using Clock = std::chrono::steady_clock;

long long MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// The report's reason for a failed transfer with `cause`.
convert::EntryReason TransferReason(net::TransferCause cause) {
  using convert::EntryReason;
  switch (cause) {
    // A failed result without a cause of its own (none is made so) still says it failed.
    case net::TransferCause::kNone: return EntryReason::kTransfer;
    case net::TransferCause::kHttpStatus: return EntryReason::kHttp;
    case net::TransferCause::kEmpty: return EntryReason::kEmpty;
    case net::TransferCause::kTimeout: return EntryReason::kTransferTimeout;
    case net::TransferCause::kTooLarge: return EntryReason::kTooLarge;
    case net::TransferCause::kStopped: return EntryReason::kStopped;
    case net::TransferCause::kRefused: return EntryReason::kRefused;
    case net::TransferCause::kNameNotFound: return EntryReason::kNameNotFound;
    case net::TransferCause::kTls: return EntryReason::kTls;
    case net::TransferCause::kWriteError: return EntryReason::kWrite;
    case net::TransferCause::kBadAddress: return EntryReason::kBadAddress;
    case net::TransferCause::kConnectionLost: return EntryReason::kTransfer;
    case net::TransferCause::kRobots: return EntryReason::kRobots;
    case net::TransferCause::kOther: return EntryReason::kTransfer;
  }
  return EntryReason::kTransfer;
}

// The record of a queue entry as its transfer left it: the reason from the transfer's cause,
// its words as the detail, its status in httpStatus, its tries. A stopped transfer is skipped, as
// a stopped page is, and so is an address that robots.txt keeps out.
convert::EntryRecord TransferRecord(const std::string& address, QueueKind kind,
                                    const net::TransferResult& result, Clock::time_point start) {
  convert::EntryRecord record;
  record.source = address;
  record.kind = QueueKindName(kind);
  record.httpStatus = static_cast<int>(result.status);
  record.bytes = static_cast<long long>(result.bytes);
  record.milliseconds = MillisecondsSince(start);
  record.tries = result.tries;
  if (!result.ok) {
    // Stopped, or kept out by robots.txt: passed over on purpose, not failed.
    const bool passedOver =
        result.cause == net::TransferCause::kStopped || result.cause == net::TransferCause::kRobots;
    record.outcome = passedOver ? convert::EntryOutcome::kSkipped : convert::EntryOutcome::kFailed;
    record.reason = TransferReason(result.cause);
    record.detail = result.error;
  }
  return record;
}

convert::EntryRecord Skipped(convert::EntryRecord record, convert::EntryReason reason) {
  record.outcome = convert::EntryOutcome::kSkipped;
  record.reason = reason;
  return record;
}

}  // namespace

JournalUse ChooseJournalUse(const std::string& path, int entryLimit,
                            const std::function<bool()>& askResume) {
  if (path.empty()) return JournalUse::kNone;
  return HasUnfinishedCrawl(path, entryLimit) && askResume() ? JournalUse::kResume
                                                             : JournalUse::kNew;
}

bool StaysInsideFolder(std::string_view relative) {
  if (!relative.empty() && relative.front() == base::kPathSeparator) return false;
  std::size_t start = 0;
  while (start <= relative.size()) {
    const std::size_t end = std::min(relative.find(base::kPathSeparator, start), relative.size());
    if (relative.substr(start, end - start) == "..") return false;
    start = end + 1;
  }
  return true;
}

CrawlDriver::CrawlDriver(convert::RunState& run, convert::RunControls& controls,
                         net::Transfer& transfer, convert::PageRenderer& renderer,
                         settings::FilterLists& filters, CrawlState& state)
    : m_run(run),
      m_controls(controls),
      m_transfer(transfer),
      m_renderer(renderer),
      m_filters(filters),
      m_state(state) {}

bool CrawlDriver::Stopped() const { return m_run.m_stop.Requested() || m_run.m_closing; }

std::optional<TextId> CrawlDriver::Refuse(TextId message) {
  m_controls.ShowMessage(Text(message));
  return message;
}

bool CrawlDriver::MakeOutputFolderCurrent() {
  // A missing folder is announced before it is created.
  const auto announce = [this] { m_controls.ShowMessage(Text(TextId::kFolderMissing)); };
  return base::MakeFolderCurrent(m_output, announce);
}

std::optional<TextId> CrawlDriver::CheckOptions() {
  if (!MakeOutputFolderCurrent()) return Refuse(TextId::kCannotCreateFolder);
  // Every row in use needs its first value, last value and step, in that order; a blank text
  // counts as set (it reads as 0).
  for (int row = 1; row <= settings::kPlaceholderRows; ++row) {
    if (!m_controls.IsOptionChecked(settings::CgiField(row))) continue;
    for (Field field :
         {settings::FromField(row), settings::ToField(row), settings::StepField(row)}) {
      if (m_controls.GetOptionText(field).empty()) {
        const std::optional<TextId> refusal = Refuse(TextId::kValueNotSet);
        m_controls.FocusOption(field);
        return refusal;
      }
    }
  }
  m_state.m_entryLimit = base::ToInt(m_controls.GetOptionText(Field::kCount));
  if (m_state.m_entryLimit < 1) return Refuse(TextId::kCountTooSmall);
  if (base::ToInt(m_controls.GetOptionText(Field::kLinkCount)) < 1) {
    return Refuse(TextId::kLinkCountTooSmall);
  }
  return std::nullopt;
}

convert::RunOutcome CrawlDriver::Crawl() {
  m_run.m_pageCount = 1;
  m_successes = 0;
  const std::string addressTemplate = m_controls.GetOptionText(Field::kReadPath);
  // The output folder becomes the current directory below, so a relative one is fixed first,
  // against the directory that was current at Start; otherwise every later path would be taken
  // from inside it.
  m_output = base::AbsoluteFolder(
      base::WithTrailingSeparator(m_controls.GetOptionText(Field::kWritePath)));
  m_run.m_writePath = m_output;
  // The journal's path too: the output folder becomes current before the journal is opened.
  const std::string journalPath = base::AbsoluteFolder(m_journalPath);
  // Links are queued in normal form (lower-case scheme and server, no default port), so the start
  // folder and server that the rules compare them with are taken in the same form.
  m_state.m_startFolder = net::NormalizeAddress(SplitFolderAndName(addressTemplate).folder);

  if (const std::optional<TextId> refusal = CheckOptions()) {
    return convert::RunOutcome::Refused(*refusal);
  }
  m_state.Clear();
  // The journal hears the queue during this crawl only, however it ends.
  struct Unobserve {
    CrawlState& state;
    ~Unobserve() { state.m_onAppend = nullptr; }
  } unobserve{m_state};
  // A Stop pressed while the checks showed their messages is forgotten, as one before Start.
  m_run.m_stop.Clear();
  if (const std::optional<TextId> refusal = OpenJournal(addressTemplate, journalPath)) {
    return convert::RunOutcome::Refused(*refusal);
  }

  const SeedResult seeded = Seed(addressTemplate);
  switch (seeded.end) {
    case SeedEnd::kQueued: break;
    case SeedEnd::kStepTooSmall: return convert::RunOutcome::Refused(TextId::kStepTooSmall);
    // No default document answered: the run ends without a message, as one with nothing to do.
    case SeedEnd::kNoDefaultDocument: return {convert::RunResult::kRan};
  }
  m_state.m_startServer = base::ToLower(m_transfer.GetServerName(seeded.lastAddress));

  RunQueue();
  // A journal that could not be written to the end (a full disk) cannot resume this crawl.
  if (m_journal.Failed()) {
    m_controls.ShowMessage(resources::PathMessage(TextId::kStateFileUnwritable, journalPath));
  }
  m_controls.SetStatusText(resources::DownloadCountText(m_successes));
  return {Stopped() ? convert::RunResult::kStopped : convert::RunResult::kRan};
}

void CrawlDriver::RunQueue() {
  for (int position = 0; position < m_state.size();) {
    if (position >= m_state.m_entryLimit) break;
    m_controls.PumpMessages();
    if (Stopped()) break;
    // A run of files side by side where the transfer allows it, else one entry. An entry
    // finished before the crawl was resumed is counted, never requested again.
    const int successes = m_successes;
    const bool batch =
        m_transfer.TransfersAtOnce() > 1 && m_state.m_kindQueue[position] == QueueKind::kSrc;
    const int done = Finished(position) ? 1
                     : batch            ? DownloadRun(position)
                                        : (ProcessEntry(position), 1);
    if (!batch && !Finished(position)) FinishEntry(position, m_successes - successes);
    position += done;
    m_run.m_pageCount += done;
  }
}

void CrawlDriver::SetJournal(std::string path, JournalUse use) {
  m_journalPath = std::move(path);
  m_journalUse = use;
}

bool CrawlDriver::Finished(int position) const {
  return position < static_cast<int>(m_finished.size()) && m_finished[position];
}

std::optional<TextId> CrawlDriver::OpenJournal(const std::string& addressTemplate,
                                               const std::string& path) {
  m_resumed.reset();
  m_finished.clear();
  m_pending.clear();
  m_journal = CrawlJournal();
  if (m_journalUse == JournalUse::kNone) return std::nullopt;
  const CrawlShape shape = DescribeCrawlShape(addressTemplate, m_controls, m_filters);
  if (m_journalUse == JournalUse::kResume) {
    m_resumed = ReadJournalFile(path);
    if (!m_resumed || !m_resumed->recognised) {
      m_controls.ShowMessage(resources::PathMessage(TextId::kStateFileNotJournal, path));
      return TextId::kStateFileNotJournal;
    }
    if (const std::optional<ShapeDifference> difference = CompareShapes(m_resumed->shape, shape)) {
      m_controls.ShowMessage(resources::ResumeDiffersText(ShapeLabel(difference->key),
                                                          difference->before, difference->now));
      return TextId::kResumeDiffers;
    }
    for (const JournalEntry& entry : m_resumed->queue) {
      m_state.m_harvesting = entry.linkedFrom;  // the entry keeps the page that linked it
      m_state.Append(entry.address, entry.kind);
    }
    m_state.m_harvesting = -1;
    m_finished = m_resumed->finished;
    m_successes = m_resumed->successes;
  }
  const bool opened =
      m_resumed ? m_journal.Continue(path, m_resumed->wholeBytes) : m_journal.Create(path, shape);
  if (!opened) {
    m_controls.ShowMessage(resources::PathMessage(TextId::kStateFileUnwritable, path));
    return TextId::kStateFileUnwritable;
  }
  m_state.m_onAppend = [this](int position) {
    m_journal.Queued({m_state.m_addressQueue[position], m_state.m_kindQueue[position],
                      m_state.m_linkedFrom[position]});
  };
  return std::nullopt;
}

SeedResult CrawlDriver::Seed(const std::string& addressTemplate) {
  if (m_resumed && m_resumed->seedingDone) return {SeedEnd::kQueued, m_resumed->lastSeeded};
  SeedProgress progress;
  if (m_resumed) progress.after = m_resumed->seededTo;
  if (m_journal.IsOpen()) {
    progress.produced = [this](const PlaceholderValues& values) { m_journal.Seeded(values); };
  }
  const SeedResult seeded =
      SeedQueue(addressTemplate, m_controls, m_run, m_transfer, m_state, progress);
  // A Stop during seeding leaves it to the resumed crawl to finish.
  if (seeded.end == SeedEnd::kQueued && !Stopped()) m_journal.SeedingDone(seeded.lastAddress);
  return seeded;
}

void CrawlDriver::FinishEntry(int position, int successes) {
  const bool handedOn = std::exchange(m_handedOn, false);
  if (!m_journal.IsOpen() || Stopped()) return;
  if (handedOn) {
    m_pending[m_state.m_addressQueue[position]] = {position, successes};
  } else {
    m_journal.Finished(position, successes);
  }
}

void CrawlDriver::PageRecorded(const convert::EntryRecord& record) {
  const auto pending = m_pending.find(record.source);
  if (pending == m_pending.end()) return;
  if (record.reason != convert::EntryReason::kStopped) {
    m_journal.Finished(pending->second.position, pending->second.successes);
  }
  m_pending.erase(pending);
}

void CrawlDriver::ProcessEntry(int position) {
  // Copies: harvesting appends to the queue and may move its texts.
  const std::string address = m_state.m_addressQueue[position];
  const QueueKind kind = m_state.m_kindQueue[position];
  const AddressParts parts = SplitFolderAndName(address);

  const bool pageWord = HasPageWord(address);
  m_transfer.SetLinkingPage(m_state.LinkingPage(position));
  if (kind == QueueKind::kUrl || pageWord) {
    m_controls.SetStatusText(
        resources::DownloadProgressText(position + 1, m_state.size(), address));
  }
  if (kind == QueueKind::kSrc) {
    DownloadEntry(address);
    return;
  }
  const Clock::time_point start = Clock::now();
  const net::TransferResult fetched = FetchPage(address, kind);
  const convert::EntryRecord record = TransferRecord(address, kind, fetched, start);
  if (!fetched.ok) {
    m_controls.RecordEntry(record);
    return;
  }
  if (IsPageAddress(address)) {
    m_state.m_harvesting = position;
    HarvestLinks(m_state, m_controls, m_filters, address, m_pageText);
    m_state.m_harvesting = -1;
  }
  if (kind == QueueKind::kUrl || pageWord) {
    RenderEntry(parts.folder, parts.name, record);
  } else {
    m_controls.RecordEntry(Skipped(record, convert::EntryReason::kNotAPage));
  }
}

std::optional<net::FileDownload> CrawlDriver::FileFor(const std::string& address,
                                                      Clock::time_point start) {
  const AddressParts parts = SplitFolderAndName(address);
  const bool query = base::FindChar(parts.name, '?') != base::kNotFound;
  const std::string fileName = query ? QueryToFileName(parts.name) : parts.name;
  const std::string pathForm = AddressToPathForm(parts.folder);
  const bool same = m_controls.IsOptionChecked(Field::kSame);
  const std::string relative = same ? fileName : pathForm + fileName;
  // An address that would name a file outside the output folder is passed over unfetched.
  if (!StaysInsideFolder(relative)) {
    net::TransferResult none;
    none.tries = 0;
    m_controls.RecordEntry(Skipped(TransferRecord(address, QueueKind::kSrc, none, start),
                                   convert::EntryReason::kOutsideOutputFolder));
    return std::nullopt;
  }
  if (!same) base::CreateFolderPath(m_output + pathForm);
  if (m_run.m_noClobber && base::IsNonEmptyFile(m_output + relative)) {
    net::TransferResult none;
    none.tries = 0;
    convert::EntryRecord kept = TransferRecord(address, QueueKind::kSrc, none, start);
    kept.output = m_output + relative;
    m_controls.RecordEntry(Skipped(kept, convert::EntryReason::kExists));
    return std::nullopt;
  }
  return net::FileDownload{m_output + relative, address, query};
}

void CrawlDriver::RecordDownload(const net::FileDownload& file, const net::TransferResult& result,
                                 Clock::time_point start) {
  convert::EntryRecord record = TransferRecord(file.address, QueueKind::kSrc, result, start);
  if (result.ok) {
    ++m_successes;
    record.output = file.filePath;
  }
  m_controls.RecordEntry(record);
}

void CrawlDriver::DownloadEntry(const std::string& address) {
  const Clock::time_point start = Clock::now();
  const std::optional<net::FileDownload> file = FileFor(address, start);
  if (!file) return;
  const net::TransferResult result = file->query
                                         ? m_transfer.DownloadQueryFile(file->filePath, address)
                                         : m_transfer.DownloadFile(file->filePath, address);
  RecordDownload(*file, result, start);
}

int CrawlDriver::DownloadRun(int position) {
  // The files from `position` on up to the next page, the entry limit or the end of the queue:
  // nothing is queued while they are fetched, so they may overlap, and their records go out in
  // queue order as one by one.
  // A journalled crawl takes as many as go at once: the files of a run are finished together,
  // so a crawl cut off loses no more than those in flight.
  constexpr int kLongestRun = 256;
  const int longest = m_journal.IsOpen() ? m_transfer.TransfersAtOnce() : kLongestRun;
  int end = position;
  while (end < m_state.size() && end < m_state.m_entryLimit && end - position < longest &&
         m_state.m_kindQueue[end] == QueueKind::kSrc) {
    ++end;
  }
  const Clock::time_point start = Clock::now();
  std::vector<net::FileDownload> files;
  std::vector<int> positions;
  for (int p = position; p < end; ++p) {
    if (Finished(p)) continue;
    const std::string& address = m_state.m_addressQueue[p];
    if (HasPageWord(address)) {
      m_controls.SetStatusText(resources::DownloadProgressText(p + 1, m_state.size(), address));
    }
    // An entry outside the output folder is recorded now; the others in their turn below.
    if (std::optional<net::FileDownload> file = FileFor(address, start)) {
      file->linkingPage = m_state.LinkingPage(p);
      files.push_back(std::move(*file));
      positions.push_back(p);
    } else {
      FinishEntry(p, 0);
    }
  }
  const std::vector<net::TransferResult> results = m_transfer.DownloadFiles(files);
  for (std::size_t i = 0; i < files.size(); ++i) {
    RecordDownload(files[i], results[i], start);
    FinishEntry(positions[i], results[i].ok ? 1 : 0);
  }
  return end - position;
}

net::TransferResult CrawlDriver::FetchPage(const std::string& address, QueueKind kind) {
  if (kind == QueueKind::kCgi) {
    // The form GET goes first; only the POST's answer decides and becomes the page text.
    m_transfer.GetFormText("", address);
    net::TransferResult posted = m_transfer.PostFormText("", address);
    if (!posted.ok) return posted;
    m_pageText = std::move(posted.text);
    ++m_successes;
    return posted;
  }
  net::TransferResult fetched = m_transfer.GetText(address);
  m_pageText = std::move(fetched.text);
  if (fetched.ok && HasPageWord(address)) ++m_successes;
  return fetched;
}

void CrawlDriver::RenderEntry(const std::string& folder, const std::string& name,
                              const convert::EntryRecord& fetched) {
  const std::string pathForm = AddressToPathForm(folder);
  std::string outputFolder = m_output;
  if (!m_controls.IsOptionChecked(Field::kSame)) {
    // A bitmap that would land outside the output folder is not written.
    if (!StaysInsideFolder(pathForm)) {
      m_controls.RecordEntry(Skipped(fetched, convert::EntryReason::kOutsideOutputFolder));
      return;
    }
    base::CreateFolderPath(m_output + pathForm);
    outputFolder += pathForm;
  }
  if (m_run.m_noClobber) {
    const std::optional<std::string> picture =
        convert::OutputPathFor(outputFolder, name, *m_run.m_format);
    if (picture && base::IsNonEmptyFile(*picture)) {
      convert::EntryRecord kept = fetched;
      kept.output = picture;
      m_controls.RecordEntry(Skipped(kept, convert::EntryReason::kExists));
      return;
    }
  }
  // The page is loaded as its split parts put together again (a "//" before the name is one "/").
  // Its record is completed by the rendering, which also adds its own time.
  const convert::PageResult result = m_renderer.RenderPage(
      convert::PageJob{folder + name, name, outputFolder, m_run.m_pageCount, fetched});
  if (result.record) m_controls.RecordEntry(*result.record);
  m_handedOn = result.taken == convert::PageTaken::kHandedOn;
}

}  // namespace download
