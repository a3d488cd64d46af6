// The page capture end to end on a scripted page view: pixels, scrolls, waits and refusals.
#include "convert/page_capture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "base/file_system.h"
#include "support/fake_page_view.h"
#include "support/fake_run_controls.h"
#include "support/temp_folder.h"

namespace {

using convert::CaptureOutcome;
using settings::Field;
using testing_support::FakePageView;
using testing_support::FakeRunControls;
using testing_support::TempFolder;

// A bitmap file read back: its header numbers and its pixels counted from the top.
struct ReadBitmap {
  std::string bytes;
  std::uint32_t U32(size_t at) const {
    std::uint32_t v = 0;
    for (int k = 3; k >= 0; --k) v = (v << 8) | static_cast<unsigned char>(bytes[at + k]);
    return v;
  }
  int Width() const { return static_cast<int>(U32(18)); }
  int Height() const { return static_cast<int>(U32(22)); }
  int Bits() const { return static_cast<unsigned char>(bytes[28]); }
  std::uint32_t Pixel(int x, int y) const {
    const size_t stride = ((Bits() * Width() + 31) & ~31) / 8;
    const size_t at = U32(10) + (Height() - 1 - y) * stride + x * (Bits() / 8);
    std::uint32_t v = 0;
    std::memcpy(&v, bytes.data() + at, Bits() / 8);
    return v;
  }
};

struct Capture {
  explicit Capture(int pageWidth, int pageHeight, int viewWidth = 800, int viewHeight = 724)
      : view(pageWidth, pageHeight, viewWidth, viewHeight) {
    controls.texts[Field::kPercent] = "100";
    state.m_captureWidth = viewWidth;
    state.m_wait = 2;
  }
  CaptureOutcome Run() { return convert::CaptureToFile(path(), view, controls, state).outcome; }
  std::string path() const { return folder / "page.bmp"; }
  ReadBitmap Read() const { return {testing_support::ReadFile(path())}; }

  TempFolder folder;
  FakePageView view;
  FakeRunControls controls;
  convert::RunState state;
};

constexpr std::uint32_t kBackground = FakePageView::kViewBackground & 0x00FFFFFF;

// Every bitmap pixel shows the page pixel under it: at 100% exactly the same pixel, scaled a
// page pixel inside the bitmap pixel's footprint [d / s, (d + 1) / s) (the view's background
// decodes to a single far pixel, so it fails this too), and the unused byte is 0.
void ExpectPageReproduced(const ReadBitmap& bitmap, int pageWidth, int pageHeight, double scale) {
  int wrong = 0;
  for (int y = 0; y < bitmap.Height() && wrong < 5; ++y) {
    for (int x = 0; x < bitmap.Width() && wrong < 5; ++x) {
      const std::uint32_t pixel = bitmap.Pixel(x, y);
      const int px = FakePageView::PixelX(pixel);
      const int py = FakePageView::PixelY(pixel);
      const auto inside = [scale](int page, int d, int limit) {
        const int low = static_cast<int>(std::floor(d / scale));
        const int high = std::min(limit, static_cast<int>(std::ceil((d + 1) / scale))) - 1;
        return (page & 0xFFF) >= (low & 0xFFF) && page - (low & 0xFFF) <= high - low;
      };
      if ((pixel >> 24) != 0 || !inside(px, x, pageWidth) || !inside(py, y, pageHeight)) {
        ADD_FAILURE() << "bitmap pixel (" << x << ", " << y << ") shows page (" << px << ", " << py
                      << ") " << std::hex << pixel;
        ++wrong;
      }
    }
  }
}

TEST(CaptureToFile, PageOf1200RowsComesOutWholeWithItsScrollsAndWaits) {
  Capture capture(781, 1200);
  capture.view.clock = &capture.controls.sleptMilliseconds;
  ASSERT_EQ(capture.Run(), CaptureOutcome::kWritten);
  const ReadBitmap bitmap = capture.Read();
  EXPECT_EQ(bitmap.Width(), 781);
  EXPECT_EQ(bitmap.Height(), 1200);
  EXPECT_EQ(bitmap.Bits(), 32);
  EXPECT_EQ(bitmap.U32(10), 54u);
  EXPECT_EQ(bitmap.U32(2), 54u + 781u * 4 * 1200);
  ExpectPageReproduced(bitmap, 781, 1200, 1.0);

  // Within the load wait one pass down the page a view height at a time and back to the top;
  // then after each tile right by its width, after each row down by its height and back left.
  const std::vector<std::pair<int, int>> scrolls = {{0, 724}, {0, -476}, {781, 0}, {0, 719},
                                                    {0, 0},   {781, 0},  {0, 481}, {0, 0}};
  EXPECT_EQ(capture.view.scrolls, scrolls);
  // The second row is taken where the view really stands: clamped at 1200 - 724 = 476.
  ASSERT_EQ(capture.view.snapshotsAt.size(), 2u);
  EXPECT_EQ(capture.view.snapshotsAt[1].y, 476);
  // The page had its load time (Wait 2 x 5 rounds of 10 ms) before the first snapshot, and the
  // second row its Wait (2 rounds) after the scroll that brought it into view.
  EXPECT_GE(capture.view.snapshotTimes[0], 100);
  EXPECT_GE(capture.view.waitsBeforeSnapshot[1], 20);
}

TEST(CaptureToFile, EveryPagePixelLandsInPlaceAtEachScale) {
  struct Case {
    int pageWidth, pageHeight, viewWidth, viewHeight, percent;
  } cases[] = {
      {2000, 1500, 800, 724, 100},  // last column and last row clamped
      {2000, 1500, 800, 724, 50},   // odd view height at 50%: no seams
      {1203, 2171, 799, 724, 50},  {781, 1200, 800, 724, 33}, {781, 1000, 800, 724, 150},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.pageWidth << "x" << c.pageHeight << " at " << c.percent);
    Capture capture(c.pageWidth, c.pageHeight, c.viewWidth, c.viewHeight);
    capture.controls.texts[Field::kPercent] = std::to_string(c.percent);
    ASSERT_EQ(capture.Run(), CaptureOutcome::kWritten);
    const ReadBitmap bitmap = capture.Read();
    const double scale = c.percent * 0.01;
    EXPECT_EQ(bitmap.Width(), static_cast<int>(c.pageWidth * scale));
    EXPECT_EQ(bitmap.Height(), static_cast<int>(c.pageHeight * scale));
    ExpectPageReproduced(bitmap, c.pageWidth, c.pageHeight, scale);
  }
}

