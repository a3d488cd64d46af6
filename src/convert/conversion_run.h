// The conversion run behind Start: a folder walk or a crawl, and the closing count.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "convert/page_renderer.h"
#include "convert/run_controls.h"
#include "convert/run_outcome.h"
#include "convert/run_state.h"

namespace convert {

class ConversionRun {
 public:
  // The crawl lives above this level; the window hands it in. It says whether a check refused
  // it; ConversionRun decides whether it was stopped.
  using Crawl = std::function<RunOutcome()>;

  ConversionRun(RunState& state, RunControls& controls, PageRenderer& renderer, Crawl crawl);

  // Reads the source and output edits, completes both with '/', crawls or walks, then shows
  // "処理終了" and puts "<n>件のHTMLを処理しました" into the status line. A Start during a run
  // starts nothing (kAlreadyRunning); a window closing during the run ends it without the
  // closing message (kStopped). A check that refuses the run gives kRefused with the message it
  // showed; a run that Stop or Ctrl-C ended early gives kStopped; otherwise kRan.
  RunOutcome OnStart();

 private:
  RunOutcome Walk();

  RunState& m_state;
  RunControls& m_controls;
  PageRenderer& m_renderer;
  Crawl m_crawl;
};

}  // namespace convert
