// The command line's exit status, from what became of the run.
#include "cli/exit_status.h"

#include "cli/command_main.h"

namespace cli {

int ExitStatus(const convert::RunOutcome& outcome, const RunEnd& end) {
  // Ctrl-C decides whenever it came, also when the run had nothing left to do.
  if (end.interrupted) return kExitInterrupted;
  switch (outcome.result) {
    case convert::RunResult::kRefused:
    case convert::RunResult::kAlreadyRunning: return kExitRefused;
    // Without Ctrl-C, only renderers that could not start stop a command-line run.
    case convert::RunResult::kStopped:
    case convert::RunResult::kRan: break;
  }
  if (end.renderersFailed) return kExitRefused;
  return end.pageFailed ? kExitFailures : kExitDone;
}

}  // namespace cli