TEST(CaptureToFile, ShortNarrowPageKeepsItsOwnHeightPlusTenAndTheMinimumWidth) {
  Capture capture(600, 300);
  ASSERT_EQ(capture.Run(), CaptureOutcome::kWritten);
  const ReadBitmap bitmap = capture.Read();
  ASSERT_EQ(bitmap.Width(), 781);
  ASSERT_EQ(bitmap.Height(), 310);
  EXPECT_EQ(bitmap.Pixel(599, 299), FakePageView::PagePixel(599, 299) & 0x00FFFFFF);
  EXPECT_EQ(bitmap.Pixel(600, 0), kBackground);  // what the view shows right of the page
  EXPECT_EQ(bitmap.Pixel(0, 300), kBackground);  // and below it
  EXPECT_EQ(bitmap.Pixel(780, 309), kBackground);
}

TEST(CaptureToFile, PageOfExactlyRowsTimesViewHeightTakesNoSnapshotForTheEmptyRow) {
  Capture capture(781, 1438);
  ASSERT_EQ(capture.Run(), CaptureOutcome::kWritten);
  EXPECT_EQ(capture.view.snapshotsAt.size(), 2u);
  EXPECT_EQ(capture.Read().Height(), 1438);
  ExpectPageReproduced(capture.Read(), 781, 1438, 1.0);
}

TEST(CaptureToFile, PageTallerThanAnySurfaceConverts) {
  Capture capture(81, 40000, 100, 724);  // Size 100: 81 wide; 40,000 rows in 56 tiles
  capture.state.m_wait = 0;
  ASSERT_EQ(capture.Run(), CaptureOutcome::kWritten);
  const ReadBitmap bitmap = capture.Read();
  ASSERT_EQ(bitmap.Height(), 40000);
  ExpectPageReproduced(bitmap, 81, 40000, 1.0);
}

