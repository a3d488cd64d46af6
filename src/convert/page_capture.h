// Capturing the page shown in the page view into a bitmap file.
#pragma once

#include <string>
#include <vector>

#include "convert/page_view.h"
#include "convert/run_controls.h"
#include "convert/run_state.h"

namespace convert {

// What became of one capture. Only kWritten leaves a file; every other outcome leaves whatever
// was at the path before untouched. The page counts as processed in every case.
enum class CaptureOutcome {
  kWritten,
  kWriteFailed,   // the bitmap was made but the file could not be written
  kNotMeasured,   // no document or body to measure after the load wait
  kNoUsableArea,  // the view or the page has no pixels, or Percent is 0 or less
  kTooLarge,      // the bitmap exceeds the file format's sizes or the memory at hand
  kNoSnapshot,    // the view gave no pixels
  kClosing,       // the window is closing: the capture was abandoned
  kPathTooLong,   // the output path is longer than kMaxOutputPath: the page was not loaded
  kNoElement,     // no element of the page matches the selector of the page options
  kBlocked,       // the page itself lies outside the bounds the page options set
};

// A capture's outcome, and the picture it wrote.
struct CaptureResult {
  CaptureOutcome outcome = CaptureOutcome::kNotMeasured;
  int width = 0;  // the picture's size in pixels (also when it could not be written)
  int height = 0;
  long long bytes = 0;             // the file's size when written (every part's together)
  std::vector<PicturePart> parts;  // the files of a picture split into parts, top first
  std::string detail;              // why the picture was too large for its format
  // False when the page was still loading (a resource request unanswered) as it was measured:
  // the picture shows it as far as it had come.
  bool complete = true;
  // What the page asked for that would have opened a window or waited for a person; answered.
  EngineRequests answered;
  CaptureMethod method = CaptureMethod::kTiles;  // how the picture was taken
  bool webglRefused = false;  // the page asked for WebGL and the engine gave it none
  std::string scriptError;    // what the user's script threw, when it did
};

// Waits m_wait x 5 rounds for the page to load (passing once through the page and back so that
// what loads on scrolling is there; with m_untilLoaded only until the page is ready), measures it
// and copies it tile by tile, scrolling the view between tiles (or, with m_capture kSnapshot, in
// one document snapshot where that gives the same picture), into one bitmap scaled by the
// Percent option (read once, here), then writes it to `path` in state.m_format.
// state.m_captureWidth and state.m_wait are those of the current page.
CaptureResult CaptureToFile(const std::string& path, PageView& view, RunControls& controls,
                            const RunState& state);

}  // namespace convert
