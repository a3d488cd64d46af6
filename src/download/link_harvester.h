// Queueing one link under the crawl rules, and harvesting the links of one fetched page.
#pragma once

#include <string_view>

#include "convert/run_controls.h"
#include "download/crawl_state.h"
#include "settings/fields.h"

namespace download {

// Resolves `link` against `baseAddress` (the page's address, or its base element's) and appends it
// with `kind` to the queue when it passes every crawl rule: not empty; on the start server
// (Server); through the enable and disable lists (FILTER); no "mailto"; under the start folder
// (ANOTHERURL); page-like or holding a page word; no "./"; not queued yet. The three options are
// read from `options` at every call. Returns whether the link was queued.
bool QueueLink(CrawlState& state, const settings::OptionControls& options,
               const settings::FilterLists& filters, std::string_view baseAddress,
               std::string_view link, QueueKind kind);

// The kind that a seeded address, an anchor or an option link is queued with: a form page with a
// "?", else a page for a page-like address, else a file.
QueueKind KindOfLink(std::string_view link);

// The longest link a page can offer, in bytes: about the longest request line that web servers
// accept. A longer value (a quote or "=" left open, so that the value runs over the rest of the
// page) names nothing that could be fetched and is passed over unread, which also keeps the
// harvesting of any page linear in its size.
inline constexpr int kLongestLink = 8192;

// Offers the links of the page `pageText` (fetched from `pageAddress`) to QueueLink, in five
// scans: img src (a file), body background (a file), a href and option value (by the link),
// frame src (a page). Each link keeps the letter case of the page, loses its fragment and has its
// character references decoded; links are resolved against the page's base element when it has
// one. Pending window events are handled after each link of the img, a and option scans. A scan
// ends when the queue holds m_entryLimit entries or more. Values longer than kLongestLink are
// passed over.
void HarvestLinks(CrawlState& state, convert::RunControls& controls,
                  const settings::FilterLists& filters, std::string_view pageAddress,
                  std::string_view pageText);

}  // namespace download