TEST(CaptureToFile, PageOpenedScrolledIsTakenFromItsTop) {
  Capture capture(781, 1200);
  capture.view.scroll = {0, 300};
  ASSERT_EQ(capture.Run(), CaptureOutcome::kWritten);
  ExpectPageReproduced(capture.Read(), 781, 1200, 1.0);
}

TEST(CaptureToFile, TwentyFourBitDisplayWritesThreeBytesAPixel) {
  Capture capture(781, 800);
  capture.view.bitsPerPixel = 24;
  ASSERT_EQ(capture.Run(), CaptureOutcome::kWritten);
  const ReadBitmap bitmap = capture.Read();
  EXPECT_EQ(bitmap.Bits(), 24);
  EXPECT_EQ(bitmap.bytes.size(), 54u + 2344u * 800);  // 781 x 3 = 2343, padded to 2344
  ExpectPageReproduced(bitmap, 781, 800, 1.0);
}

TEST(CaptureToFile, PagesThatCannotBeCapturedGiveNoFile) {
  struct Case {
    const char* what;
    std::string percent;
    int viewWidth, viewHeight;
    bool measureFails, snapshotFails, missingFolder;
    CaptureOutcome outcome;
  } cases[] = {
      {"not measured", "100", 800, 724, true, false, false, CaptureOutcome::kNotMeasured},
      {"Percent 0", "0", 800, 724, false, false, false, CaptureOutcome::kNoUsableArea},
      {"Percent -50", "-50", 800, 724, false, false, false, CaptureOutcome::kNoUsableArea},
      {"Percent text", "abc", 800, 724, false, false, false, CaptureOutcome::kNoUsableArea},
      {"Percent too small", "0.5", 800, 724, false, false, false, CaptureOutcome::kNoUsableArea},
      {"view 5 high", "100", 800, 5, false, false, false, CaptureOutcome::kNoUsableArea},
      {"view 0 wide", "100", 0, 724, false, false, false, CaptureOutcome::kNoUsableArea},
      {"huge Percent", "2000000", 800, 724, false, false, false, CaptureOutcome::kTooLarge},
      {"no snapshot", "100", 800, 724, false, true, false, CaptureOutcome::kNoSnapshot},
      {"no folder", "100", 800, 724, false, false, true, CaptureOutcome::kWriteFailed},
  };
  for (const auto& c : cases) {
    Capture capture(781, 1200, c.viewWidth, c.viewHeight);
    capture.state.m_captureWidth = 800;
    capture.controls.texts[Field::kPercent] = c.percent;
    capture.view.measureFails = c.measureFails;
    capture.view.snapshotFails = c.snapshotFails;
    const std::string path = c.missingFolder ? capture.folder / "none/page.bmp" : capture.path();
    EXPECT_EQ(convert::CaptureToFile(path, capture.view, capture.controls, capture.state).outcome,
              c.outcome)
        << c.what;
    EXPECT_FALSE(base::FileExists(path)) << c.what;
  }
}

TEST(CaptureToFile, ClosingTheWindowAbandonsTheCapture) {
  // Closed while the first tile's snapshot is in: no further tile is taken, the view stays
  // where it is, and no file is written.
  Capture capture(781, 1200);
  std::size_t snapshotsAtClose = 0;
  std::size_t scrollsAtClose = 0;
  capture.controls.onPump = [&] {
    if (capture.state.m_closing || capture.view.snapshotsAt.empty()) return;
    capture.state.m_closing = true;
    snapshotsAtClose = capture.view.snapshotsAt.size();
    scrollsAtClose = capture.view.scrolls.size();
  };
  EXPECT_EQ(capture.Run(), CaptureOutcome::kClosing);
  ASSERT_TRUE(capture.state.m_closing);
  EXPECT_EQ(capture.view.snapshotsAt.size(), snapshotsAtClose);
  EXPECT_EQ(capture.view.scrolls.size(), scrollsAtClose);
  EXPECT_FALSE(base::FileExists(capture.path()));
}

