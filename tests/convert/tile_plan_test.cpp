// The capture arithmetic: page size rules and the tiles a page is copied in.
#include "convert/tile_plan.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using convert::PixelRect;

TEST(FitCaptureSize, AddsTenRowsOnlyBelowOneViewAndWidensToSizeMinus19) {
  struct Case {
    int width, height, viewHeight, captureWidth;
    int fittedWidth, fittedHeight;
  } cases[] = {
      {781, 300, 724, 800, 781, 310},  // lower than the view: + 10
      {781, 713, 724, 800, 781, 723},  // 723 still below 724
      {781, 714, 724, 800, 781, 714},  // 714 + 10 is not below 724
      {781, 1200, 724, 800, 781, 1200},
      {500, 1200, 724, 800, 781, 1200},  // narrower than Size - 19
      {2000, 1200, 724, 800, 2000, 1200},
      {0, 0, 724, 800, 781, 10},    // an empty page still gets its 10 rows
      {100, 100, 0, 10, 100, 100},  // no view height: no division
  };
  for (const auto& c : cases) {
    const auto fitted = convert::FitCaptureSize(c.width, c.height, c.viewHeight, c.captureWidth);
    EXPECT_EQ(fitted.width, c.fittedWidth) << c.width << "x" << c.height;
    EXPECT_EQ(fitted.height, c.fittedHeight) << c.width << "x" << c.height;
  }
}

TEST(PlanTiles, PageOf1200RowsInA724RowView) {
  const auto plan = convert::PlanTiles(781, 1200, 800, 719, 1.0);
  EXPECT_EQ(plan.cols, 0);
  EXPECT_EQ(plan.rows, 1);
  EXPECT_EQ(plan.bitmapWidth, 781);
  EXPECT_EQ(plan.bitmapHeight, 1200);
  EXPECT_EQ(plan.At(0, 0).page, (PixelRect{0, 0, 781, 719}));
  EXPECT_EQ(plan.At(0, 0).destination, (PixelRect{0, 0, 781, 719}));
  EXPECT_EQ(plan.At(1, 0).page, (PixelRect{0, 719, 781, 481}));
  EXPECT_EQ(plan.At(1, 0).destination, (PixelRect{0, 719, 781, 481}));
  EXPECT_EQ(plan.At(1, 0).fill, plan.At(1, 0).destination);
}

TEST(PlanTiles, HalfScaleTruncatesEachNumberAndFillsTheGapBelow) {
  const auto plan = convert::PlanTiles(781, 1200, 800, 719, 0.5);
  EXPECT_EQ(plan.bitmapWidth, 390);
  EXPECT_EQ(plan.bitmapHeight, 600);
  EXPECT_EQ(plan.At(0, 0).destination, (PixelRect{0, 0, 390, 359}));
  EXPECT_EQ(plan.At(1, 0).destination, (PixelRect{0, 359, 390, 240}));
  // 359 + 240 leaves row 599 of the 600: the last tile fills it.
  EXPECT_EQ(plan.At(0, 0).fill, (PixelRect{0, 0, 390, 359}));
  EXPECT_EQ(plan.At(1, 0).fill, (PixelRect{0, 359, 390, 241}));
}

TEST(PlanTiles, ColumnsTakeTheRemainderLast) {
  const auto plan = convert::PlanTiles(2000, 700, 800, 719, 1.0);
  EXPECT_EQ(plan.cols, 2);
  EXPECT_EQ(plan.rows, 0);
  EXPECT_EQ(plan.At(0, 0).page, (PixelRect{0, 0, 800, 700}));
  EXPECT_EQ(plan.At(0, 1).page, (PixelRect{800, 0, 800, 700}));
  EXPECT_EQ(plan.At(0, 2).page, (PixelRect{1600, 0, 400, 700}));
  EXPECT_EQ(plan.At(0, 2).destination, (PixelRect{1600, 0, 400, 700}));
}

TEST(PlanTiles, PageOfExactlyRowsTimesViewHeightEndsWithAnEmptyRow) {
  const auto plan = convert::PlanTiles(781, 1438, 800, 719, 1.0);
  EXPECT_EQ(plan.rows, 2);
  EXPECT_EQ(plan.At(2, 0).page, (PixelRect{0, 1438, 781, 0}));
  EXPECT_EQ(plan.At(2, 0).destination.height, 0);
  EXPECT_EQ(plan.At(2, 0).fill.height, 0);
  EXPECT_EQ(plan.bitmapHeight, 1438);
}

// Whatever the sizes and the scale, the tiles' fill areas cover every bitmap pixel exactly once.
TEST(PlanTiles, FillAreasCoverTheBitmapOnceWithoutSeams) {
  struct Case {
    int width, height, viewWidth, viewHeight, percent;
  } cases[] = {
      {781, 1200, 800, 719, 50}, {2000, 5000, 800, 719, 50},  {2001, 1439, 799, 719, 33},
      {781, 1438, 800, 719, 50}, {1000, 3000, 333, 101, 29},  {781, 1200, 800, 719, 150},
      {5, 5, 800, 719, 7},       {1600, 1438, 800, 719, 100},
  };
  for (const auto& c : cases) {
    const auto plan =
        convert::PlanTiles(c.width, c.height, c.viewWidth, c.viewHeight, c.percent * 0.01);
    std::vector<int> covered(static_cast<size_t>(plan.bitmapWidth) * plan.bitmapHeight, 0);
    for (int i = 0; i <= plan.rows; ++i) {
      for (int j = 0; j <= plan.cols; ++j) {
        const PixelRect fill = plan.At(i, j).fill;
        for (int y = fill.y; y < fill.y + fill.height; ++y) {
          for (int x = fill.x; x < fill.x + fill.width; ++x) {
            ASSERT_LT(x, plan.bitmapWidth);
            ASSERT_LT(y, plan.bitmapHeight);
            ++covered[static_cast<size_t>(y) * plan.bitmapWidth + x];
          }
        }
      }
    }
    int wrong = 0;
    for (int count : covered) wrong += count != 1;
    EXPECT_EQ(wrong, 0) << c.width << "x" << c.height << " at " << c.percent << "%";
  }
}

}  // namespace
