// Rendering N pages at once: render workers on one shared display, each with its own browser
// view, fed by the walk or the crawl in this process. Pictures are written by the workers into
// a work folder and given their names here, in the order the pages were handed over, so that
// where two pages write the same name the later one wins as with one view.
#pragma once

#include <sys/types.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "cli/line_channel.h"
#include "cli/page_renderers.h"
#include "cli/virtual_display.h"
#include "cli/worker_protocol.h"
#include "convert/page_renderer.h"
#include "convert/run_state.h"

namespace cli {

class CliControls;

class WorkerPool : public convert::PageRenderer {
 public:
  WorkerPool(convert::RunState& state, CliControls& controls, int jobs, DisplayChoice display,
             WorkerSetup setup);
  ~WorkerPool() override;
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  // Hands the page to an idle worker (waiting for one if all are busy) and returns at once.
  // Always 1 once handed over: the page counts as processed.
  int RenderPage(const std::string& location, const std::string& name,
                 const std::string& outputFolder) override;
  // Takes the answers that have come within `timeoutMilliseconds` and commits what it can.
  void Poll(int timeoutMilliseconds);
  // Waits for every page handed over, commits them, and ends the workers.
  void Finish();

  const std::string& StartError() const { return m_startError; }

 private:
  struct Worker {
    pid_t pid = -1;
    LineChannel channel;
    std::optional<long long> page;  // the sequence of the page it renders
    int slot = 0;                   // its place on the display
  };
  struct Page {
    std::string finalPath;                       // where the picture belongs
    std::string workFolder;                      // the worker's folder for it, ending in '/'
    std::string workPath;                        // where the worker writes it
    std::optional<convert::EntryRecord> record;  // the answer, once it came
  };

  bool Start();
  Worker* IdleWorker();
  bool Spawn();
  void TakeAnswers(Worker& worker);
  void WorkerEnded(Worker& worker);
  void CommitReady();
  void Commit(Page& page, convert::EntryRecord record);
  int Busy() const;
  int FreeSlot() const;

  convert::RunState& m_state;
  CliControls& m_controls;
  int m_jobs;
  DisplayChoice m_display;
  WorkerSetup m_setup;
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