TEST(CaptureToFile, LoadWaitPassesOnceThroughThePageAndBackBeforeMeasuring) {
  struct Case {
    const char* what;
    int pageHeight;
    int frameQueries;  // -1: the view never paints a frame
    std::vector<std::pair<int, int>> passScrolls;
  } cases[] = {
      {"3000 rows", 3000, 1, {{0, 724}, {0, 724}, {0, 724}, {0, 724}, {0, -2276}}},
      {"frames come late", 3000, 3, {{0, 724}, {0, 724}, {0, 724}, {0, 724}, {0, -2276}}},
      // Without painted frames the pass stays at its first step and goes back when time is up.
      {"no frames", 3000, -1, {{0, 724}, {0, -724}}},
      {"as high as the view", 724, 1, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Capture capture(781, c.pageHeight);
    capture.state.m_wait = 10;
    capture.view.frameQueries = c.frameQueries;
    ASSERT_EQ(capture.Run(), CaptureOutcome::kWritten);
    const std::vector<std::pair<int, int>> pass(
        capture.view.scrolls.begin(),
        capture.view.scrolls.begin() + static_cast<long>(c.passScrolls.size()));
    EXPECT_EQ(pass, c.passScrolls);
    ASSERT_FALSE(capture.view.snapshotsAt.empty());
    EXPECT_EQ(capture.view.snapshotsAt[0].y, 0);  // the first tile is the page's top
    ExpectPageReproduced(capture.Read(), 781, c.pageHeight, 1.0);
  }
}

TEST(CaptureToFile, PinnedElementsAreHiddenAfterTheFirstTileAndRestoredAfterTheLast) {
  struct Case {
    int pageWidth, pageHeight;
    std::vector<std::size_t> hides;  // snapshots taken before each hide
  } cases[] = {
      {781, 700, {}},
      {781, 1200, {1}},
      {781, 3000, {1, 2, 3, 4}},
      {1700, 1200, {1, 2, 3, 4, 5}},  // 3 columns, 2 rows
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.pageWidth) + "x" + std::to_string(c.pageHeight));
    Capture capture(c.pageWidth, c.pageHeight);
    capture.state.m_captureWidth = 800;
    ASSERT_EQ(capture.Run(), CaptureOutcome::kWritten);
    EXPECT_EQ(capture.view.hidesAtSnapshot, c.hides);
    EXPECT_EQ(capture.view.restores, 1);
  }
}

