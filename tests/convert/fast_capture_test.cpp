// The fast mode's capture on a scripted page view: one document snapshot where it gives the
// tiles' picture, a pass through the page only where content comes with scrolling, the short
// timers of the load awaited, and the way taken named in the result.
#include <gtest/gtest.h>

#include <string>

#include "convert/page_capture.h"
#include "support/fake_page_view.h"
#include "support/fake_run_controls.h"
#include "support/temp_folder.h"

namespace {

using convert::CaptureMethod;
using convert::CaptureOutcome;
using convert::PageTraits;
using testing_support::FakePageView;

struct FastCapture {
  FastCapture(int pageWidth, int pageHeight) : view(pageWidth, pageHeight, 800, 724) {
    controls.texts[settings::Field::kPercent] = "100";
    state.m_captureWidth = 800;
    state.m_wait = 10;
    state.m_untilLoaded = true;
    state.m_capture = CaptureMethod::kSnapshot;
    view.documentSnapshots = true;
    view.pumps = &controls.pumps;
  }
  convert::CaptureResult Run() {
    return convert::CaptureToFile(folder / "page.bmp", view, controls, state);
  }
  // Every bitmap pixel shows the page pixel under it (the fake's pixels name their place), and
  // the rows below a page lower than the view show the view's background.
  bool Whole() const {
    const std::string bytes = testing_support::ReadFile(folder / "page.bmp");
    if (bytes.size() < 54) return false;
    const auto u32 = [&](std::size_t at) {
      std::uint32_t v = 0;
      for (int k = 3; k >= 0; --k) v = (v << 8) | static_cast<unsigned char>(bytes[at + k]);
      return v;
    };
    const int width = static_cast<int>(u32(18)), height = static_cast<int>(u32(22));
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const std::uint32_t pixel = u32(u32(10) + (height - 1 - y) * width * 4 + x * 4);
        const std::uint32_t expected =
            y < view.pageHeight ? FakePageView::PagePixel(x, y) : FakePageView::kViewBackground;
        if (pixel != (expected & 0x00FFFFFF)) return false;
      }
    }
    return true;
  }

  testing_support::TempFolder folder;
  FakePageView view;
  testing_support::FakeRunControls controls;
  convert::RunState state;
};

TEST(FastCapture, OneDocumentSnapshotWhereItGivesTheTilesPictureTilesElsewhere) {
  const struct {
    const char* what;
    int width, height;
    PageTraits traits;
    bool canSnapshot;
    CaptureMethod method;
    int documentSnapshots;
  } cases[] = {
      {"a plain page", 781, 3000, {}, true, CaptureMethod::kSnapshot, 1},
      {"wider than the view", 1700, 1200, {}, true, CaptureMethod::kSnapshot, 1},
      // The first view holds all of it, the view's background below the page too.
      {"within the first view", 781, 500, {}, true, CaptureMethod::kSnapshot, 0},
      {"fixed background", 781, 3000, {.fixedBackground = true}, true, CaptureMethod::kTiles, 0},
      {"content visibility",
       781,
       3000,
       {.contentVisibility = true},
       true,
       CaptureMethod::kTiles,
       0},
      {"no document snapshot", 781, 3000, {}, false, CaptureMethod::kTiles, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FastCapture capture(c.width, c.height);
    capture.view.traits = c.traits;
    capture.view.documentSnapshots = c.canSnapshot;
    const convert::CaptureResult result = capture.Run();
    ASSERT_EQ(result.outcome, CaptureOutcome::kWritten);
    EXPECT_EQ(result.method, c.method);
    EXPECT_EQ(capture.view.documentSnapshotsTaken, c.documentSnapshots);
    EXPECT_TRUE(capture.Whole());
    if (c.method == CaptureMethod::kSnapshot) {
      // The first view as the reader sees it, then nothing scrolled.
      EXPECT_EQ(capture.view.snapshotsAt.size(), 1u);
      EXPECT_TRUE(capture.view.scrolls.empty());
    }
  }
}

TEST(FastCapture, PassesThroughThePageOnlyWhereContentComesWithScrolling) {
  const struct {
    const char* what;
    PageTraits traits;
    bool passes;
  } cases[] = {
      {"a plain page", {}, false},
      {"lazy images or an observer", {.lazyContent = true}, true},
      {"scroll listeners", {.scrollListeners = true}, true},
      {"an animation-frame loop", {.frameLoop = true}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FastCapture capture(781, 3000);
    capture.view.traits = c.traits;
    ASSERT_EQ(capture.Run().outcome, CaptureOutcome::kWritten);
    EXPECT_EQ(!capture.view.scrolls.empty(), c.passes);
    // The page's styles are asked for a few times a page, never once a round.
    EXPECT_LE(capture.view.traitQueries, 3);
    EXPECT_TRUE(capture.Whole());
  }
}

TEST(FastCapture, ThePageIsReadyOnlyOnceTheShortTimersOfItsLoadHaveRun) {
  FastCapture ready(781, 3000);
  ASSERT_EQ(ready.Run().outcome, CaptureOutcome::kWritten);
  FastCapture timers(781, 3000);
  timers.view.timersRunAtPump = 30;
  ASSERT_EQ(timers.Run().outcome, CaptureOutcome::kWritten);
  // The page with timers was measured after they ran, not when it had settled before.
  EXPECT_GE(timers.controls.pumps, 30);
  EXPECT_GT(timers.controls.sleptMilliseconds, ready.controls.sleptMilliseconds);
  // Within the page's Wait all the same: timers that never run end with the load wait.
  FastCapture never(781, 3000);
  never.view.timersRunAtPump = 1 << 30;
  ASSERT_EQ(never.Run().outcome, CaptureOutcome::kWritten);
  EXPECT_LE(never.controls.sleptMilliseconds, 10 * 5 * 10);
}

}  // namespace
