// Capturing the page shown in the page view into a bitmap file.
#include "convert/page_capture.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

#include "base/text.h"
#include "convert/device_bitmap.h"
#include "convert/picture_file.h"
#include "convert/picture_format.h"
#include "convert/tile_plan.h"

namespace convert {

namespace {

// What the bitmap shows where the view has no pixels for the page (a view clamped elsewhere
// than expected): the white of an empty page.
constexpr std::uint32_t kBackground = 0x00FFFFFF;

// One wait round lasts 10 ms: a pump of the window's events, then a sleep for what is left.
constexpr std::chrono::microseconds kWaitRound{10000};
// The capture's steps as a watcher of stuck pages sees them: the load wait, the steps of one
// tile (the scroll to its right and, at a row's end, the scroll down past a tile of nothing),
// and the writing of a picture, whose time grows with its pixels.
std::chrono::milliseconds LoadWaitTime(int wait) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(kWaitRound * 5 * std::max(wait, 0));
}
std::chrono::milliseconds TileStepTime(int wait) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(kWaitRound * 3 * std::max(wait, 0));
}
constexpr long long kWrittenPixelsPerMillisecond = 1000;
// What a step that asks the engine for more than a glance (a look through the page's styles, a
// snapshot) is granted besides, on a machine busy with several pages; a document snapshot also
// gets time for its pixels.
constexpr std::chrono::milliseconds kEngineStepTime{2000};
constexpr long long kSnapshotPixelsPerMillisecond = 2000;

// How often a round pumps while it waits for the page to get somewhere.
constexpr std::chrono::microseconds kReadySlice{2000};

// How a run of wait rounds ended.
enum class WaitEnd {
  kRanOut,   // every round was waited
  kReady,    // the condition held: the rest of the rounds were not needed
  kClosing,  // the window started closing
};

// Up to `rounds` rounds of pumping the window's events and sleeping, ending early once
// `ready(round)` holds after a pump, or at once when the window started closing, so that the
// capture gives up. The time a pump takes counts toward its round, so that a page's waits last
// as long as they are meant to however busy the engine keeps it. While `awaiting()` holds (an
// answer of the engine is expected), a round pumps again every kReadySlice, so that the answer
// is taken in soon after it comes.
template <typename Ready, typename Awaiting>
WaitEnd WaitRoundsUntil(long long rounds, RunControls& controls, const RunState& state, Ready ready,
                        Awaiting awaiting) {
  for (long long k = 0; k < rounds; ++k) {
    std::chrono::microseconds spent{0};
    while (true) {
      const auto pumpStart = controls.Now();
      controls.PumpMessages();
      if (state.m_closing) return WaitEnd::kClosing;
      if (ready(k)) return WaitEnd::kReady;
      spent += std::chrono::duration_cast<std::chrono::microseconds>(controls.Now() - pumpStart);
      if (spent >= kWaitRound) break;
      const std::chrono::microseconds rest = kWaitRound - spent;
      const std::chrono::microseconds nap = awaiting() ? std::min(rest, kReadySlice) : rest;
      controls.Sleep(nap);
      spent += nap;
      if (spent >= kWaitRound) break;
    }
  }
  return WaitEnd::kRanOut;
}

// `rounds` whole rounds; false when the window started closing.
bool WaitRounds(long long rounds, RunControls& controls, const RunState& state) {
  const auto never = [](long long) { return false; };
  return WaitRoundsUntil(rounds, controls, state, never, [] { return false; }) != WaitEnd::kClosing;
}