TEST(CaptureToFile, UntilLoadedEndsEachWaitWhenThePageIsReadyNeverLater) {
  // Wait 10 on a page of 3000 rows: a load wait of 50 rounds of 10 ms, and 10 rounds after each
  // of 5 tiles and 5 rows, 1,500 ms in all with fixed waits.
  constexpr int kLoadWait = 500;
  constexpr int kScrollWait = 100;
  constexpr int kSettled = 200;  // the laid-out size stays the same this long
  struct Case {
    const char* what;
    bool untilLoaded;
    int finishedAtPump;  // -1: never
    int growthQueries;   // the laid-out size changes at this many queries
    int frameQueries;    // -1: no frame is ever painted
    bool complete;
  } cases[] = {
      {"fixed waits", false, 0, 0, 1, true},
      {"fixed waits, still loading", false, -1, 0, 1, false},
      {"ready at once", true, 0, 0, 1, true},
      {"frames after 3 queries", true, 0, 0, 3, true},
      {"loaded at pump 40", true, 40, 0, 1, true},
      {"size changing for 25 queries", true, 0, 25, 1, true},
      {"never loaded", true, -1, 0, 1, false},
      // No frame: the pass stands still and the scroll waits last as long as the fixed ones.
      {"never a frame", true, 0, 0, -1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Capture capture(781, 3000);
    capture.state.m_wait = 10;
    capture.state.m_untilLoaded = c.untilLoaded;
    capture.view.finishedAtPump = c.finishedAtPump;
    capture.view.pumps = &capture.controls.pumps;
    capture.view.growth = 7;
    capture.view.growthQueries = c.growthQueries;
    capture.view.frameQueries = c.frameQueries;
    capture.view.clock = &capture.controls.sleptMilliseconds;
    const convert::CaptureResult result =
        convert::CaptureToFile(capture.path(), capture.view, capture.controls, capture.state);
    ASSERT_EQ(result.outcome, CaptureOutcome::kWritten);
    const FakePageView& view = capture.view;
    ASSERT_FALSE(view.snapshotTimes.empty());
    // The page had its load time: the whole load wait, or until it was loaded, its size had
    // settled and the pass through it had seen its frames, never longer.
    const bool wholeLoadWait = !c.untilLoaded || c.finishedAtPump < 0 || c.frameQueries < 0;
    if (wholeLoadWait) {
      EXPECT_GE(view.snapshotTimes[0], kLoadWait);
    } else {
      EXPECT_GE(view.snapshotTimes[0], view.loadedAt);
      EXPECT_GE(view.snapshotTimes[0], view.sizeSteadyFrom + kSettled);
      EXPECT_LT(view.snapshotTimes[0], kLoadWait);
    }
    // Every later tile had its wait after its scroll: the whole wait, or until its frame.
    const bool wholeScrollWaits = !c.untilLoaded || c.frameQueries < 0;
    for (std::size_t i = 1; i < view.waitsBeforeSnapshot.size(); ++i) {
      if (wholeScrollWaits) {
        EXPECT_GE(view.waitsBeforeSnapshot[i], kScrollWait) << i;
      } else {
        EXPECT_LT(view.waitsBeforeSnapshot[i], kScrollWait) << i;
      }
    }
    EXPECT_LE(capture.controls.sleptMilliseconds, 1500);  // never later than the fixed waits
    EXPECT_EQ(result.complete, c.complete);
    ExpectPageReproduced(capture.Read(), 781, 3000, 1.0);
  }
}

TEST(CaptureToFile, RequestsThePageMadeAreReported) {
  convert::EngineRequests some;
  some.Add(convert::EngineRequest::kScriptDialog);
  some.Add(convert::EngineRequest::kPrint);
  for (const convert::EngineRequests& answered : {convert::EngineRequests(), some}) {
    Capture capture(781, 1200);
    capture.view.answered = answered;
    capture.view.measureFails = true;  // reported whether or not a picture comes of it
    EXPECT_EQ(convert::CaptureToFile(capture.path(), capture.view, capture.controls, capture.state)
                  .answered,
              answered);
  }
}

// The fast mode: the capture of the command line's default.
struct FastCapture : Capture {
  FastCapture(int pageWidth, int pageHeight) : Capture(pageWidth, pageHeight) {
    state.m_wait = 10;
    state.m_untilLoaded = true;
    state.m_capture = convert::CaptureMethod::kSnapshot;
    view.documentSnapshots = true;
    view.pumps = &controls.pumps;
  }
};

TEST(FastCapture, OneDocumentSnapshotWhereItGivesTheTilesPictureTilesElsewhere) {
  using convert::CaptureMethod;
  const struct {
    const char* what;
    int width, height;
    convert::PageTraits traits;
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
    const convert::CaptureResult result =
        convert::CaptureToFile(capture.path(), capture.view, capture.controls, capture.state);
    ASSERT_EQ(result.outcome, CaptureOutcome::kWritten);
    EXPECT_EQ(result.method, c.method);
    EXPECT_EQ(capture.view.documentSnapshotsTaken, c.documentSnapshots);
    if (c.height > 724) {
      ExpectPageReproduced(capture.Read(), c.width, c.height, 1.0);
    } else {
      EXPECT_EQ(capture.Read().Pixel(10, c.height + 5), kBackground);
    }
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
    convert::PageTraits traits;
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
    ASSERT_EQ(capture.Run(), CaptureOutcome::kWritten);
    EXPECT_EQ(!capture.view.scrolls.empty(), c.passes);
    // The page's styles are asked for a few times a page, never once a round.
    EXPECT_LE(capture.view.traitQueries, 3);
  }
}

TEST(FastCapture, ThePageIsReadyOnlyOnceTheShortTimersOfItsLoadHaveRun) {
  FastCapture ready(781, 3000);
  ASSERT_EQ(ready.Run(), CaptureOutcome::kWritten);
  FastCapture timers(781, 3000);
  timers.view.timersRunAtPump = 30;
  ASSERT_EQ(timers.Run(), CaptureOutcome::kWritten);
  // The page with timers was measured after they ran, not when it had settled before.
  EXPECT_GE(timers.controls.pumps, 30);
  EXPECT_GT(timers.controls.sleptMilliseconds, ready.controls.sleptMilliseconds);
  // Within the page's Wait all the same: timers that never run end with the load wait.
  FastCapture never(781, 3000);
  never.view.timersRunAtPump = 1 << 30;
  ASSERT_EQ(never.Run(), CaptureOutcome::kWritten);
  EXPECT_LE(never.controls.sleptMilliseconds, 10 * 5 * 10);
}

}  // namespace
