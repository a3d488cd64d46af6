// What the command line tells about a run: progress on standard error, the JSON Lines report,
// and the closing summary.
#pragma once

#include <array>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "convert/html_report.h"
#include "convert/run_record.h"

namespace cli {

// Counts of the links each crawl rule passed over, by the rule's report name.
struct DroppedLinks {
  std::vector<std::pair<std::string, long long>> counts;
};

class RunReport {
 public:
  // `quiet`: only errors and the summary; `live`: one line redrawn in place (a terminal).
  RunReport(bool quiet, bool live);
  ~RunReport();
  RunReport(const RunReport&) = delete;
  RunReport& operator=(const RunReport&) = delete;

  // Opens the report file (a native path); false and `error` when it cannot be written.
  bool OpenFile(const std::string& path, std::string& error);
  // Starts the report to look at (a code-page-932 path), written at once and again by Finish;
  // false and `error` when it cannot be written.
  bool OpenHtmlFile(const std::string& path, std::string& error);

  // The page being worked on now (a code-page-932 text), for the live line.
  void ShowCurrent(const std::string& text);
  // One page or queue entry: a report line, and progress.
  void Add(const convert::EntryRecord& record);
  // An error the user must see (UTF-8), on a line of its own.
  void Error(const std::string& text);
  // The summary line of the report and of standard error.
  void Finish(bool interrupted, const DroppedLinks* dropped);

  int Count(convert::EntryOutcome outcome) const {
    return m_counts[static_cast<std::size_t>(outcome)];
  }

 private:
  void DrawLiveLine();
  void ClearLiveLine();
  double Seconds() const;

  bool m_quiet;
  bool m_live;
  std::FILE* m_file = nullptr;
  std::unique_ptr<convert::HtmlReport> m_html;
  std::string m_htmlPath;
  std::array<int, 4> m_counts{};
  int m_done = 0;
  std::string m_current;
  bool m_liveShown = false;
  std::chrono::steady_clock::time_point m_started;
  std::chrono::steady_clock::time_point m_lastDrawn;
};

// The UTF-8 form of a code-page-932 text for the terminal and the report.
std::string DisplayText(const std::string& text);

}  // namespace cli
