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
  bool LoadFinished() override;
  std::optional<convert::PixelSize> LayoutSize() override;
  void RequestFrame() override;
  bool FramePainted() override;
  convert::EngineRequests AnsweredRequests() override { return answered; }
  void HidePinnedElements() override { hidesAtSnapshot.push_back(snapshotsAt.size()); }
  void RestorePinnedElements() override { ++restores; }
  // With documentSnapshots, the whole page in one picture (PagePixel) as the engine gives it;
  // otherwise none, as a view that cannot.
  bool SnapshotDocument(convert::ViewPixels& view) override {
    if (!documentSnapshots || snapshotFails) return PageView::SnapshotDocument(view);
    ++documentSnapshotsTaken;
    std::vector<std::uint32_t> pixels;
    pixels.reserve(static_cast<std::size_t>(pageWidth) * pageHeight);
    for (int y = 0; y < pageHeight; ++y) {
      for (int x = 0; x < pageWidth; ++x) pixels.push_back(PagePixel(x, y));
    }
    view.Assign(pageWidth, pageHeight, std::move(pixels));
    return true;
  }
  convert::PageTraits Traits() override {
    ++traitQueries;
    return traits;
  }
  // Short timers of the load are pending until the pump with this number (needs `pumps`).
  int PendingShortTimers() override { return pumps && *pumps < timersRunAtPump ? 1 : 0; }

  // Script.
  int pageWidth;
  int pageHeight;
  int viewWidth;
  int viewHeight;
  bool measureFails = false;
  bool snapshotFails = false;
  int bitsPerPixel = 32;
  convert::ScrollPoint scroll;  // where the view stands now; set it to open the page scrolled
  // Loading: the page has finished loading from the pump with this number on (0: at once; a
  // negative number: never); LoadFinished asks `pumps` how many pumps there have been.
  int finishedAtPump = 0;
  const int* pumps = nullptr;
  // The laid-out size grows by `growth` rows at each LayoutSize query until it has grown
  // `growthQueries` times; then it stays at the page's size.
  int growth = 0;
  int growthQueries = 0;
  // A requested frame is painted at the `frameQueries`-th FramePainted query after the request.
  int frameQueries = 1;
  convert::EngineRequests answered;
  bool documentSnapshots = false;
  convert::PageTraits traits;  // what the page probe reports
  int timersRunAtPump = 0;
  // The time the run's waits have taken (the controls' slept milliseconds): with it the view
  // notes when it was loaded, settled, scrolled and snapshot, so that tests check what each wait
  // guards instead of how its rounds are cut.
  const int* clock = nullptr;

  // Record.
  int traitQueries = 0;
  std::vector<std::string> navigations;
  int redraws = 0;
  std::vector<std::pair<int, int>> scrolls;       // every ScrollBy(dx, dy)
  std::vector<convert::ScrollPoint> snapshotsAt;  // the view's position at every snapshot
  std::vector<std::size_t> hidesAtSnapshot;       // snapshots taken before each hide
  int restores = 0;
  int frameRequests = 0;
  int layoutQueries = 0;
  int documentSnapshotsTaken = 0;
  // On `clock`:
  std::vector<int> snapshotTimes;        // at every snapshot
  std::vector<int> waitsBeforeSnapshot;  // from the scroll before each snapshot (or the start)
  int loadedAt = -1;                     // the first LoadFinished that said yes
  int sizeSteadyFrom = -1;               // the last LayoutSize that differed from the one before

 private:
  int Now() const { return clock ? *clock : 0; }
  int m_frameQueriesLeft = 0;
  int m_lastScrollAt = 0;
  std::optional<convert::PixelSize> m_lastLayout;
};

}  // namespace testing_support
