// Dispatching pending events of the window framework and the browser engine without blocking.
#pragma once

namespace browser {

// Dispatches every pending event (toolkit, GLib main context, the framework's own queue) and
// returns when none is left; never waits for an event.
void PumpPendingEvents();

}  // namespace browser
