// The command line's exit status comes from the run's outcome, never from its message texts.
#include "cli/exit_status.h"

#include <gtest/gtest.h>

#include "cli/command_main.h"

namespace cli {
namespace {

using convert::RunOutcome;
using convert::RunResult;
using resources::TextId;

TEST(ExitStatus, ComesFromTheOutcomeAndTheEndOfTheRun) {
  struct Case {
    const char* what;
    RunOutcome outcome;
    RunEnd end;
    int status;
  } cases[] = {
      {"all went well", RunResult::kRan, {}, kExitDone},
      {"a page failed", RunResult::kRan, {false, false, true}, kExitFailures},
      // Any refusing check gives 2, whichever message it showed (or none at all).
      {"count refused", RunOutcome::Refused(TextId::kCountTooSmall), {}, kExitRefused},
      {"folder refused", RunOutcome::Refused(TextId::kCannotCreateFolder), {}, kExitRefused},
      {"refused after failures",
       RunOutcome::Refused(TextId::kStepTooSmall),
       {false, false, true},
       kExitRefused},
      {"no renderer started", RunResult::kStopped, {false, true, false}, kExitRefused},
      {"Ctrl-C", RunResult::kStopped, {true, false, true}, kExitInterrupted},
      {"Ctrl-C after the last page", RunResult::kRan, {true, false, false}, kExitInterrupted},
  };
  for (const Case& c : cases) EXPECT_EQ(ExitStatus(c.outcome, c.end), c.status) << c.what;
}

}  // namespace
}  // namespace cli
