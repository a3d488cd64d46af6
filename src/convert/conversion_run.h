// The conversion run behind Start: a folder walk or a crawl, and the closing count.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "convert/page_renderer.h"
#include "convert/run_controls.h"
#include "convert/run_state.h"

namespace convert {

class ConversionRun {
 public:
  // The crawl lives above this level; the window hands it in. Its result is not used.
  using Crawl = std::function<int()>;

  ConversionRun(RunState& state, RunControls& controls, PageRenderer& renderer, Crawl crawl);

  // Reads the source and output edits, completes both with '/', crawls or walks, then shows
  // "処理終了" and puts "<n>件のHTMLを処理しました" into the status line. A Start during a run
  // starts nothing; a window closing during the run ends it without the closing message.
  void OnStart();

 private:
  RunState& m_state;
  RunControls& m_controls;
  PageRenderer& m_renderer;
  Crawl m_crawl;
};

}  // namespace convert
