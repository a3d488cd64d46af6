// Dispatching pending events of the window framework and the browser engine without blocking.
#include "app/event_pump.h"

#include <glib.h>
#include <wx/app.h>

namespace app {

void PumpPendingEvents() {
  // Bounded, so that a source that keeps itself busy (an animation) cannot hold the caller here.
  for (int round = 0; round < 1000 && g_main_context_pending(nullptr); ++round) {
    g_main_context_iteration(nullptr, FALSE);
  }
  if (wxTheApp) wxTheApp->ProcessPendingEvents();
}

}  // namespace app
