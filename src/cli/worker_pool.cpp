// Rendering N pages at once on render workers that share one display.
#include "cli/worker_pool.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <utility>

#include "base/file_system.h"
#include "base/tools.h"
#include "cli/cli_controls.h"
#include "cli/interrupt.h"
#include "cli/render_worker.h"
#include "cli/run_report.h"
#include "convert/view_page_renderer.h"
#include "resources/texts.h"

namespace cli {
namespace {

// In the child: stdin and stdout on the pool's pipes, ended with the pool, deaf to the
// terminal's Ctrl-C (the pool decides when its workers stop), then the program as a worker.
[[noreturn]] void ExecWorker(int orders, int answers, pid_t pool) {
  dup2(orders, STDIN_FILENO);
  dup2(answers, STDOUT_FILENO);
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != pool) _exit(127);
  signal(SIGINT, SIG_IGN);
  execl("/proc/self/exe", "rendora", kRenderWorkerArgument, nullptr);
  _exit(127);
}

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

void RemoveFolder(const std::string& folder) {
  if (const std::optional<std::filesystem::path> native = base::ToNativePath(folder)) {
    std::error_code error;
    std::filesystem::remove_all(*native, error);
  }
}

}  // namespace

WorkerPool::WorkerPool(convert::RunState& state, CliControls& controls, int jobs,
                       DisplayChoice display, WorkerSetup setup)
    : m_state(state),
      m_controls(controls),
      m_jobs(jobs),
      m_display(display),
      m_setup(std::move(setup)) {}

WorkerPool::~WorkerPool() {
  for (Worker& worker : m_workers) {
    worker.channel.Close();
    if (worker.pid > 0) {
      kill(worker.pid, SIGKILL);
      waitpid(worker.pid, nullptr, 0);
    }
  }
  if (!m_workRoot.empty()) RemoveFolder(m_workRoot);
}

bool WorkerPool::Start() {
  if (m_started) return true;
  if (!m_startError.empty()) return false;
  if (!StartDisplay(m_display, m_virtualDisplay, m_startError)) return false;
  m_workRoot = m_state.m_writePath + ".rendora-work-" + std::to_string(getpid()) + "/";
  if (!base::CreateDirectory(m_workRoot) && !base::IsDirectory(m_workRoot)) {
    m_startError = "作業フォルダを作成できません: " + DisplayText(m_workRoot);
    m_workRoot.clear();
    return false;
  }
  m_started = true;
  return true;
}

bool WorkerPool::Spawn() {
  int orders[2];
  int answers[2];
  if (pipe2(orders, O_CLOEXEC) != 0) return false;
  if (pipe2(answers, O_CLOEXEC) != 0) {
    close(orders[0]);
    close(orders[1]);
    return false;
  }
  const pid_t pool = getpid();
  const pid_t child = fork();
  if (child == 0) ExecWorker(orders[0], answers[1], pool);
  close(orders[0]);
  close(answers[1]);
  if (child < 0) {
    close(orders[1]);
    close(answers[0]);
    return false;
  }
  Worker worker;
  worker.pid = child;
  worker.channel = LineChannel(answers[0], orders[1]);
  WorkerSetup setup = m_setup;
  setup.slot = FreeSlot();
  worker.slot = setup.slot;
  if (!worker.channel.Send(EncodeSetup(setup))) {
    worker.channel.Close();
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    return false;
  }
  m_workers.push_back(std::move(worker));
  return true;
}

WorkerPool::Worker* WorkerPool::IdleWorker() {
  for (Worker& worker : m_workers) {
    if (!worker.page) return &worker;
  }
  if (static_cast<int>(m_workers.size()) < m_jobs && Spawn()) return &m_workers.back();
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
  int busy = 0;
  for (const Worker& worker : m_workers) busy += worker.page ? 1 : 0;
  return busy;
}

