// Rendering one page: progress text, window geometry, loading, and the capture into its file.
#include "convert/view_page_renderer.h"

#include <chrono>

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

std::optional<std::string> OutputPathFor(const std::string& outputFolder, const std::string& name,
                                         const PictureFormat& format) {
  std::string left;
  std::string right;
  base::SplitAtLast(name, left, right, '.');
  std::string path = outputFolder + left;
  path += format.Extension();
  if (path.size() > kMaxOutputPath) return std::nullopt;
  return path;
}

EntryRecord PageRecord(EntryRecord entry, const std::string& location,
                       const std::optional<std::string>& path, const CaptureResult& capture,
                       long long milliseconds) {
  if (entry.source.empty()) entry.source = location;
  entry.width = capture.width;
  entry.height = capture.height;
  entry.bytes = capture.bytes;
  entry.milliseconds += milliseconds;
  entry.reason = EntryReason::kNone;
  entry.answered = capture.answered;
  entry.webglRefused = capture.webglRefused;
  entry.scriptError = capture.scriptError;
  if (capture.outcome == CaptureOutcome::kWritten) entry.capture = capture.method;
  switch (capture.outcome) {
    case CaptureOutcome::kWritten:
      entry.outcome = capture.complete ? EntryOutcome::kWritten : EntryOutcome::kIncomplete;
      if (!capture.complete) entry.reason = EntryReason::kStillLoading;
      entry.output = path;
      entry.parts = capture.parts;
      // A split picture's first part stands for it where one file is named.
      if (!entry.parts.empty()) entry.output = entry.parts.front().output;
      return entry;
    case CaptureOutcome::kClosing:
      entry.outcome = EntryOutcome::kSkipped;
      entry.reason = EntryReason::kStopped;
      return entry;
    case CaptureOutcome::kWriteFailed: entry.reason = EntryReason::kWrite; break;
    case CaptureOutcome::kNotMeasured: entry.reason = EntryReason::kNotLoaded; break;
    case CaptureOutcome::kNoUsableArea: entry.reason = EntryReason::kNoUsableArea; break;
    case CaptureOutcome::kTooLarge:
      entry.reason = EntryReason::kTooLarge;
      entry.detail = capture.detail;
      break;
    case CaptureOutcome::kNoSnapshot: entry.reason = EntryReason::kNoSnapshot; break;
    case CaptureOutcome::kPathTooLong: entry.reason = EntryReason::kPathTooLong; break;
    case CaptureOutcome::kNoElement: entry.reason = EntryReason::kNoElement; break;
    case CaptureOutcome::kBlocked: entry.reason = EntryReason::kBlocked; break;
  }
  entry.outcome = EntryOutcome::kFailed;
  entry.output.reset();
  return entry;
}

ViewPageRenderer::ViewPageRenderer(RunState& state, RunControls& controls, PageView& view)
    : m_state(state), m_controls(controls), m_view(view) {}

PageResult ViewPageRenderer::RenderPage(const PageJob& job) {
  const auto started = std::chrono::steady_clock::now();
  m_controls.SetStatusText(resources::PageProgressText(job.pageNumber, job.name));
  const int screenHeight = m_controls.ScreenHeight();
  m_state.m_captureWidth = base::ToInt(m_controls.GetOptionText(settings::Field::kSize));
  m_state.m_wait = base::ToInt(m_controls.GetOptionText(settings::Field::kWait));

  const std::optional<std::string> path =
      OutputPathFor(job.outputFolder, job.name, *m_state.m_format);
  m_last = CaptureResult();
  if (m_state.m_captureWidth <= 0 || m_state.m_captureWidth > kMaxCaptureWidth ||
      screenHeight - kViewHeightMargin <= kUnusedViewRows) {
    m_last->outcome = CaptureOutcome::kNoUsableArea;
  } else if (!path) {
    m_last->outcome = CaptureOutcome::kPathTooLong;
  } else {
    m_controls.PlaceForPage(m_state.m_captureWidth, screenHeight);
    m_view.SetTransparentBackground(m_state.m_pictureOptions.transparent);
    m_view.SetPageOptions(m_state.m_pageOptions, m_state.m_readPath);
    m_view.Navigate2(job.location);
    m_view.RedrawNow();
    m_last = CaptureToFile(*path, m_view, m_controls, m_state);
    // A page whose document never came within its wait is named on the status line, so that
    // no page goes without a picture unnoticed.
    if (m_last->outcome == CaptureOutcome::kNotMeasured) {
      m_controls.SetStatusText(resources::PageNotLoadedText(job.pageNumber, job.name));
    }
  }
  const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - started);
  return {PageTaken::kRendered, PageRecord(job.known, job.location, path, *m_last, spent.count())};
}

}  // namespace convert
