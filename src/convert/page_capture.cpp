// Capturing the page shown in the page view into a bitmap file.
#include "convert/page_capture.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

#include "base/text.h"
#include "convert/device_bitmap.h"
#include "convert/dib_block.h"
#include "convert/png_file.h"
#include "convert/tile_plan.h"

namespace convert {

namespace {

// What the bitmap shows where the view has no pixels for the page (a view clamped elsewhere
// than expected): the white of an empty page.
constexpr std::uint32_t kBackground = 0x00FFFFFF;

// One wait round lasts 10 ms: a pump of the window's events, then a sleep for what is left.
constexpr std::chrono::microseconds kWaitRound{10000};

// `rounds` rounds of pumping the window's events and sleeping; false when the window started
// closing, so that the capture gives up at once. The time a pump takes counts toward its round,
// so that a page's waits last as long as they are meant to however busy the engine keeps it.
bool WaitRounds(long long rounds, RunControls& controls, const RunState& state) {
  using Clock = std::chrono::steady_clock;
  for (long long k = 0; k < rounds; ++k) {
    const Clock::time_point roundStart = Clock::now();
    controls.PumpMessages();
    if (state.m_closing) return false;
    const auto spent = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - roundStart);
    if (spent < kWaitRound) controls.Sleep(kWaitRound - spent);
  }
  return true;
}

// The page pixel that bitmap pixel `d` shows within a tile starting at page pixel `start` and
// `size` long: nearest neighbour, floor(d / scale), kept inside the tile.
int PagePixelFor(int d, double scale, int start, int size) {
  const double exact = std::floor(static_cast<double>(d) / scale);
  const int last = start + size - 1;
  if (exact <= start) return start;
  if (exact >= last) return last;
  return static_cast<int>(exact);
}

void PutPixel(std::uint8_t* row, int x, int bitsPerPixel, std::uint32_t bgrx) {
  if (bitsPerPixel == 32) {
    const std::uint32_t value = bgrx & 0x00FFFFFF;  // the unused byte stays 0
    std::memcpy(row + static_cast<std::size_t>(x) * 4, &value, 4);
  } else {
    std::uint8_t* pixel = row + static_cast<std::size_t>(x) * 3;
    pixel[0] = static_cast<std::uint8_t>(bgrx);
    pixel[1] = static_cast<std::uint8_t>(bgrx >> 8);
    pixel[2] = static_cast<std::uint8_t>(bgrx >> 16);
  }
}

// Copies one tile's page region into its fill area of the bitmap. The view's top-left corner
// shows page pixel `scroll`, so page pixel (x, y) is view pixel (x - scroll.x, y - scroll.y).
void CopyTile(const Tile& tile, const TilePlan& plan, const ViewPixels& view, ScrollPoint scroll,
              DeviceBitmap& bitmap) {
  const int bpp = bitmap.BitsPerPixel();
  // The view column of every bitmap column of the fill area; -1 where the view has none.
  std::vector<int> viewX(tile.fill.width);
  for (int k = 0; k < tile.fill.width; ++k) {
    const int x = PagePixelFor(tile.fill.x + k, plan.scale, tile.page.x, tile.page.width) -
                  scroll.x;
    viewX[k] = x >= 0 && x < view.width ? x : -1;
  }
  const bool straight = plan.scale == 1.0 && bpp == 32;
  for (int dy = tile.fill.y; dy < tile.fill.y + tile.fill.height; ++dy) {
    std::uint8_t* row = bitmap.Row(dy);
    const int y = PagePixelFor(dy, plan.scale, tile.page.y, tile.page.height) - scroll.y;
    if (y < 0 || y >= view.height) {
      for (int k = 0; k < tile.fill.width; ++k) PutPixel(row, tile.fill.x + k, bpp, kBackground);
      continue;
    }
    const std::uint32_t* source = view.Row(y);
    if (straight) {
      // At 100% the columns run one to one: a plain run of pixels, no lookup.
      std::uint8_t* out = row + static_cast<std::size_t>(tile.fill.x) * 4;
      for (int k = 0; k < tile.fill.width; ++k) {
        const std::uint32_t value = viewX[k] < 0 ? kBackground : source[viewX[k]] & 0x00FFFFFF;
        std::memcpy(out + static_cast<std::size_t>(k) * 4, &value, 4);
      }
      continue;
    }
    for (int k = 0; k < tile.fill.width; ++k) {
      PutPixel(row, tile.fill.x + k, bpp, viewX[k] < 0 ? kBackground : source[viewX[k]]);
    }
  }
}

// Scrolls the view back to the page's left edge (after a row of tiles).
void ScrollToLeftEdge(PageView& view) {
  const ScrollPoint at = view.GetScrollPosition();
  view.ScrollBy(-at.x, 0);
}

// Where the capture stands after measuring: the page's size, the view's usable size, the scale.
struct Layout {
  CaptureSize page;
  int viewWidth = 0;
  int viewHeight = 0;
  double scale = 0;
  int bitmapWidth = 0;
  int bitmapHeight = 0;
};

// Measures the loaded page and works out the bitmap's size; an outcome when there is nothing
// that can be captured.
std::optional<CaptureOutcome> MeasureLayout(PageView& view, const RunState& state, double scale,
                                            Layout& layout) {
  const std::optional<PixelSize> measured = view.MeasurePage();
  if (!measured) return CaptureOutcome::kNotMeasured;
  const PixelSize viewSize = view.GetViewSize();
  layout.page =
      FitCaptureSize(measured->width, measured->height, viewSize.height, state.m_captureWidth);
  layout.viewWidth = viewSize.width;
  layout.viewHeight = viewSize.height - 5;
  layout.scale = scale;
  if (layout.viewWidth <= 0 || layout.viewHeight <= 0 || layout.page.width <= 0 ||
      layout.page.height <= 0 || scale <= 0) {
    return CaptureOutcome::kNoUsableArea;
  }
  const long long bitmapWidth = Scaled(layout.page.width, scale);
  const long long bitmapHeight = Scaled(layout.page.height, scale);
  if (bitmapWidth <= 0 || bitmapHeight <= 0) return CaptureOutcome::kNoUsableArea;
  if (bitmapWidth > std::numeric_limits<int>::max() ||
      bitmapHeight > std::numeric_limits<int>::max()) {
    return CaptureOutcome::kTooLarge;
  }
  layout.bitmapWidth = static_cast<int>(bitmapWidth);
  layout.bitmapHeight = static_cast<int>(bitmapHeight);
  return std::nullopt;
}

// Copies the page tile by tile into `bitmap`, scrolling the view between tiles and waiting
// m_wait rounds after each scroll; an outcome when the copy had to end early.
std::optional<CaptureOutcome> CopyTiles(const Layout& layout, PageView& view,
                                        RunControls& controls, const RunState& state,
                                        DeviceBitmap& bitmap) {
  const TilePlan plan = PlanTiles(layout.page.width, layout.page.height, layout.viewWidth,
                                  layout.viewHeight, layout.scale);
  // A page that opened scrolled (an anchor, a script) is brought to its top-left corner first,
  // where the first tile starts.
  const ScrollPoint start = view.GetScrollPosition();
  if (start.x != 0 || start.y != 0) view.ScrollBy(-start.x, -start.y);

  ViewPixels pixels;
  for (int i = 0; i <= plan.rows; ++i) {
    int rowHeight = 0;
    for (int j = 0; j <= plan.cols; ++j) {
      const Tile tile = plan.At(i, j);
      rowHeight = tile.page.height;
      // A tile of no height or width (a page exactly rows x VH high) copies nothing.
      if (tile.fill.width > 0 && tile.fill.height > 0 && tile.page.width > 0 &&
          tile.page.height > 0) {
        // The engine clamps the view at the page's end wherever it sees fit, so the tile is
        // taken from where its page pixels actually show.
        const ScrollPoint scroll = view.GetScrollPosition();
        if (!view.Snapshot(pixels) || !pixels.Complete()) return CaptureOutcome::kNoSnapshot;
        CopyTile(tile, plan, pixels, scroll, bitmap);
      }
      view.ScrollBy(tile.page.width, 0);
      if (!WaitRounds(state.m_wait, controls, state)) return CaptureOutcome::kClosing;
    }
    view.ScrollBy(0, rowHeight);
    ScrollToLeftEdge(view);
    if (!WaitRounds(state.m_wait, controls, state)) return CaptureOutcome::kClosing;
  }
  return std::nullopt;
}

// Writes the finished bitmap to `path` in the run's format; the file's size when written.
std::optional<long long> WritePicture(const std::string& path, DeviceBitmap&& bitmap,
                                      OutputFormat format, CaptureOutcome& failure) {
  failure = CaptureOutcome::kWriteFailed;
  if (format == OutputFormat::kPng) return WritePng(path, bitmap);
  std::optional<DibBlock> block = BitmapToDib(std::move(bitmap), kBiRgb);
  if (!block) {
    failure = CaptureOutcome::kTooLarge;
    return std::nullopt;
  }
  if (!WriteDib(path, *block)) return std::nullopt;
  return static_cast<long long>(FileHeaderFor(*block).bfSize);
}

}  // namespace

