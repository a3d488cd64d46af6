// Where the window and its browser control stand while a page is captured: both front ends
// place them from these numbers, so that a page renders at the same size in either.
#pragma once

#include "convert/tile_plan.h"

namespace convert {

struct PageGeometry {
  PixelRect window;   // the main window (or the command line's frame), on the screen
  PixelRect browser;  // the browser control, inside the window
};

// The window at (0, 0), captureWidth + 50 wide and screenHeight - 70 high; the browser control at
// (10, 150) in it, captureWidth wide and screenHeight - 300 high.
constexpr PageGeometry GeometryForPage(int captureWidth, int screenHeight) {
  return {{0, 0, captureWidth + 50, screenHeight - 70},
          {10, 150, captureWidth, screenHeight - 300}};
}

}  // namespace convert
