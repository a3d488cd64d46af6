// A scripted page view: a synthetic page of known pixels, scrolled and clamped like a browser
// view, with every call recorded.
#include "support/fake_page_view.h"

#include <algorithm>

namespace testing_support {

FakePageView::FakePageView(int pageWidth_, int pageHeight_, int viewWidth_, int viewHeight_)
    : pageWidth(pageWidth_),
      pageHeight(pageHeight_),
      viewWidth(viewWidth_),
      viewHeight(viewHeight_) {}

std::uint32_t FakePageView::PagePixel(int x, int y) {
  return 0xFF000000u | (static_cast<std::uint32_t>(y & 0xFFF) << 12) |
         static_cast<std::uint32_t>(x & 0xFFF);
}

void FakePageView::Navigate2(const std::string& location) { navigations.push_back(location); }

void FakePageView::RedrawNow() { ++redraws; }

std::optional<convert::PixelSize> FakePageView::MeasurePage() {
  if (measureFails) return std::nullopt;
  return convert::PixelSize{pageWidth, pageHeight};
}

convert::PixelSize FakePageView::GetViewSize() { return {viewWidth, viewHeight}; }

void FakePageView::ScrollBy(int dx, int dy) {
  scrolls.emplace_back(dx, dy);
  m_lastScrollAt = Now();
  // Like a browser: the view never leaves the page, and a page smaller than the view stays put.
  scroll.x = std::clamp(scroll.x + dx, 0, std::max(0, pageWidth - viewWidth));
  scroll.y = std::clamp(scroll.y + dy, 0, std::max(0, pageHeight - viewHeight));
}

convert::ScrollPoint FakePageView::GetScrollPosition() { return scroll; }

bool FakePageView::Snapshot(convert::ViewPixels& view) {
  if (snapshotFails) return false;
  snapshotsAt.push_back(scroll);
  snapshotTimes.push_back(Now());
  waitsBeforeSnapshot.push_back(Now() - m_lastScrollAt);
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(viewWidth) * viewHeight);
  for (int y = 0; y < viewHeight; ++y) {
    for (int x = 0; x < viewWidth; ++x) {
      const int px = scroll.x + x;
      const int py = scroll.y + y;
      pixels[static_cast<std::size_t>(y) * viewWidth + x] =
          px < pageWidth && py < pageHeight ? PagePixel(px, py) : kViewBackground;
    }
  }
  view.Assign(viewWidth, viewHeight, std::move(pixels));
  return true;
}

bool FakePageView::LoadFinished() {
  if (finishedAtPump < 0) return false;
  const bool finished = !pumps || *pumps >= finishedAtPump;
  if (finished && loadedAt < 0) loadedAt = Now();
  return finished;
}

std::optional<convert::PixelSize> FakePageView::LayoutSize() {
  ++layoutQueries;
  if (measureFails) return std::nullopt;
  const int short_ = growth * std::max(0, growthQueries - layoutQueries + 1);
  const convert::PixelSize size{pageWidth, pageHeight - short_};
  if (!m_lastLayout || m_lastLayout->width != size.width || m_lastLayout->height != size.height) {
    sizeSteadyFrom = Now();
  }
  m_lastLayout = size;
  return size;
}

void FakePageView::RequestFrame() {
  ++frameRequests;
  m_frameQueriesLeft = frameQueries;
}

bool FakePageView::FramePainted() {
  if (m_frameQueriesLeft > 0) --m_frameQueriesLeft;
  return m_frameQueriesLeft == 0;
}

}  // namespace testing_support