// The wait after a scroll: m_wait rounds. When the run waits only until pages are ready, it ends
// at the first frame the view paints after the scroll, and at once when the scroll did not move
// the view (nothing new to paint). `before` is where the view stood before the scroll.
bool WaitAfterScroll(PageView& view, RunControls& controls, const RunState& state,
                     ScrollPoint before) {
  if (!state.m_untilLoaded) return WaitRounds(state.m_wait, controls, state);
  const ScrollPoint now = view.GetScrollPosition();
  if (now.x == before.x && now.y == before.y) return !state.m_closing;
  view.RequestFrame();
  const auto painted = [&](long long) { return view.FramePainted(); };
  return WaitRoundsUntil(state.m_wait, controls, state, painted, [] { return true; }) !=
         WaitEnd::kClosing;
}

// Rounds a page's laid-out size must stay the same before it counts as settled (200 ms).
constexpr int kSettleRounds = 20;

// One pass through the whole page within the load wait, a step of one view height at a time,
// each step held until the view has painted a frame there (scripts that watch the scroll
// position or what comes into view see it), then back to the top. Images and blocks that load
// when they come into view so start loading before the page is measured and copied.
class LazyPass {
 public:
  explicit LazyPass(PageView& view) : m_view(view) {}

  // Moves the pass on as far as the view allows now; it begins as soon as the page has a
  // document (parsed, its fonts ready) that reaches below the view, without waiting for the
  // images in view: what comes into view later must start loading as early as it can.
  void Advance();
  // Ends the pass where it stands: the view goes back to the page's top.
  void Finish();
  bool Done() const { return m_stage == Stage::kDone; }

 private:
  enum class Stage { kWaiting, kStepping, kReturning, kDone };
  void Begin();
  void StepDown();

  PageView& m_view;
  Stage m_stage = Stage::kWaiting;
  int m_step = 0;      // the view's height: the length of one step
  int m_expected = 0;  // where the view stands after the last step unless the page ended
};

void LazyPass::Begin() {
  const std::optional<PixelSize> size = m_view.LayoutSize();
  m_step = m_view.GetViewSize().height;
  if (!size || m_step <= 0) return;  // no document yet: the next round tries again
  if (size->height <= m_step) {      // the whole page is in view already: nothing to pass
    m_stage = Stage::kDone;
    return;
  }
  const ScrollPoint at = m_view.GetScrollPosition();
  if (at.x != 0 || at.y != 0) m_view.ScrollBy(-at.x, -at.y);
  m_expected = 0;
  StepDown();
}

void LazyPass::StepDown() {
  m_view.ScrollBy(0, m_step);
  m_expected += m_step;
  m_view.RequestFrame();
  m_stage = Stage::kStepping;
}

void LazyPass::Advance() {
  switch (m_stage) {
    case Stage::kWaiting: Begin(); return;
    case Stage::kStepping:
      if (!m_view.FramePainted()) return;
      // A view that stopped short of a whole step stands at the page's end.
      if (m_view.GetScrollPosition().y >= m_expected) {
        StepDown();
        return;
      }
      Finish();
      m_view.RequestFrame();
      m_stage = Stage::kReturning;
      return;
    case Stage::kReturning:
      if (m_view.FramePainted()) m_stage = Stage::kDone;
      return;
    case Stage::kDone: return;
  }
}

void LazyPass::Finish() {
  if (m_stage == Stage::kStepping) {
    const ScrollPoint at = m_view.GetScrollPosition();
    m_view.ScrollBy(-at.x, -at.y);
  }
  m_stage = Stage::kDone;
}

// Watches a page settle: ready once it has finished loading (every resource request answered)
// and its laid-out size has not changed for kSettleRounds rounds.
class SettleWatch {
 public:
  bool Ready(PageView& view, long long round) {
    const std::optional<PixelSize> size = view.LayoutSize();
    if (!size || !m_last || size->width != m_last->width || size->height != m_last->height) {
      m_last = size;
      m_changedAt = round;
    }
    return m_last && round - m_changedAt >= kSettleRounds && view.LoadFinished();
  }

 private:
  std::optional<PixelSize> m_last;
  long long m_changedAt = 0;
};

