// The crawl run behind Start for an address template: validation, seeding, and the
// breadth-first walk through the queue that renders pages and downloads files.
#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "convert/page_renderer.h"
#include "convert/run_controls.h"
#include "convert/run_outcome.h"
#include "convert/run_state.h"
#include "download/crawl_state.h"
#include "net/transfer.h"
#include "settings/fields.h"

namespace download {

class CrawlDriver {
 public:
  CrawlDriver(convert::RunState& run, convert::RunControls& controls, net::Transfer& transfer,
              convert::PageRenderer& renderer, settings::FilterLists& filters, CrawlState& state);

  // The whole run. kRefused with the message of the check (or of seeding) that refused it;
  // kStopped when Stop or a closing window ended the queue loop; kRan when the queue loop ran
  // out (also with an empty queue) or no default document answered the template. Failed
  // transfers are never reported: the entry counts as finished and the success count stays.
  // The records of the entries go to RunControls::RecordEntry, those of rendered pages too;
  // a renderer that hands pages on delivers theirs itself.
  convert::RunOutcome Crawl();

 private:
  // The checks before seeding, in order; the message of the first that refuses the run (shown).
  std::optional<resources::TextId> CheckOptions();
  std::optional<resources::TextId> Refuse(resources::TextId message);
  bool MakeOutputFolderCurrent();
  bool Stopped() const;
  // One queue entry; adds its success to m_successes.
  void ProcessEntry(int position);
  void DownloadEntry(const std::string& address);
  // The files of the queue from `position` up to its next page, side by side; how many entries
  // it finished.
  int DownloadRun(int position);
  // Where the file of `address` goes (its folder made); nullopt, with the entry recorded as
  // skipped, when that would be outside the output folder.
  std::optional<net::FileDownload> FileFor(const std::string& address,
                                           std::chrono::steady_clock::time_point start);
  void RecordDownload(const net::FileDownload& file, const net::TransferResult& result,
                      std::chrono::steady_clock::time_point start);
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
