// Rendering one page: progress text, window geometry, loading, and the capture into its file.
#include "convert/page_rendering.h"

#include "base/text.h"
#include "base/tools.h"
#include "resources/texts.h"

namespace convert {

namespace {

// The view is the screen height - 300 high; the capture uses all but 5 of its rows.
constexpr int kViewHeightMargin = 300;
constexpr int kUnusedViewRows = 5;
// No window can be wider than this; a wider Size has no usable view (and would overflow the
// window width Size + 50).
constexpr int kMaxCaptureWidth = 32767;

}  // namespace

std::optional<std::string> OutputPathFor(const std::string& outputFolder,
                                         const std::string& name) {
  std::string left;
  std::string right;
  base::SplitAtLast(name, left, right, '.');
  std::string path = outputFolder + left + "bmp";
  if (path.size() > kMaxOutputPath) return std::nullopt;
  return path;
}

PageRendering::PageRendering(RunState& state, RunControls& controls, PageView& view)
    : m_state(state), m_controls(controls), m_view(view) {}

int PageRendering::RenderPage(const std::string& location, const std::string& name,
                              const std::string& outputFolder) {
  m_controls.SetStatusText(resources::PageProgressText(m_state.m_pageCount, name));
  const int screenHeight = m_controls.ScreenHeight();
  m_state.m_captureWidth = base::ToInt(m_controls.GetOptionText(settings::Field::kSize));
  m_state.m_wait = base::ToInt(m_controls.GetOptionText(settings::Field::kWait));

  if (m_state.m_captureWidth <= 0 || m_state.m_captureWidth > kMaxCaptureWidth ||
      screenHeight - kViewHeightMargin <= kUnusedViewRows) {
    m_lastOutcome = CaptureOutcome::kNoUsableArea;
    return 1;
  }
  const std::optional<std::string> path = OutputPathFor(outputFolder, name);
  if (!path) {
    m_lastOutcome = CaptureOutcome::kPathTooLong;
    return 1;
  }

  m_controls.PlaceForPage(m_state.m_captureWidth, screenHeight);
  m_view.Navigate2(location);
  m_view.RedrawNow();
  m_lastOutcome = CaptureToFile(*path, m_view, m_controls, m_state);
  return 1;
}

}  // namespace convert
