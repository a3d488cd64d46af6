// Rendering N pages at once on render workers that share one display.
#include "cli/worker_pool.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <utility>

#include "base/file_system.h"
#include "cli/cli_controls.h"
#include "cli/interrupt.h"
#include "cli/render_worker.h"
#include "cli/run_report.h"
#include "convert/picture_file.h"
#include "convert/view_page_renderer.h"
#include "resources/texts.h"

namespace cli {
namespace {

// Gives the worker's picture its place: a rename where no file is there yet; otherwise a copy
// through the atomic writer, which writes into the real file behind a link, keeps its mode and
// refuses one the user may not write, as a picture written in place does.
bool MovePicture(const std::string& from, const std::string& to) {
  const std::optional<std::filesystem::path> source = base::ToNativePath(from);
  const std::optional<std::filesystem::path> target = base::ToNativePath(to);
  if (!source || !target) return false;
  std::error_code error;
  if (!std::filesystem::exists(std::filesystem::symlink_status(*target, error))) {
    std::filesystem::rename(*source, *target, error);
    if (!error) return true;
  }
  const std::optional<std::string> bytes = base::ReadWholeFile(from);
  return bytes && base::WriteFileAtomically(to, *bytes);
}

// Moves a page's picture, or every part of a split one, from the worker's folder to the output
// folder, naming the moved parts in the record; false when one could not be moved.
// The parts are taken from where the worker was told to write the picture, not from its answer.
bool MovePictures(const std::string& workPath, const std::string& finalPath,
                  convert::EntryRecord& record) {
  if (record.parts.empty()) return MovePicture(workPath, finalPath);
  for (std::size_t i = 0; i < record.parts.size(); ++i) {
    const int number = static_cast<int>(i) + 1;
    const std::string target = convert::PartPath(finalPath, number);
    if (!MovePicture(convert::PartPath(workPath, number), target)) {
      // No half set is left: the parts already moved go again.
      for (std::size_t moved = 0; moved < i; ++moved) base::RemoveFile(record.parts[moved].output);
      return false;
    }
    record.parts[i].output = target;
  }
  return true;
}

void RemoveFolder(const std::string& folder) {
  if (const std::optional<std::filesystem::path> native = base::ToNativePath(folder)) {
    std::error_code error;
    std::filesystem::remove_all(*native, error);
  }
}

}  // namespace

WorkerPool::WorkerPool(convert::RunState& state, CliControls& controls, PoolOptions options,
                       RecordCallback onRecord)
    : m_state(state),
      m_controls(controls),
      m_options(std::move(options)),
      m_onRecord(std::move(onRecord)) {
  if (m_options.workerCommand.empty()) {
    m_options.workerCommand = {"/proc/self/exe", kRenderWorkerArgument};
  }
}

WorkerPool::~WorkerPool() {
  // Holders end and reap the workers; the work folder goes with them.
  m_workers.clear();
  if (!m_workRoot.empty()) RemoveFolder(m_workRoot);
}

bool WorkerPool::Start() {
  if (m_started) return true;
  if (!m_startError.empty()) return false;
  if (!StartDisplay(m_options.display, m_virtualDisplay, m_startError)) return false;
  m_workRoot = m_state.m_writePath + ".rendora-work-" + std::to_string(getpid()) + "/";
  if (!base::CreateDirectory(m_workRoot) && !base::IsDirectory(m_workRoot)) {
    m_startError =
        resources::FillUtf8(resources::TextId::kCliWorkFolderFailed, {DisplayText(m_workRoot)});
    m_workRoot.clear();
    return false;
  }
  m_started = true;
  return true;
}

bool WorkerPool::Spawn() {
  base::UniqueFd ordersRead, ordersWrite, answersRead, answersWrite;
  if (!base::MakePipe(ordersRead, ordersWrite) || !base::MakePipe(answersRead, answersWrite)) {
    return false;
  }
  base::ChildOptions child;
  child.command = m_options.workerCommand;
  child.standardInput = ordersRead.Get();
  child.standardOutput = answersWrite.Get();
  child.ignoreInterrupt = true;  // the pool decides when its workers stop
  Worker worker;
  std::string error;
  if (!worker.process.Start(child, error)) return false;
  worker.channel = LineChannel(std::move(answersRead), std::move(ordersWrite));
  WorkerSetup setup = m_options.setup;
  setup.slot = FreeSlot();
  worker.slot = setup.slot;
  // A worker that cannot take its setup is ended by its holder.
  if (!worker.channel.Send(EncodeSetup(setup))) return false;
  m_workers.push_back(std::move(worker));
  return true;
}

WorkerPool::Worker* WorkerPool::IdleWorker() {
  for (Worker& worker : m_workers) {
    if (!worker.page) return &worker;
  }
  if (static_cast<int>(m_workers.size()) < m_options.jobs && Spawn()) return &m_workers.back();
  return nullptr;
}

int WorkerPool::FreeSlot() const {
  for (int slot = 0;; ++slot) {
    const bool taken = std::any_of(m_workers.begin(), m_workers.end(),
                                   [slot](const Worker& worker) { return worker.slot == slot; });
    if (!taken) return slot;
  }
}

int WorkerPool::Busy() const {
  return static_cast<int>(std::count_if(m_workers.begin(), m_workers.end(),
                                        [](const Worker& worker) { return worker.page; }));
}

convert::PageResult WorkerPool::StopRun() {
  m_state.m_stop.Request();
  return {convert::PageTaken::kRunStops, std::nullopt};
}

convert::PageResult WorkerPool::RenderPage(const convert::PageJob& job) {
  // A page asked for after Ctrl-C is not started: the run is ending.
  if (Interrupted() || !Start()) return StopRun();
  m_controls.SetStatusText(resources::PageProgressText(job.pageNumber, job.name));
  Worker* worker = IdleWorker();
  while (!worker) {
    // Every busy worker answers, or is ended, by its deadline: this wait ends.
    if (m_workers.empty())
      m_startError = resources::TextUtf8(resources::TextId::kCliWorkerNotStarted);
    if (m_workers.empty() || Interrupted()) return StopRun();
    Poll(100);
    worker = IdleWorker();
  }
  const long long sequence = m_nextSequence++;
  Page page;
  page.workFolder = m_workRoot + std::to_string(sequence) + "/";
  base::CreateDirectory(page.workFolder);
  const convert::PictureFormat& format = *m_options.setup.format;
  page.finalPath = convert::OutputPathFor(job.outputFolder, job.name, format).value_or("");
  page.workPath = convert::OutputPathFor(page.workFolder, job.name, format).value_or("");
  page.entry = job.known;
  if (page.entry.source.empty()) page.entry.source = job.location;

  const PageOrder order{sequence, job.pageNumber,  job.location,
                        job.name, page.workFolder, page.entry};
  m_pages.emplace(sequence, std::move(page));
  worker->page = sequence;
  // Until it tells of the page's first step, the worker gets the page timeout, and a new one
  // the time to start as well.
  worker->lastProgress = Clock::now();
  worker->announcedWait = worker->started ? std::chrono::milliseconds(0) : kWorkerStartTime;
  if (!worker->channel.Send(EncodeOrder(order))) {
    WorkerFailed(*worker, convert::EntryOutcome::kFailed, convert::EntryReason::kRendererEnded);
  }
  return {convert::PageTaken::kHandedOn, std::nullopt};
}

WorkerPool::Clock::time_point WorkerPool::Deadline(const Worker& worker) const {
  // After Ctrl-C the page in progress still gets its own waits, but no more than a second
  // beyond them: a worker that stopped answering must not hold the end of the run.
  const std::chrono::milliseconds beyond =
      Interrupted() ? std::min(kStopGrace, m_options.pageTimeout) : m_options.pageTimeout;
  return worker.lastProgress + worker.announcedWait + beyond;
}

int WorkerPool::WaitMilliseconds(int requested) const {
  const Clock::time_point now = Clock::now();
  long long wait = requested;
  for (const Worker& worker : m_workers) {
    if (!worker.page) continue;
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(Deadline(worker) - now).count();
    wait = std::min(wait, std::max<long long>(left + 1, 0));
  }
  return static_cast<int>(wait);
}

void WorkerPool::Poll(int timeoutMilliseconds) {
  if (m_workers.empty()) return;
  std::vector<pollfd> waits;
  for (const Worker& worker : m_workers) waits.push_back({worker.channel.ReadFd(), POLLIN, 0});
  poll(waits.data(), waits.size(), WaitMilliseconds(timeoutMilliseconds));
  for (std::size_t i = 0; i < waits.size(); ++i) {
    if (waits[i].revents != 0) TakeMessages(m_workers[i]);
  }
  EndPastDeadline();
  // Workers that ended are dropped; a later page starts a new one.
  std::erase_if(m_workers, [](const Worker& worker) { return !worker.process.Running(); });
  CommitReady();
}

void WorkerPool::TakeMessages(Worker& worker) {
  const bool open = worker.channel.Fill();
  while (std::optional<std::string> line = worker.channel.Take()) {
    if (!TakeMessage(worker, *line)) {
      // A worker that does not speak the protocol cannot be trusted with another page.
      WorkerFailed(worker, convert::EntryOutcome::kFailed, convert::EntryReason::kRendererEnded);
      return;
    }
  }
  if (!open)
    WorkerFailed(worker, convert::EntryOutcome::kFailed, convert::EntryReason::kRendererEnded);
}

bool WorkerPool::TakeMessage(Worker& worker, const std::string& line) {
  if (const std::optional<PageProgress> progress = DecodeProgress(line)) {
    if (worker.page && progress->sequence == *worker.page) {
      worker.lastProgress = Clock::now();
      worker.announcedWait = progress->wait;
      worker.started = true;
    }
    return true;
  }
  const std::optional<PageAnswer> answer = DecodeAnswer(line);
  if (!answer) return false;
  // An answer for a page the worker no longer has (one it was given up on) is late: dropped.
  if (!worker.page || answer->sequence != *worker.page) return true;
  m_pages[answer->sequence].record = answer->record;
  worker.page.reset();
  return true;
}

void WorkerPool::EndPastDeadline() {
  const Clock::time_point now = Clock::now();
  for (Worker& worker : m_workers) {
    if (!worker.page || now < Deadline(worker)) continue;
    if (Interrupted()) {
      WorkerFailed(worker, convert::EntryOutcome::kSkipped, convert::EntryReason::kStopped);
    } else {
      WorkerFailed(worker, convert::EntryOutcome::kFailed, convert::EntryReason::kTimeout);
    }
  }
}

void WorkerPool::WorkerFailed(Worker& worker, convert::EntryOutcome outcome,
                              convert::EntryReason reason) {
  // The page it was rendering gets no picture; the run goes on with the other workers, and a
  // later page starts a new one in its place.
  if (worker.page) {
    Page& page = m_pages[*worker.page];
    convert::EntryRecord record = page.entry;
    record.outcome = outcome;
    record.reason = reason;
    record.output.reset();
    page.record = record;
    worker.page.reset();
  }
  worker.channel.Close();
  worker.process.EndWithin(std::chrono::milliseconds(0));
}

void WorkerPool::CommitReady() {
  for (auto found = m_pages.find(m_nextCommit); found != m_pages.end() && found->second.record;
       found = m_pages.find(m_nextCommit)) {
    Commit(found->second, *found->second.record);
    m_pages.erase(found);
    ++m_nextCommit;
  }
}

void WorkerPool::Commit(Page& page, convert::EntryRecord record) {
  const bool pictured = record.outcome == convert::EntryOutcome::kWritten ||
                        record.outcome == convert::EntryOutcome::kIncomplete;
  if (pictured && record.output) {
    if (MovePictures(page.workPath, page.finalPath, record)) {
      record.output = record.parts.empty() ? page.finalPath : record.parts.front().output;
    } else {
      record.outcome = convert::EntryOutcome::kFailed;
      record.reason = convert::EntryReason::kWrite;
      record.output.reset();
      record.parts.clear();
    }
  }
  RemoveFolder(page.workFolder);
  if (m_onRecord) m_onRecord(record);
}

void WorkerPool::Finish() {
  // Each busy worker answers or is ended by its deadline, so this ends.
  while (Busy() > 0) Poll(100);
  CommitReady();
  // Every worker ends at the end of its input; together they get kEndGrace, then are killed.
  for (Worker& worker : m_workers) worker.channel.Close();
  const Clock::time_point deadline = Clock::now() + kEndGrace;
  for (Worker& worker : m_workers) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    worker.process.EndWithin(std::max(left, std::chrono::milliseconds(0)));
  }
  m_workers.clear();
  if (!m_workRoot.empty()) RemoveFolder(m_workRoot);
  m_workRoot.clear();
  m_virtualDisplay.Stop();
}

}  // namespace cli
