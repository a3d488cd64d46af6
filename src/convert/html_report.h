// The run's report to look at: one HTML page with no script and nothing from the network, a
// thumbnail of every picture (held in the page as a data address) linked to the picture by a
// relative path, its source, outcome and reason, the failures first, and the run's totals.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "convert/run_record.h"

namespace convert {

// A picture made small: PNG bytes and their size in pixels; empty when none could be made.
struct Thumbnail {
  std::string png;
  int width = 0;
  int height = 0;
};
// Makes the thumbnail of the picture file at a code-page-932 path.
using ThumbnailMaker = std::function<Thumbnail(const std::string& picturePath)>;

// The background of a failed entry (0xRRGGBB), so that failures stand out at a glance.
inline constexpr std::uint32_t kFailureColour = 0xFFCDD2;

// The report a run of the settings file at `settingsPath` writes: the file its key ReportHtml
// names, a relative name taken in the run's output folder `outputFolder`; "" when it names none.
std::string ReportPathOf(const std::string& settingsPath, const std::string& outputFolder);

class HtmlReport {
 public:
  // `path`: the report's file, a code-page-932 path (a relative one is taken against the current
  // folder now); links are made relative to its folder.
  HtmlReport(std::string path, ThumbnailMaker thumbnails);

  // One page or crawl entry. Its thumbnail is made now, from the file just written, so that a
  // later page writing the same name cannot change it.
  void Add(const EntryRecord& record);
  // The page: the totals (with the run's seconds, and whether it was interrupted) and every
  // entry, the failed ones first, each group in the run's order.
  std::string Page(double seconds, bool interrupted) const;
  // Writes Page through a temporary file renamed into place, making its folder when missing;
  // false when it could not be written.
  bool Write(double seconds, bool interrupted) const;
  // The report's file, made absolute.
  const std::string& Path() const { return m_path; }

 private:
  struct Entry {
    EntryRecord record;
    Thumbnail thumbnail;
  };
  std::string EntryHtml(const Entry& entry) const;

  std::string m_path;
  std::string m_folder;  // native, absolute: where the links start
  ThumbnailMaker m_thumbnails;
  std::vector<Entry> m_entries;
};

}  // namespace convert
