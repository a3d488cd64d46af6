// What became of one page or one crawl queue entry, as a run hands it to whoever keeps a report.
#pragma once

#include <optional>
#include <string>

#include "convert/engine_request.h"

namespace convert {

enum class EntryOutcome {
  kWritten,     // the picture (or the downloaded file) was written
  kFailed,      // it could not be made; `reason` says why
  kSkipped,     // passed over on purpose (not a page, stopped, refused by a rule)
  kIncomplete,  // written, but the page was still loading when its wait ran out
};

// Texts as the report stores them ("written", "failed", "skipped", "incomplete").
const char* OutcomeName(EntryOutcome outcome);

// One page of a folder run, or one queue entry of a crawl. Paths and addresses are the system's
// code-page-932 texts.
struct EntryRecord {
  std::string source;                 // the page's path or the entry's address
  std::optional<std::string> output;  // the file written, when one was
  EntryOutcome outcome = EntryOutcome::kWritten;
  std::string reason;  // why it failed or was skipped ("load", "write", ...)
  int width = 0;       // the picture's size in pixels
  int height = 0;
  long long bytes = 0;         // bytes written
  long long milliseconds = 0;  // time spent on the entry
  std::string kind;            // crawl entries: "url", "src" or "cgi"
  int httpStatus = 0;          // crawl entries: the answer's status, 0 without one
  EngineRequests answered;     // what the page asked of the engine that the program answered
};

}  // namespace convert
