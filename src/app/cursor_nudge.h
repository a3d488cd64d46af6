// The periodic cursor nudge: every three minutes the mouse cursor moves one pixel to the left
// (from the left edge one pixel to the right), which keeps the desktop from idling.
#pragma once

namespace app {

// The new x of a cursor at x: x - 1, or 1 when x is 0.
int NudgedCursorX(int x);

// Moves the mouse cursor to the screen position (x, y).
void WarpCursor(int x, int y);

// Moves the mouse cursor from its current position to NudgedCursorX on the same row.
void NudgeCursor();

}  // namespace app
