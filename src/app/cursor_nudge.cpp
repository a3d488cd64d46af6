// The periodic cursor nudge: every three minutes the mouse cursor moves one pixel to the left
// (from the left edge one pixel to the right), which keeps the desktop from idling.
#include "app/cursor_nudge.h"

#include <gdk/gdk.h>
#include <wx/gdicmn.h>
#include <wx/utils.h>
#include <wx/window.h>

namespace app {

int NudgedCursorX(int x) { return x == 0 ? 1 : x - 1; }

void WarpCursor(int x, int y) {
  GdkDisplay* display = gdk_display_get_default();
  if (!display) return;
  GdkSeat* seat = gdk_display_get_default_seat(display);
  GdkDevice* pointer = seat ? gdk_seat_get_pointer(seat) : nullptr;
  if (!pointer) return;
  gdk_device_warp(pointer, gdk_display_get_default_screen(display), x, y);
  gdk_display_flush(display);
}

void NudgeCursor() {
  int x = 0, y = 0;
  wxGetMousePosition(&x, &y);
  WarpCursor(NudgedCursorX(x), y);
}

}  // namespace app