// The fast mode: the picture is taken in one document snapshot where that gives the tiles'
// picture, and the waits are those the engine drives.
bool FastMode(const RunState& state) { return state.m_capture == CaptureMethod::kSnapshot; }

// Content that loads or changes as it comes into view: only then does a pass through the page
// change the picture.
bool NeedsLazyPass(const PageTraits& traits) {
  return traits.lazyContent || traits.scrollListeners || traits.frameLoop;
}

// Whether the load wait passes through the page. The window always does. The fast mode decides
// once the page has a document, from what the probe saw from the document's start, and asks
// again before the page counts as ready, for content that its scripts added later.
class PassChoice {
 public:
  PassChoice(PageView& view, const RunState& state)
      : m_view(view), m_choice(FastMode(state) ? Choice::kUndecided : Choice::kWanted) {}

  bool Wanted() {
    if (m_choice == Choice::kUndecided && m_view.LayoutSize()) {
      m_choice = NeedsLazyPass(m_view.Traits()) ? Choice::kWanted : Choice::kSkipped;
    }
    return m_choice == Choice::kWanted;
  }
  // True when the pass, skipped so far, turns out to be needed after all.
  bool WantedAfterAll() {
    if (m_choice != Choice::kSkipped || m_asked) return false;
    m_asked = true;
    if (!NeedsLazyPass(m_view.Traits())) return false;
    m_choice = Choice::kWanted;
    return true;
  }

 private:
  enum class Choice { kUndecided, kWanted, kSkipped };
  PageView& m_view;
  Choice m_choice;
  bool m_asked = false;
};

