// The conversion run behind Start: a folder walk or a crawl, and the closing count.
#include "convert/conversion_run.h"

#include "base/locations.h"
#include "base/text.h"
#include "base/tools.h"
#include "convert/folder_walk.h"
#include "resources/texts.h"

namespace convert {

ConversionRun::ConversionRun(RunState& state, RunControls& controls, PageRenderer& renderer,
                             Crawl crawl)
    : m_state(state), m_controls(controls), m_renderer(renderer), m_crawl(std::move(crawl)) {}

RunOutcome ConversionRun::OnStart() {
  // Start stays enabled during a run and runs nested inside its event pumping: that Start must
  // not begin a second run on top of the first.
  if (m_state.m_running) return {RunResult::kAlreadyRunning};
  m_state.m_running = true;
  struct RunningFlag {
    bool& running;
    ~RunningFlag() { running = false; }
  } runningFlag{m_state.m_running};

  m_state.m_stop.Clear();
  m_state.m_readPath = m_controls.GetOptionText(settings::Field::kReadPath);
  m_state.m_writePath =
      base::WithTrailingSeparator(m_controls.GetOptionText(settings::Field::kWritePath));

  RunOutcome outcome;
  if (base::IsWebAddress(m_state.m_readPath)) {
    // The crawl counts from 1 itself; starting the count here too means that a crawl refused
    // before its first page reports 0 pages, not the count of an earlier run.
    m_state.m_pageCount = 1;
    if (m_crawl) outcome = m_crawl();
  } else {
    outcome = Walk();
  }
  if (outcome.result == RunResult::kRan && (m_state.m_stop.Requested() || m_state.m_closing)) {
    outcome.result = RunResult::kStopped;
  }

  if (m_state.m_closing) return outcome;
  const std::string count = resources::ProcessedCountText(m_state.m_pageCount - 1);
  m_controls.ShowMessage(resources::Text(resources::TextId::kRunFinished));
  m_controls.SetStatusText(count);
  return outcome;
}

RunOutcome ConversionRun::Walk() {
  m_state.m_readPath = base::WithTrailingSeparator(m_state.m_readPath);
  // The walk makes each output folder current in turn, so relative folders are fixed here,
  // against the folder that was current at Start; otherwise a relative source would be read
  // from inside the output folder and relative subfolders would nest into themselves.
  m_state.m_readPath = base::AbsoluteFolder(m_state.m_readPath);
  m_state.m_writePath = base::AbsoluteFolder(m_state.m_writePath);
  m_state.m_pageCount = 1;
  FolderWalk walk(m_state, m_controls, m_renderer);
  switch (walk.ConvertFolder(m_state.m_readPath, m_state.m_writePath)) {
    case FolderWalk::FolderEnd::kWalked: return {RunResult::kRan};
    case FolderWalk::FolderEnd::kStopped: return {RunResult::kStopped};
    case FolderWalk::FolderEnd::kCannotCreateFolder:
      return RunOutcome::Refused(resources::TextId::kCannotCreateFolder);
  }
  return {RunResult::kRan};
}

}  // namespace convert
