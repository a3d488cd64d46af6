// The arithmetic of a page capture: the page's size as captured, and the tiles it is copied in.
#include "convert/tile_plan.h"

#include <cmath>

namespace convert {

CaptureSize FitCaptureSize(int measuredWidth, int measuredHeight, int viewHeight,
                           int captureWidth) {
  CaptureSize size{measuredWidth, measuredHeight};
  // Only a page lower than the view (H + 10 still below one view height) gets the 10 rows.
  if (viewHeight > 0 && (static_cast<long long>(size.height) + 10) / viewHeight == 0) {
    size.height += 10;
  }
  if (size.width < captureWidth - 19) size.width = captureWidth - 19;
  return size;
}

long long Scaled(long long value, double scale) {
  return static_cast<long long>(std::trunc(static_cast<double>(value) * scale));
}

TilePlan PlanTiles(int pageWidth, int pageHeight, int viewWidth, int viewHeight, double scale) {
  TilePlan plan;
  plan.pageWidth = pageWidth;
  plan.pageHeight = pageHeight;
  plan.viewWidth = viewWidth;
  plan.viewHeight = viewHeight;
  plan.scale = scale;
  plan.cols = pageWidth / viewWidth;
  plan.rows = pageHeight / viewHeight;
  plan.bitmapWidth = static_cast<int>(Scaled(pageWidth, scale));
  plan.bitmapHeight = static_cast<int>(Scaled(pageHeight, scale));
  return plan;
}

namespace {

// One axis of a tile: index `k` of `last` + 1 pieces of `step` pixels over `length` pixels.
// Every piece but the last is a whole step; the last one is the remainder.
struct Span {
  int start = 0;
  int size = 0;
  int destinationStart = 0;
  int destinationSize = 0;
  int fillEnd = 0;
};

Span SpanAt(int k, int last, int step, int length, double scale, int bitmapLength) {
  Span span;
  span.start = k * step;
  span.size = k == last ? length % step : step;
  span.destinationStart = static_cast<int>(Scaled(static_cast<long long>(k) * step, scale));
  span.destinationSize = static_cast<int>(Scaled(span.size, scale));
  span.fillEnd = k == last ? bitmapLength
                           : static_cast<int>(Scaled(static_cast<long long>(k + 1) * step, scale));
  if (span.fillEnd > bitmapLength) span.fillEnd = bitmapLength;
  if (span.fillEnd < span.destinationStart) span.fillEnd = span.destinationStart;
  return span;
}

}  // namespace

Tile TilePlan::At(int row, int col) const {
  const Span x = SpanAt(col, cols, viewWidth, pageWidth, scale, bitmapWidth);
  const Span y = SpanAt(row, rows, viewHeight, pageHeight, scale, bitmapHeight);
  Tile tile;
  tile.row = row;
  tile.col = col;
  tile.page = {x.start, y.start, x.size, y.size};
  tile.destination = {x.destinationStart, y.destinationStart, x.destinationSize, y.destinationSize};
  tile.fill = {x.destinationStart, y.destinationStart, x.fillEnd - x.destinationStart,
               y.fillEnd - y.destinationStart};
  return tile;
}

}  // namespace convert