// The load wait: m_wait x 5 rounds, with the pass through the page as soon as it has a
// document. When the run waits only until pages are ready, it ends as soon as the pass is done
// and the page has settled (in the fast mode also once the short timers of its load have run).
// False when the window started closing.
bool LoadWait(PageView& view, RunControls& controls, const RunState& state) {
  LazyPass pass(view);
  SettleWatch settle;
  PassChoice choice(view, state);
  const auto ready = [&](long long round) {
    const bool passing = choice.Wanted();
    if (passing) pass.Advance();
    const bool settled = state.m_untilLoaded && settle.Ready(view, round) &&
                         (!FastMode(state) || view.PendingShortTimers() == 0);
    if (!settled || (passing && !pass.Done())) return false;
    return passing || !choice.WantedAfterAll();
  };
  const auto awaiting = [&] { return choice.Wanted() && !pass.Done(); };
  const WaitEnd end =
      WaitRoundsUntil(static_cast<long long>(state.m_wait) * 5, controls, state, ready, awaiting);
  if (end == WaitEnd::kClosing) return false;
  pass.Finish();
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

// A view pixel as the bitmap keeps it: blue, green, red and an unused byte, or with `alpha` the
// pixel's opacity in that byte and its colour no longer premultiplied by it.
std::uint32_t BitmapPixel(std::uint32_t argb, bool alpha) {
  if (!alpha) return argb & 0x00FFFFFF;
  const std::uint32_t a = argb >> 24;
  if (a == 0 || a == 255) return a == 0 ? 0 : argb;
  std::uint32_t pixel = a << 24;
  for (int shift = 0; shift < 24; shift += 8) {
    const std::uint32_t channel = (argb >> shift) & 0xFF;
    pixel |= std::min<std::uint32_t>((channel * 255 + a / 2) / a, 255) << shift;
  }
  return pixel;
}

void PutPixel(std::uint8_t* row, int x, int bitsPerPixel, std::uint32_t pixel) {
  if (bitsPerPixel == 32) {
    std::memcpy(row + static_cast<std::size_t>(x) * 4, &pixel, 4);
  } else {
    std::uint8_t* out = row + static_cast<std::size_t>(x) * 3;
    out[0] = static_cast<std::uint8_t>(pixel);
    out[1] = static_cast<std::uint8_t>(pixel >> 8);
    out[2] = static_cast<std::uint8_t>(pixel >> 16);
  }
}

// Whether the capture keeps each pixel's opacity: a transparent background asked for, and a
// bitmap with a byte to keep it in.
bool KeepsOpacity(const RunState& state, const DeviceBitmap& bitmap) {
  return state.m_pictureOptions.transparent && bitmap.BitsPerPixel() == 32;
}

// Copies one tile's page region into its fill area of the bitmap. The view's top-left corner
// shows page pixel `scroll`, so page pixel (x, y) is view pixel (x - scroll.x, y - scroll.y).
// With `alpha` (a 32-bit bitmap) each pixel keeps its opacity, and where the view has no pixel
// the bitmap is transparent.
void CopyTile(const Tile& tile, const TilePlan& plan, const ViewPixels& view, ScrollPoint scroll,
              DeviceBitmap& bitmap, bool alpha) {
  const int bpp = bitmap.BitsPerPixel();
  // The view column of every bitmap column of the fill area; -1 where the view has none.
  std::vector<int> viewX(tile.fill.width);
  for (int k = 0; k < tile.fill.width; ++k) {
    const int x =
        PagePixelFor(tile.fill.x + k, plan.scale, tile.page.x, tile.page.width) - scroll.x;
    viewX[k] = x >= 0 && x < view.width ? x : -1;
  }
  for (int dy = tile.fill.y; dy < tile.fill.y + tile.fill.height; ++dy) {
    std::uint8_t* row = bitmap.Row(dy);
    const int y = PagePixelFor(dy, plan.scale, tile.page.y, tile.page.height) - scroll.y;
    const std::uint32_t* source = y >= 0 && y < view.height ? view.Row(y) : nullptr;
    for (int k = 0; k < tile.fill.width; ++k) {
      const std::uint32_t pixel =
          source && viewX[k] >= 0 ? BitmapPixel(source[viewX[k]], alpha) : kBackground;
      PutPixel(row, tile.fill.x + k, bpp, pixel);
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
  // The page is fitted in its own pixels, as a reader sees it, and copied in device pixels.
  const int device = std::max(view.DeviceScale(), 1);
  layout.page = FitCaptureSize(measured->width / device, measured->height / device,
                               viewSize.height / device, state.m_captureWidth);
  layout.page.width *= device;
  layout.page.height *= device;
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

// A tile of no height or width (a page exactly rows x VH high) copies nothing.
bool CopiesSomething(const Tile& tile) {
  return tile.fill.width > 0 && tile.fill.height > 0 && tile.page.width > 0 && tile.page.height > 0;
}

// Brings a page that opened scrolled (an anchor, a script) to its top-left corner, where the
// first tile starts.
void ScrollToTop(PageView& view) {
  const ScrollPoint at = view.GetScrollPosition();
  if (at.x != 0 || at.y != 0) view.ScrollBy(-at.x, -at.y);
}

// The fast mode's copy: the first tile as the reader sees the page at its top (what is pinned
// to the view included), every other tile from one snapshot of the whole document with pinned
// elements hidden, as the tiles show them. Where the two ways can give different pictures
// (PageTraits: fixed backgrounds, content-visibility), or the document is larger than one
// snapshot can hold, it takes nothing and returns false: the page goes tile by tile.
bool CopyBySnapshot(const Layout& layout, PageView& view, const PageTraits& traits,
                    DeviceBitmap& bitmap, bool alpha) {
  if (traits.fixedBackground || traits.contentVisibility) return false;
  const TilePlan plan = PlanTiles(layout.page.width, layout.page.height, layout.viewWidth,
                                  layout.viewHeight, layout.scale);
  ScrollToTop(view);
  ViewPixels first;
  if (!view.Snapshot(first) || !first.Complete()) return false;
  // A page that cannot scroll is all in its first view, beyond its own end too (the view's
  // background, which a document snapshot does not hold): the tiles never scroll either.
  const bool scrolls = layout.page.width > first.width || layout.page.height > first.height;
  ViewPixels document;
  if (scrolls) {
    view.HidePinnedElements();
    if (!view.SnapshotDocument(document) || !document.Complete()) {
      view.RestorePinnedElements();
      return false;
    }
  }
  for (int i = 0; i <= plan.rows; ++i) {
    for (int j = 0; j <= plan.cols; ++j) {
      const Tile tile = plan.At(i, j);
      if (!CopiesSomething(tile)) continue;
      const bool firstView = !scrolls || (i == 0 && j == 0);
      CopyTile(tile, plan, firstView ? first : document, ScrollPoint(), bitmap, alpha);
    }
  }
  return true;
}

// Copies the page tile by tile into `bitmap`, scrolling the view between tiles and waiting
// m_wait rounds after each scroll; an outcome when the copy had to end early.
std::optional<CaptureOutcome> CopyTiles(const Layout& layout, PageView& view, RunControls& controls,
                                        const RunState& state, DeviceBitmap& bitmap) {
  const TilePlan plan = PlanTiles(layout.page.width, layout.page.height, layout.viewWidth,
                                  layout.viewHeight, layout.scale);
  ScrollToTop(view);

  ViewPixels pixels;
  bool first = true;
  const bool fast = FastMode(state);
  const bool alpha = KeepsOpacity(state, bitmap);
  for (int i = 0; i <= plan.rows; ++i) {
    int rowHeight = 0;
    for (int j = 0; j <= plan.cols; ++j) {
      const Tile tile = plan.At(i, j);
      rowHeight = tile.page.height;
      if (CopiesSomething(tile)) {
        // The first tile shows the page as a reader sees it at its top, with what is pinned to
        // the view; every later one shows the content under it instead of another copy.
        if (!first) view.HidePinnedElements();
        first = false;
        // The engine clamps the view at the page's end wherever it sees fit, so the tile is
        // taken from where its page pixels actually show.
        const ScrollPoint scroll = view.GetScrollPosition();
        if (!view.Snapshot(pixels) || !pixels.Complete()) return CaptureOutcome::kNoSnapshot;
        CopyTile(tile, plan, pixels, scroll, bitmap, alpha);
        controls.CaptureProgress(TileStepTime(state.m_wait) + kEngineStepTime);
      }
      // The fast mode scrolls only to a tile that copies something.
      if (fast && (j == plan.cols || plan.At(i, j + 1).page.width <= 0)) continue;
      const ScrollPoint before = state.m_untilLoaded ? view.GetScrollPosition() : ScrollPoint();
      view.ScrollBy(tile.page.width, 0);
      if (!WaitAfterScroll(view, controls, state, before)) return CaptureOutcome::kClosing;
    }
    if (fast && (i == plan.rows || plan.At(i + 1, 0).page.height <= 0)) break;
    const ScrollPoint before = state.m_untilLoaded ? view.GetScrollPosition() : ScrollPoint();
    view.ScrollBy(0, rowHeight);
    ScrollToLeftEdge(view);
    if (!WaitAfterScroll(view, controls, state, before)) return CaptureOutcome::kClosing;
  }
  return std::nullopt;
}

// Copies the page into `bitmap` in one document snapshot where the fast mode can, tile by tile
// otherwise; notes the way taken in `result`.
std::optional<CaptureOutcome> CopyPage(const Layout& layout, PageView& view, RunControls& controls,
                                       const RunState& state, DeviceBitmap& bitmap,
                                       CaptureResult& result) {
  if (FastMode(state)) {
    controls.CaptureProgress(
        kEngineStepTime +
        std::chrono::milliseconds(static_cast<long long>(layout.page.width) * layout.page.height /
                                  kSnapshotPixelsPerMillisecond));
    const PageTraits traits = view.Traits();
    result.webglRefused = traits.webglRefused;
    if (CopyBySnapshot(layout, view, traits, bitmap, KeepsOpacity(state, bitmap))) {
      result.method = CaptureMethod::kSnapshot;
      return std::nullopt;
    }
  }
  result.method = CaptureMethod::kTiles;
  return CopyTiles(layout, view, controls, state, bitmap);
}

// A picture its format cannot hold is refused before the page is copied: true, with the reason
// in `result`.
bool RefusedByFormat(const Layout& layout, const RunState& state, CaptureResult& result) {
  result.detail = PictureRefusal(*state.m_format, layout.bitmapWidth, layout.bitmapHeight,
                                 state.m_pictureOptions);
  if (result.detail.empty()) return false;
  result.outcome = CaptureOutcome::kTooLarge;
  return true;
}

// The page's picture in a bitmap, copied in one document snapshot or tile by tile; nullopt with
// the outcome in `result` when none could be had.
std::optional<DeviceBitmap> TakePicture(const Layout& layout, PageView& view, RunControls& controls,
                                        const RunState& state, CaptureResult& result) {
  // The display's depth. A display of fewer bits still hands over full-colour pixels, and the
  // page keeps them: it is written with 32 bits rather than reduced.
  // A transparent picture keeps each pixel's opacity in the fourth byte.
  const int bitsPerPixel =
      view.BitsPerPixel() == 24 && !state.m_pictureOptions.transparent ? 24 : 32;
  std::optional<DeviceBitmap> bitmap =
      DeviceBitmap::Create(layout.bitmapWidth, layout.bitmapHeight, bitsPerPixel);
  if (!bitmap) {
    result.outcome = CaptureOutcome::kTooLarge;
    return std::nullopt;
  }
  const std::optional<CaptureOutcome> failed =
      CopyPage(layout, view, controls, state, *bitmap, result);
  if (failed == CaptureOutcome::kClosing) {
    result.outcome = *failed;
    return std::nullopt;
  }
  // The shown page looks as it did before the copy: nothing of it stays hidden or moved.
  view.RestorePinnedElements();
  if (failed) {
    result.outcome = *failed;
    return std::nullopt;
  }
  return bitmap;
}

// ---- What the user asks of every page. ----

// Adds the user's style to the loaded page and runs their script in it, noting what it threw,
// and waits for the frame that paints what they changed; false when the window started closing.
bool PreparePage(PageView& view, RunControls& controls, const RunState& state,
                 CaptureResult& result) {
  const PageOptions& options = state.m_pageOptions;
  if (options.style.empty() && options.script.empty()) return true;
  if (!options.style.empty()) view.AddUserStyle(options.style);
  if (!options.script.empty()) {
    if (std::optional<std::string> error = view.RunUserScript(options.script)) {
      result.scriptError = *error;
    }
  }
  view.RequestFrame();
  const auto painted = [&](long long) { return view.FramePainted(); };
  return WaitRoundsUntil(std::max(state.m_wait, 1) * 5LL, controls, state, painted,
                         [] { return true; }) != WaitEnd::kClosing;
}

// The part of the page the picture shows: the first element the selector matches with its
// padding, or the whole page without a selector; nullopt when no element matches.
std::optional<PixelRect> PictureArea(PageView& view, const RunState& state, const Layout& layout) {
  const PageOptions& options = state.m_pageOptions;
  const PixelRect page{0, 0, layout.page.width, layout.page.height};
  if (options.selector.empty()) return page;
  const std::optional<PixelRect> element = view.FindElement(options.selector);
  if (!element) return std::nullopt;
  return ElementArea(*element, options.padding, page.width, page.height);
}

// The bitmap pixels of page area `area` out of the picture of the whole page.
std::optional<DeviceBitmap> CropToArea(const DeviceBitmap& whole, const PixelRect& area,
                                       double scale) {
  const auto clamp = [](long long value, int limit) {
    return static_cast<int>(std::clamp<long long>(value, 0, limit));
  };
  const int left = clamp(Scaled(area.x, scale), whole.Width());
  const int top = clamp(Scaled(area.y, scale), whole.Height());
  const int right =
      clamp(Scaled(static_cast<long long>(area.x) + area.width, scale), whole.Width());
  const int bottom =
      clamp(Scaled(static_cast<long long>(area.y) + area.height, scale), whole.Height());
  std::optional<DeviceBitmap> part =
      DeviceBitmap::Create(right - left, bottom - top, whole.BitsPerPixel());
  if (!part) return std::nullopt;
  const std::size_t bytesPerPixel = static_cast<std::size_t>(whole.BitsPerPixel()) / 8;
  for (int y = 0; y < part->Height(); ++y) {
    std::memcpy(part->Row(y), whole.Row(top + y) + left * bytesPerPixel,
                part->Width() * bytesPerPixel);
  }
  return part;
}

// The capture's outcome for what the picture format's writer came to.
CaptureOutcome WriteOutcome(const PictureWrite& written) {
  if (written.bytes) return CaptureOutcome::kWritten;
  switch (written.failure) {
    case PictureFailure::kTooLarge: return CaptureOutcome::kTooLarge;
    case PictureFailure::kWriteFailed: return CaptureOutcome::kWriteFailed;
  }
  return CaptureOutcome::kWriteFailed;
}

}  // namespace

CaptureResult CaptureToFile(const std::string& path, PageView& view, RunControls& controls,
                            const RunState& state) {
  const double scale = base::ToInt(controls.GetOptionText(settings::Field::kPercent)) * 0.01;
  CaptureResult result;

  controls.CaptureProgress(LoadWaitTime(state.m_wait));
  if (!LoadWait(view, controls, state) || !PreparePage(view, controls, state, result)) {
    result.outcome = CaptureOutcome::kClosing;
    return result;
  }
  // Dialogs and other requests come while the page loads and runs its scripts; they have all
  // been answered by now.
  result.answered = view.AnsweredRequests();
  result.complete = view.LoadFinished();
  Layout layout;
  if (std::optional<CaptureOutcome> failed = MeasureLayout(view, state, scale, layout)) {
    const bool blocked = failed == CaptureOutcome::kNotMeasured && view.LoadBlocked();
    result.outcome = blocked ? CaptureOutcome::kBlocked : *failed;
    return result;
  }
  const std::optional<PixelRect> area = PictureArea(view, state, layout);
  if (!area) {
    result.outcome = CaptureOutcome::kNoElement;
    return result;
  }
  // Nothing below the picture's area is copied: an element near the top of a long page takes
  // the views down to it only.
  layout.page.height = area->y + area->height;
  layout.bitmapHeight = static_cast<int>(Scaled(layout.page.height, scale));
  result.width = layout.bitmapWidth;
  result.height = layout.bitmapHeight;
  if (RefusedByFormat(layout, state, result)) return result;
  controls.CaptureProgress(kEngineStepTime);

  std::optional<DeviceBitmap> bitmap = TakePicture(layout, view, controls, state, result);
  if (!bitmap) return result;
  if (*area != PixelRect{0, 0, layout.page.width, layout.page.height}) {
    bitmap = CropToArea(*bitmap, *area, scale);
    if (!bitmap) {
      result.outcome = CaptureOutcome::kNoUsableArea;
      return result;
    }
    result.width = bitmap->Width();
    result.height = bitmap->Height();
  }
  controls.CaptureProgress(std::chrono::milliseconds(static_cast<long long>(result.width) *
                                                     result.height / kWrittenPixelsPerMillisecond));
  PictureWrite written = WritePicture(*state.m_format, path, *bitmap, state.m_pictureOptions);
  result.outcome = WriteOutcome(written);
  result.bytes = written.bytes.value_or(0);
  result.parts = std::move(written.parts);
  return result;
}

}  // namespace convert
