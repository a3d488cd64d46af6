// Ctrl-C (and a polite kill) as the command line's Stop.
#pragma once

namespace cli {

// Catches SIGINT, SIGTERM and SIGHUP: the first asks the run to stop after its current page; a
// second one ends the program at once (the virtual display and the workers end with it).
void CatchInterrupts();

// True once an interrupt has come.
bool Interrupted();

}  // namespace cli
