// A scripted page view: a synthetic page of known pixels, scrolled and clamped like a browser
// view, with every call recorded.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "convert/page_view.h"

namespace testing_support {

class FakePageView : public convert::PageView {
 public:
  // A page pageWidth x pageHeight shown in a view viewWidth x viewHeight.
  FakePageView(int pageWidth, int pageHeight, int viewWidth, int viewHeight);

  // The pixel at page position (x, y): x in the low 12 bits, y in the next 12, and 0xFF in the
  // unused byte (as a browser snapshot has it), so that every row and column is told apart.
  static std::uint32_t PagePixel(int x, int y);
  static int PixelX(std::uint32_t pixel) { return static_cast<int>(pixel & 0xFFF); }
  static int PixelY(std::uint32_t pixel) { return static_cast<int>((pixel >> 12) & 0xFFF); }
  // What the view shows beyond the page's end.
  static constexpr std::uint32_t kViewBackground = 0xFF102030;

  void Navigate2(const std::string& location) override;
  void RedrawNow() override;
  std::optional<convert::PixelSize> MeasurePage() override;
  convert::PixelSize GetViewSize() override;
  void ScrollBy(int dx, int dy) override;
  convert::ScrollPoint GetScrollPosition() override;
  bool Snapshot(convert::ViewPixels& view) override;
  int BitsPerPixel() override { return bitsPerPixel; }

  // Script.
  int pageWidth;
  int pageHeight;
  int viewWidth;
  int viewHeight;
  bool measureFails = false;
  bool snapshotFails = false;
  int bitsPerPixel = 32;
  convert::ScrollPoint scroll;  // where the view stands now; set it to open the page scrolled

  // Record.
  std::vector<std::string> navigations;
  int redraws = 0;
  std::vector<std::pair<int, int>> scrolls;         // every ScrollBy(dx, dy)
  std::vector<convert::ScrollPoint> snapshotsAt;    // the view's position at every snapshot
};

}  // namespace testing_support
