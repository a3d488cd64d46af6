// The command line's entry: parses the arguments, loads the options, runs the conversion or the
// crawl without a window and tells how it went.
#pragma once

namespace cli {

// Exit statuses of the command line.
inline constexpr int kExitDone = 0;           // every page and entry went well
inline constexpr int kExitFailures = 1;       // at least one record failed
inline constexpr int kExitRefused = 2;        // the run or its arguments were refused
inline constexpr int kExitInterrupted = 130;  // stopped by Ctrl-C

// Runs the command that `argv` names (argc > 1) and gives the exit status.
int RunCommandLine(int argc, char** argv);

}  // namespace cli
