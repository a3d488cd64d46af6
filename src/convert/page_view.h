// The browser control as the capture sees it: load, measure, scroll, snapshot.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "convert/engine_request.h"
#include "convert/page_options.h"

namespace convert {

struct PixelSize {
  int width = 0;
  int height = 0;
};

struct ScrollPoint {
  int x = 0;
  int y = 0;
};

// Pixels of the visible view, top row first; each pixel 32 bits, bytes blue, green, red, unused
// (the layout of a 32-bit bitmap row and of a little-endian cairo ARGB32 surface). The rows are
// either held here or those of the engine's own snapshot, kept alive by an owner: a view-sized
// copy per snapshot would cost more memory than the bitmap of a short page.
class ViewPixels {
 public:
  int width = 0;
  int height = 0;

  // Holds `pixels` (width * height, top row first).
  void Assign(int viewWidth, int viewHeight, std::vector<std::uint32_t> pixels);
  // Refers to rows `stride` pixels apart that `owner` keeps alive.
  void Refer(int viewWidth, int viewHeight, const std::uint32_t* rows, int stride,
             std::shared_ptr<const void> owner);
  // True when there is a pixel for every position of width x height.
  bool Complete() const;

  const std::uint32_t* Row(int y) const {
    return m_rows + static_cast<std::ptrdiff_t>(y) * m_stride;
  }
  // Pixel (x, y) as 0x00RRGGBB (the unused byte cleared).
  std::uint32_t At(int x, int y) const { return Row(y)[x] & 0x00FFFFFFu; }

 private:
  std::vector<std::uint32_t> m_held;
  std::shared_ptr<const void> m_owner;
  const std::uint32_t* m_rows = nullptr;
  int m_stride = 0;
};

// What the page probe of a view found in the current page: the kinds of content for which a
// picture taken another way than tile by tile (one snapshot of the whole document, no lazy pass,
// no waits after scrolling) may differ from the tiles, so that the capture can choose its way and
// the record can say why. All false and 0: a plain page. Measured on this engine under the
// virtual display, a document snapshot against tiles of one view height (each the snapshot of
// the visible view, pinned elements hidden after the first), compositing on and off alike:
// - plain pages, 100vh sections (viewport units), sticky headers, fixed headers, a sticky header
//   recoloured by a scroll listener, a WebGL canvas: the same pixels. The document snapshot
//   lays the page out in the view's size (100vh is one view tall, as in the tiles) and paints
//   fixed and sticky elements once, at their places with the page at its top, which is what
//   HidePinnedElements makes the tiles show.
// - fixedBackground (background-attachment: fixed): different. The document snapshot paints the
//   fixed background only where the view stands (the first view height at scroll position 0)
//   and leaves the rest of the element's background blank; tiles paint it in every view.
// - contentVisibility (content-visibility: auto): different. The engine skips painting the
//   blocks away from the view, and the document snapshot shows them blank; tiles scroll to each
//   block, which is then painted.
// - lazyContent (loading="lazy", an IntersectionObserver): what never came into view was never
//   asked for; a document snapshot without a pass through the page shows it missing.
// - scrollListeners: a script that changes content in the flow on scrolling shows its state at
//   the current scroll position all over a document snapshot, but a scrolled state in tiles.
// - frameLoop (requestAnimationFrame called again from its own callback, three deep): the page
//   keeps changing; any snapshot is a moment of it.
// - webgl: the page made a WebGL context. With compositing off the engine still gives one and
//   the canvas is in both kinds of snapshot; webglRefused says a context was asked for and not
//   given (the canvas then shows nothing of it).
// - pendingShortTimers: timers of at most 1 s, set before the load event or within 500 ms after
//   it, that have not run.
struct PageTraits {
  bool lazyContent = false;
  bool scrollListeners = false;
  bool frameLoop = false;
  bool webgl = false;
  bool webglRefused = false;  // a WebGL context was asked for and not given
  bool fixedBackground = false;
  bool contentVisibility = false;
  bool viewportUnits = false;
  // Timers of at most 1 s set before the load event that have not run yet.
  int pendingShortTimers = 0;
};

class PageView {
 public:
  virtual ~PageView() = default;
  // Starts loading a local file path or a web address; loading goes on while events are pumped.
  virtual void Navigate2(const std::string& location) = 0;
  // Redraws the view at once.
  virtual void RedrawNow() = 0;
  // The page's full width and height in pixels (the whole document, margins included);
  // nullopt when there is no document or body to measure.
  virtual std::optional<PixelSize> MeasurePage() = 0;
  // The size of the visible view in pixels (what a snapshot holds).
  virtual PixelSize GetViewSize() = 0;
  // Scrolls the view by the given pixels, instantly; the engine clamps at the page's ends.
  virtual void ScrollBy(int dx, int dy) = 0;
  // Where the view's top-left corner is on the page now.
  virtual ScrollPoint GetScrollPosition() = 0;
  // The pixels of the visible view as shown now; false when none could be had.
  virtual bool Snapshot(ViewPixels& view) = 0;
  // Bits per pixel of the display surface the page is rendered on.
  virtual int BitsPerPixel() = 0;
  // Device pixels for each of the page's own pixels in either direction (1, or 2 and 3 on a
  // display that scales): what a snapshot holds. Every size and position of the page view is in
  // device pixels.
  virtual int DeviceScale() { return 1; }

