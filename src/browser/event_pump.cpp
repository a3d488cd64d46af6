// Dispatching pending events of the window framework and the browser engine without blocking.
#include "browser/event_pump.h"

#include <glib.h>
#include <wx/app.h>

namespace browser {
namespace {

// While a page loads, the browser engine keeps events coming: the pump hands back control after
// this long, so that the fixed waits of a capture last about as long as they are meant to.
constexpr gint64 kPumpLimitMicroseconds = 5000;

}  // namespace

void PumpPendingEvents() {
  const gint64 deadline = g_get_monotonic_time() + kPumpLimitMicroseconds;
  while (g_main_context_pending(nullptr)) {
    g_main_context_iteration(nullptr, FALSE);
    if (g_get_monotonic_time() >= deadline) break;
  }
  if (wxTheApp) wxTheApp->ProcessPendingEvents();
}

}  // namespace browser
