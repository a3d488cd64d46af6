// Rendering one page into a picture file, as the folder walk and the crawl call it.
#pragma once

#include <optional>
#include <string>

#include "convert/run_record.h"

namespace convert {

// One page to render, as the walk or the crawl hands it over.
struct PageJob {
  std::string location;      // a local file path or a web address
  std::string name;          // the page's name; its picture is named after it
  std::string outputFolder;  // where the picture goes, ending in '/'
  int pageNumber = 0;        // the page's number in the run, for the status line
  // What the caller knows of the page already (the crawl: its kind, HTTP status, time); the
  // rendering completes it into the page's record.
  EntryRecord known;
};

// What a renderer did with a page job.
enum class PageTaken {
  kRendered,  // rendered now: the record comes with the result; the page counts as processed
  kHandedOn,  // handed to another process: the record comes later through the renderer's own
              // callback, in the order the pages were handed over; the page counts
  kLeftOut,   // not this renderer's page (another shard's): no record, not counted
  kRunStops,  // nothing can render it (no display, no worker, Ctrl-C): no record, not counted;
              // the renderer has asked the run to stop
};

struct PageResult {
  PageTaken taken = PageTaken::kRendered;
  std::optional<EntryRecord> record;  // with kRendered only
};

// Whether the run counts a page handed over with this result as processed.
inline bool CountsAsProcessed(PageTaken taken) {
  switch (taken) {
    case PageTaken::kRendered:
    case PageTaken::kHandedOn: return true;
    case PageTaken::kLeftOut:
    case PageTaken::kRunStops: return false;
  }
  return false;
}

// What the folder walk and the crawl hand each page to; ViewPageRenderer renders it on a page
// view, the command line's render workers in other processes.
class PageRenderer {
 public:
  virtual ~PageRenderer() = default;
  // Loads the job's location, captures it and writes outputFolder + (name up to its last dot)
  // + the format's extension.
  virtual PageResult RenderPage(const PageJob& job) = 0;
};

}  // namespace convert
