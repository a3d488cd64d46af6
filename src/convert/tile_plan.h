// The arithmetic of a page capture: the page's size as captured, and the tiles it is copied in.
#pragma once

namespace convert {

struct PixelRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const PixelRect&) const = default;
};

// The page size the capture works with. A page lower than the view gets 10 extra rows (the view
// background below it); a page narrower than the chosen width is widened to captureWidth - 19.
struct CaptureSize {
  int width = 0;   // W
  int height = 0;  // H
};
CaptureSize FitCaptureSize(int measuredWidth, int measuredHeight, int viewHeight, int captureWidth);

// One tile: the page region it copies, the rectangle the copy is stretched to in the bitmap
// (each number scaled and truncated on its own), and the bitmap area it actually fills.
struct Tile {
  int row = 0;
  int col = 0;
  PixelRect page;         // (col * VW, row * VH, sw, sh): sw/sh are also the scroll amounts
  PixelRect destination;  // (trunc(col*VW*s), trunc(row*VH*s), trunc(sw*s), trunc(sh*s))
  PixelRect fill;         // destination widened to the next tile's destination start
};

// The tiles of a page W x H copied through a view VW wide whose usable height is VH, scaled by
// `scale`: rows + 1 rows of cols + 1 tiles, row by row, left to right.
//
// The destination rectangles truncate every scaled number on its own, so at scales
// below 1 neighbouring destinations can leave a row or column between them unfilled (719 rows at
// 50% cover 359, while the next tile starts at 359 and the bitmap is 600 rows high for 1,200).
// To keep the bitmap free of seams each tile fills from its own destination start up to the next
// tile's destination start (the last ones up to the bitmap's edge); bitmap pixel d then shows
// page pixel floor(d / scale), kept within the tile. The bitmap size stays trunc(W*s) x trunc(H*s).
struct TilePlan {
  int pageWidth = 0;   // W
  int pageHeight = 0;  // H
  int viewWidth = 0;   // VW
  int viewHeight = 0;  // VH (the view's height - 5)
  double scale = 0;
  int cols = 0;  // W / VW
  int rows = 0;  // H / VH
  int bitmapWidth = 0;
  int bitmapHeight = 0;

  // Tile (row, col), 0 <= row <= rows, 0 <= col <= cols.
  Tile At(int row, int col) const;
};

// Callers make sure that W, H, VW, VH and scale are all above 0 and that the bitmap size fits
// an int (see Scaled).
TilePlan PlanTiles(int pageWidth, int pageHeight, int viewWidth, int viewHeight, double scale);

// trunc(value * scale), computed in floating point from the integer value.
long long Scaled(long long value, double scale);

}  // namespace convert
