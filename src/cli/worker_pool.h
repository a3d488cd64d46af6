// Rendering N pages at once: render workers on one shared display, each with its own browser
// view, fed by the walk or the crawl in this process. Pictures are written by the workers into
// a work folder and given their names here, in the order the pages were handed over, so that
// where two pages write the same name the later one wins as with one view.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "base/child_process.h"
#include "cli/line_channel.h"
#include "cli/page_renderers.h"
#include "cli/virtual_display.h"
#include "cli/worker_protocol.h"
#include "convert/page_renderer.h"
#include "convert/run_state.h"

namespace cli {

class CliControls;

// How a pool renders.
struct PoolOptions {
  int jobs = 2;
  DisplayChoice display;
  WorkerSetup setup;
  // A page whose worker shows no progress for this long beyond the waits the worker announced
  // fails as "timeout", and its worker is replaced.
  std::chrono::milliseconds pageTimeout{std::chrono::seconds(30)};
  // The program a worker runs, with its arguments; empty: this program as a render worker.
  std::vector<std::string> workerCommand;
};

class WorkerPool : public convert::PageRenderer {
 public:
  // Takes the record of every page handed over, in the order they were handed over.
  using RecordCallback = std::function<void(const convert::EntryRecord&)>;

  WorkerPool(convert::RunState& state, CliControls& controls, PoolOptions options,
             RecordCallback onRecord);
  ~WorkerPool() override;
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  // Hands the page to an idle worker (waiting for one if all are busy) and returns at once:
  // kHandedOn once handed over (its record comes through the callback), kRunStops after Ctrl-C
  // or when no worker could be started (the run is asked to stop then).
  convert::PageResult RenderPage(const convert::PageJob& job) override;
  // Takes the messages that have come within `timeoutMilliseconds`, ends the workers past
  // their deadline, and commits what it can: each committed page's record goes to the callback.
  void Poll(int timeoutMilliseconds);
  // Waits for every page handed over (each within its deadline), commits them, and ends the
  // workers within kEndGrace.
  void Finish();

  const std::string& StartError() const { return m_startError; }

  // What a worker still rendering gets after Ctrl-C beyond the waits it announced, and what
  // the workers get to end by themselves at the end of the run.
  static constexpr std::chrono::milliseconds kStopGrace{1000};
  static constexpr std::chrono::milliseconds kEndGrace{1000};
  // What a new worker is granted to start its program, the window framework and its browser
  // before it tells of its first step.
  static constexpr std::chrono::milliseconds kWorkerStartTime{10000};

 private:
  using Clock = std::chrono::steady_clock;
  struct Worker {
    base::ChildProcess process;
    LineChannel channel;
    std::optional<long long> page;  // the sequence of the page it renders
    int slot = 0;                   // its place on the display
    Clock::time_point lastProgress;
    std::chrono::milliseconds announcedWait{0};  // the waits of the step it is in
    bool started = false;  // it has told of a step: its program and display are up
  };
  struct Page {
    convert::EntryRecord entry;                  // what was known of the page when handed over
    std::string finalPath;                       // where the picture belongs
    std::string workFolder;                      // the worker's folder for it, ending in '/'
    std::string workPath;                        // where the worker writes it
    std::optional<convert::EntryRecord> record;  // the answer, once it came
  };

  bool Start();
  Worker* IdleWorker();
  bool Spawn();
  void TakeMessages(Worker& worker);
  bool TakeMessage(Worker& worker, const std::string& line);
  void EndPastDeadline();
  Clock::time_point Deadline(const Worker& worker) const;
  int WaitMilliseconds(int requested) const;
  void WorkerFailed(Worker& worker, convert::EntryOutcome outcome, convert::EntryReason reason);
  // Asks the run to stop; the answer for a page that is not taken then.
  convert::PageResult StopRun();
  void CommitReady();
  void Commit(Page& page, convert::EntryRecord record);
  int Busy() const;
  int FreeSlot() const;

  convert::RunState& m_state;
  CliControls& m_controls;
  PoolOptions m_options;
  RecordCallback m_onRecord;
  VirtualDisplay m_virtualDisplay;
  std::string m_startError;
  bool m_started = false;
  std::string m_workRoot;  // the work folder in the output folder, ending in '/'
  std::vector<Worker> m_workers;
  std::map<long long, Page> m_pages;  // handed over and not yet committed
  long long m_nextSequence = 0;
  long long m_nextCommit = 0;
};

}  // namespace cli
