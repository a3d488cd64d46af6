// The crawl run behind Start for an address template: validation, seeding, and the
// breadth-first walk through the queue that renders pages and downloads files.
#pragma once

#include <string>

#include "convert/page_renderer.h"
#include "convert/run_controls.h"
#include "convert/run_state.h"
#include "download/crawl_state.h"
#include "net/transfer.h"
#include "settings/fields.h"

namespace download {

class CrawlDriver {
 public:
  CrawlDriver(convert::RunState& run, convert::RunControls& controls, net::Transfer& transfer,
              convert::PageRenderer& renderer, settings::FilterLists& filters, CrawlState& state);

  // The whole run. 1 when the queue loop was reached (also after Stop or with an empty queue),
  // 0 when a check refused the run or seeding ended it. Failed transfers are never reported:
  // the entry counts as finished and the success count stays.
  int Crawl();

 private:
  // The checks before seeding, in order; false (after the message) when the run must not start.
  bool CheckOptions();
  bool MakeOutputFolderCurrent();
  bool Stopped() const;
  // One queue entry; adds its success to m_successes.
  void ProcessEntry(int position);
  void DownloadEntry(const std::string& address, const std::string& folder,
                     const std::string& name);
  // Fetches a page entry into m_pageText; the fetch's result.
  net::TransferResult FetchPage(const std::string& address, QueueKind kind);
  // Renders a fetched page entry; `fetched` is its record so far.
  void RenderEntry(const std::string& folder, const std::string& name,
                   const convert::EntryRecord& fetched);

  convert::RunState& m_run;
  convert::RunControls& m_controls;
  net::Transfer& m_transfer;
  convert::PageRenderer& m_renderer;
  settings::FilterLists& m_filters;
  CrawlState& m_state;
  std::string m_output;    // the output folder, absolute, ending in '/'
  std::string m_pageText;  // the text of the page being processed (kept across form requests)
  int m_successes = 0;
};

// Whether `relative` (a path form below the output folder) stays below it: not absolute and
// without a ".." component.
bool StaysInsideFolder(std::string_view relative);

}  // namespace download