CaptureResult CaptureToFile(const std::string& path, PageView& view, RunControls& controls,
                            const RunState& state) {
  const double scale = base::ToInt(controls.GetOptionText(settings::Field::kPercent)) * 0.01;
  CaptureResult result;

  // The page has exactly this time to load; nothing is polled.
  if (!WaitRounds(static_cast<long long>(state.m_wait) * 5, controls, state)) {
    result.outcome = CaptureOutcome::kClosing;
    return result;
  }
  Layout layout;
  if (std::optional<CaptureOutcome> failed = MeasureLayout(view, state, scale, layout)) {
    result.outcome = *failed;
    return result;
  }
  result.width = layout.bitmapWidth;
  result.height = layout.bitmapHeight;

  // The display's depth. A display of fewer bits still hands over full-colour pixels, and the
  // page keeps them: it is written with 32 bits rather than reduced.
  const int bitsPerPixel = view.BitsPerPixel() == 24 ? 24 : 32;
  std::optional<DeviceBitmap> bitmap =
      DeviceBitmap::Create(layout.bitmapWidth, layout.bitmapHeight, bitsPerPixel);
  if (!bitmap) {
    result.outcome = CaptureOutcome::kTooLarge;
    return result;
  }
  if (std::optional<CaptureOutcome> failed = CopyTiles(layout, view, controls, state, *bitmap)) {
    result.outcome = *failed;
    return result;
  }
  CaptureOutcome failure = CaptureOutcome::kWriteFailed;
  const std::optional<long long> bytes = WritePicture(path, std::move(*bitmap), state.m_format, failure);
  result.outcome = bytes ? CaptureOutcome::kWritten : failure;
  result.bytes = bytes.value_or(0);
  return result;
}

}  // namespace convert
