// What became of one page or one crawl queue entry.
#include "convert/run_record.h"

namespace convert {

const char* OutcomeName(EntryOutcome outcome) {
  switch (outcome) {
    case EntryOutcome::kWritten: return "written";
    case EntryOutcome::kFailed: return "failed";
    case EntryOutcome::kSkipped: return "skipped";
    case EntryOutcome::kIncomplete: return "incomplete";
  }
  return "failed";
}

}  // namespace convert
