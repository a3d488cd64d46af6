// The crawl's journal: what a crawl queued, where its template ranges stand and which entries it
// finished, appended one line per event as it goes, so that a crawl cut off at any point (Stop,
// a kill, a power cut, a full disk) can be resumed without asking for a finished entry again.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/unique_fd.h"
#include "download/address_template.h"
#include "download/crawl_state.h"
#include "settings/fields.h"

namespace download {

// One option that shapes the queue, under a fixed key ("template", "range-a", "count", ...).
struct ShapeItem {
  std::string key;
  std::string value;
  bool operator==(const ShapeItem&) const = default;
};
using CrawlShape = std::vector<ShapeItem>;

// The options that decide what a crawl queues: the template, the six placeholder rows, the
// queueing rules (same server, under the start address, filter), the filter lists and the count.
CrawlShape DescribeCrawlShape(const std::string& addressTemplate,
                              const settings::OptionControls& controls,
                              const settings::FilterLists& filters);

struct ShapeDifference {
  std::string key;
  std::string before;  // the journal's value ("" when it has none)
  std::string now;
};
// The first option whose value differs between a journal's shape and the present one.
std::optional<ShapeDifference> CompareShapes(const CrawlShape& before, const CrawlShape& now);
// The name the window gives the option of `key` (code page 932), for the refusal's message.
std::string ShapeLabel(std::string_view key);

struct JournalEntry {
  std::string address;
  QueueKind kind = QueueKind::kUrl;
  int linkedFrom = -1;  // the queue position of the page that linked it; -1 for a template's
  bool operator==(const JournalEntry&) const = default;
};

// What a journal holds, read up to its last whole line: a line cut off (or damaged) by a crash
// ends the reading, and everything before it is kept.
struct JournalContents {
  bool recognised = false;  // the file begins with the journal's first line
  CrawlShape shape;
  std::vector<JournalEntry> queue;
  std::vector<bool> finished;                 // parallel to `queue`
  int successes = 0;                          // the success count of the finished entries
  std::optional<PlaceholderValues> seededTo;  // the template's values produced last
  bool seedingDone = false;
  std::string lastSeeded;      // with seedingDone: the last address the template stands for
  std::size_t wholeBytes = 0;  // length of the lines read; a resumed journal is cut to it

  // Whether nothing is left to do within `entryLimit` entries.
  bool Complete(int entryLimit) const;
};

JournalContents ReadJournal(std::string_view bytes);
// The journal in the file at `path` (code page 932); nullopt when it cannot be read.
std::optional<JournalContents> ReadJournalFile(const std::string& path);

// Whether `path` holds a journal whose crawl has work left within `entryLimit` entries: the
// crawl a Start with this state file offers to resume.
bool HasUnfinishedCrawl(const std::string& path, int entryLimit);

// The lines of a journal, each ending in '\n', as the writer appends them.
std::string JournalHeaderLines(const CrawlShape& shape);
std::string QueuedLine(const JournalEntry& entry);
std::string SeededLine(const PlaceholderValues& values);
std::string SeedingDoneLine(const std::string& lastAddress);
std::string FinishedLine(int position, int successes);

// Appends to a journal file. Every line goes out in one write, so that a killed process leaves
// whole lines; a finished entry and the end of seeding are also forced onto the disk, so that a
// power cut loses at most the entry in flight. A write that fails leaves the journal closed and
// Failed() true; the crawl goes on.
class CrawlJournal {
 public:
  // Starts a new journal at `path`, replacing one there, with its first lines. False when the
  // file cannot be written.
  bool Create(const std::string& path, const CrawlShape& shape);
  // Continues the journal at `path`: cuts off what follows its `wholeBytes` first bytes (a line
  // cut off by a crash), then appends.
  bool Continue(const std::string& path, std::size_t wholeBytes);

  bool IsOpen() const { return m_fd.Valid(); }
  bool Failed() const { return m_failed; }

  void Queued(const JournalEntry& entry) { Append(QueuedLine(entry), false); }
  void Seeded(const PlaceholderValues& values) { Append(SeededLine(values), false); }
  void SeedingDone(const std::string& lastAddress) { Append(SeedingDoneLine(lastAddress), true); }
  // Entry `position` is finished and added `successes` to the success count.
  void Finished(int position, int successes) { Append(FinishedLine(position, successes), true); }

 private:
  void Append(const std::string& line, bool durable);

  base::UniqueFd m_fd;
  bool m_failed = false;
};

}  // namespace download