int WorkerPool::RenderPage(const std::string& location, const std::string& name,
                           const std::string& outputFolder) {
  // A page asked for after Ctrl-C is not started: the run is ending.
  if (Interrupted() || !Start()) {
    m_state.m_stopWalk = true;
    m_state.m_stopCrawl = true;
    return 0;
  }
  m_controls.SetStatusText(resources::PageProgressText(m_state.m_pageCount, name));
  Worker* worker = IdleWorker();
  while (!worker) {
    if (m_workers.empty()) {
      m_startError = "描画プロセスを起動できません";
      m_state.m_stopWalk = true;
      m_state.m_stopCrawl = true;
      return 0;
    }
    Poll(100);
    worker = IdleWorker();
  }
  const long long sequence = m_nextSequence++;
  Page page;
  page.workFolder = m_workRoot + std::to_string(sequence) + "/";
  base::CreateDirectory(page.workFolder);
  page.finalPath = convert::OutputPathFor(outputFolder, name, *m_setup.format).value_or("");
  page.workPath = convert::OutputPathFor(page.workFolder, name, *m_setup.format).value_or("");

  PageOrder order{sequence,        m_state.m_pageCount,
                  location,        name,
                  page.workFolder, std::exchange(m_state.m_entry, convert::EntryRecord())};
  if (order.entry.source.empty()) order.entry.source = location;
  m_pages.emplace(sequence, std::move(page));
  worker->page = sequence;
  if (!worker->channel.Send(EncodeOrder(order))) WorkerEnded(*worker);
  return 1;
}

void WorkerPool::Poll(int timeoutMilliseconds) {
  if (m_workers.empty()) return;
  std::vector<pollfd> waits;
  for (const Worker& worker : m_workers) waits.push_back({worker.channel.ReadFd(), POLLIN, 0});
  poll(waits.data(), waits.size(), timeoutMilliseconds);
  for (std::size_t i = 0; i < waits.size(); ++i) {
    if (waits[i].revents != 0) TakeAnswers(m_workers[i]);
  }
  // Workers that ended are dropped; a later page starts a new one.
  std::erase_if(m_workers, [](const Worker& worker) { return worker.pid < 0; });
  CommitReady();
}

void WorkerPool::TakeAnswers(Worker& worker) {
  const bool open = worker.channel.Fill();
  while (std::optional<std::string> line = worker.channel.Take()) {
    const std::optional<PageAnswer> answer = DecodeAnswer(*line);
    if (!answer || !worker.page || answer->sequence != *worker.page) continue;
    m_pages[answer->sequence].record = answer->record;
    worker.page.reset();
  }
  if (!open) WorkerEnded(worker);
}

void WorkerPool::WorkerEnded(Worker& worker) {
  // The page it was rendering gets no picture; the run goes on with the other workers.
  if (worker.page) {
    Page& page = m_pages[*worker.page];
    convert::EntryRecord record;
    record.outcome = convert::EntryOutcome::kFailed;
    record.reason = convert::EntryReason::kRendererEnded;
    page.record = record;
    worker.page.reset();
  }
  worker.channel.Close();
  if (worker.pid > 0) {
    kill(worker.pid, SIGKILL);
    waitpid(worker.pid, nullptr, 0);
  }
  worker.pid = -1;
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
    if (MovePicture(page.workPath, page.finalPath)) {
      record.output = page.finalPath;
    } else {
      record.outcome = convert::EntryOutcome::kFailed;
      record.reason = convert::EntryReason::kWrite;
      record.output.reset();
    }
  }
  RemoveFolder(page.workFolder);
  m_controls.RecordEntry(record);
}

void WorkerPool::Finish() {
  while (!m_workers.empty() && Busy() > 0) Poll(100);
  CommitReady();
  for (Worker& worker : m_workers) {
    worker.channel.Close();  // the worker ends at the end of its input
    int status = 0;
    for (int i = 0; i < 300 && waitpid(worker.pid, &status, WNOHANG) == 0; ++i) usleep(10000);
    if (waitpid(worker.pid, &status, WNOHANG) == 0) {
      kill(worker.pid, SIGKILL);
      waitpid(worker.pid, &status, 0);
    }
    worker.pid = -1;
  }
  m_workers.clear();
  if (!m_workRoot.empty()) RemoveFolder(m_workRoot);
  m_workRoot.clear();
  m_virtualDisplay.Stop();
}

}  // namespace cli