  // What a view without an engine behind it answers below: a page that is always whole, with
  // frames that are always painted, no requests of the engine answered and nothing pinned to the
  // view.

  // True once the current page has finished loading and none of the resources it asked for is
  // still on its way. Never waits.
  virtual bool LoadFinished() { return true; }
  // The document's size as laid out now, once its fonts are ready; nullopt without a document or
  // while fonts still load. Cheaper than MeasurePage, for watching a page settle.
  virtual std::optional<PixelSize> LayoutSize() { return MeasurePage(); }
  // Asks to be told of the next frame the view paints; FramePainted() turns true when it has.
  virtual void RequestFrame() {}
  virtual bool FramePainted() { return true; }
  // The requests the current page made that would have opened a window or waited for a person
  // (a script dialog, printing, a password, a new window, ...); each was answered at once by the
  // program. Starts empty with every Navigate2.
  virtual EngineRequests AnsweredRequests() { return {}; }
  // Hides what a reader sees pinned to the view (fixed elements) and pins sticky elements to
  // their places in the page, so that views scrolled further down show the content under them.
  // Only the shown document changes, never the page's file; RestorePinnedElements undoes it.
  virtual void HidePinnedElements() {}
  virtual void RestorePinnedElements() {}

  // Shows the next pages over nothing where they set no background of their own, so that their
  // snapshots keep each pixel's opacity (premultiplied, in the fourth byte); or, as at first,
  // over the white of an empty page. A view that cannot gives opaque pixels either way.
  virtual void SetTransparentBackground(bool transparent) {}
  // ---- What the user asks of every page (PageOptions). ----

  // Applies `options` to the pages loaded from the next Navigate2 on; `sourceFolder` is the
  // folder a confined local page may read files from.
  virtual void SetPageOptions(const PageOptions& options, const std::string& sourceFolder) {}
  // Adds the user's `style` to the loaded page after every style sheet of its own, so that the
  // user's rules win where they are as specific as the page's.
  virtual void AddUserStyle(const std::string& style) {}
  // Runs the user's `script` in the page, beside the page's own scripts (seeing what they made);
  // what it threw in the engine's words, or nullopt when it ran through.
  virtual std::optional<std::string> RunUserScript(const std::string& script) {
    return std::nullopt;
  }
  // True when the current page itself was refused by the bounds of the page options (a local
  // page outside the confined folder).
  virtual bool LoadBlocked() { return false; }
  // Where the first element matching `selector` lies on the page (page pixels, from the page's
  // top-left corner, wherever the view stands); nullopt when none matches or the selector is no
  // selector.
  virtual std::optional<PixelRect> FindElement(const std::string& selector) { return std::nullopt; }

  // ---- A capture in one snapshot, with waits the engine drives. ----

  // The pixels of the whole document at once, as laid out now in the view's width; false when
  // the view cannot give them. Never a clipped picture: a document larger than the engine can
  // photograph in one piece gives false, and the capture goes tile by tile.
  virtual bool SnapshotDocument(ViewPixels& pixels) {
    pixels = ViewPixels();
    return false;
  }
  // What the page probe found in the current page so far (see PageTraits). Asks the page's
  // styles: a script through every element, so it is asked once or twice a page.
  virtual PageTraits Traits() { return {}; }
  // PageTraits::pendingShortTimers as the probe told it, without asking the page.
  virtual int PendingShortTimers() { return 0; }
  // When the current document's laid-out size (LayoutSize) last changed, as told by the engine
  // without asking the page; nullopt when the view is not told of changes and LayoutSize must be
  // polled, or before the document reported its first size.
  virtual std::optional<std::chrono::steady_clock::time_point> LastLayoutChange() {
    return std::nullopt;
  }
};

}  // namespace convert
