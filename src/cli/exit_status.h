// The command line's exit status, from what became of the run.
#pragma once

#include "convert/run_outcome.h"

namespace cli {

// What the command line knows at the end of a run besides the run's outcome.
struct RunEnd {
  bool interrupted = false;      // Ctrl-C came
  bool renderersFailed = false;  // no display, browser or render worker could be started
  bool pageFailed = false;       // at least one page or entry failed
};

// 130 after Ctrl-C; 2 when a check refused the run or nothing could render its pages; 1 when a
// page or an entry failed; 0 otherwise.
int ExitStatus(const convert::RunOutcome& outcome, const RunEnd& end);

}  // namespace cli
