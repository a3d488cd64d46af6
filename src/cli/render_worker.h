// A render worker: a process of the command line that renders the pages its pool sends it on
// the display the pool shares, one at a time, and answers with each page's record.
#pragma once

namespace cli {

// The argument that starts the program as a render worker.
inline constexpr const char* kRenderWorkerArgument = "--render-worker";

// Reads the setup and then one page order a line from standard input until it ends; writes one
// answer a line. The exit status is 0, or 2 when no display could be had.
int RunRenderWorker();

}  // namespace cli
