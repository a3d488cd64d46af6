// What became of a Start: refused by one of its checks, ran to its end, or stopped.
#pragma once

#include <optional>

#include "resources/texts.h"

namespace convert {

enum class RunResult {
  kRan,             // the walk or the crawl went through (pages may have failed)
  kStopped,         // Stop, Ctrl-C or the window closing ended it early
  kRefused,         // a check refused the run before its first page; `refusal` names it
  kAlreadyRunning,  // a Start during a run: nothing was started
};

struct RunOutcome {
  RunOutcome(RunResult result = RunResult::kRan) : result(result) {}
  static RunOutcome Refused(resources::TextId message) {
    RunOutcome outcome(RunResult::kRefused);
    outcome.refusal = message;
    return outcome;
  }

  RunResult result;
  // The message the refusing check showed; set with kRefused only.
  std::optional<resources::TextId> refusal;
};

}  // namespace convert
