// Rendering one page: progress text, window geometry, loading, and the capture into its file.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "convert/page_capture.h"
#include "convert/page_renderer.h"
#include "convert/page_view.h"
#include "convert/run_controls.h"
#include "convert/run_state.h"

namespace convert {

// The longest output path a page is written to; a longer one is refused, never cut short (a cut
// path would name a different file).
inline constexpr std::size_t kMaxOutputPath = 999;

// outputFolder + the name up to and including its last dot + the format's extension
// ("a.b.html" -> "a.b.bmp", ".htm" -> "bmp", "html" -> "bmp"); nullopt when longer than
// kMaxOutputPath bytes.
std::optional<std::string> OutputPathFor(const std::string& outputFolder, const std::string& name,
                                         const PictureFormat& format = DefaultPictureFormat());

// The report's record of a rendered page: what the caller knew of it (PageJob::known), completed
// with the capture's outcome, picture and time.
EntryRecord PageRecord(EntryRecord entry, const std::string& location,
                       const std::optional<std::string>& path, const CaptureResult& capture,
                       long long milliseconds);

// The page renderer on a page view: the window's browser control, or the command line's.
class ViewPageRenderer : public PageRenderer {
 public:
  ViewPageRenderer(RunState& state, RunControls& controls, PageView& view);

  // Shows "<n>件目 <name> 処理中", reads Size and Wait afresh, places the window and the view for
  // the page width, loads the job's location and captures it. A Size of 0 or less, a screen too
  // low for a usable view, or a too long output path leave the page unloaded and without a file.
  // Always kRendered, with the page's record: every page handed over counts as processed.
  PageResult RenderPage(const PageJob& job) override;

  // What became of the last page's bitmap.
  std::optional<CaptureOutcome> LastOutcome() const {
    return m_last ? std::optional(m_last->outcome) : std::nullopt;
  }

 private:
  RunState& m_state;
  RunControls& m_controls;
  PageView& m_view;
  std::optional<CaptureResult> m_last;
};

}  // namespace convert
