// Address templates: the placeholders "@a@" to "@f@", their numeric rows, and the seeding of the
// crawl queue with every address a template stands for.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "convert/run_controls.h"
#include "convert/run_state.h"
#include "download/crawl_state.h"
#include "net/transfer.h"

namespace download {

// The placeholders in replacement order; matched with their letter case ("@A@" is none).
inline constexpr std::array<std::string_view, 6> kPlaceholders = {"@a@", "@b@", "@c@",
                                                                  "@d@", "@e@", "@f@"};
// Probed in this order for a seeded address that ends in "/".
inline constexpr std::array<std::string_view, 3> kDefaultDocuments = {"index.html", "index.htm",
                                                                      "index.shtml"};

using PlaceholderValues = std::array<int, 6>;  // "@a@" first

// One placeholder row of the download options, read once when seeding starts. A row not in use
// stands for the single value 1, printed with width 1.
struct PlaceholderRow {
  int first = 1;
  int last = 1;
  int step = 1;
  int width = 1;  // bytes of the first value as typed: "08" prints 08, 09, 10
};

// `value` in decimal, zero-padded on the left to at least `width` characters, a minus sign in
// front of the zeros; never cut. (3, 7) gives "007", (1, 12) "12", (3, -2) "-02".
std::string FormatPadded(int width, int value);

// `addressTemplate` with every occurrence of each placeholder, "@a@" first, replaced by its
// value padded to its width. A placeholder whose row is not in use becomes "1".
std::string ExpandTemplate(const PlaceholderValues& values, std::string_view addressTemplate,
                           const PlaceholderValues& widths);

// How seeding ended.
enum class SeedEnd {
  kQueued,             // go on crawling (also after Stop: the queue loop sees it)
  kStepTooSmall,       // a row's step is below 1 (the message was shown): the run ends
  kNoDefaultDocument,  // an address ending in "/" had no answering document: the run ends
};

struct SeedResult {
  SeedEnd end = SeedEnd::kQueued;
  // The last address the template stands for, queued or not; empty when it stands for none.
  std::string lastAddress;
};

// Where the seeding of a resumed crawl picks up, and who hears of each address produced.
struct SeedProgress {
  // The values of the address produced last before: it and every address before it are passed
  // over without a request (the queue holds those that were queued).
  std::optional<PlaceholderValues> after;
  std::function<void(const PlaceholderValues&)> produced;
};

// Appends the addresses of `addressTemplate` with their kinds to the queue, up to the queue's
// entry limit (the crawl reaches no entry behind it): the six rows are nested loops, row 1
// outermost; events are pumped and Stop is tested at the head of every iteration of every loop.
// An address ending in "/" gets the first default document that answers, also one behind the
// limit; when none does, seeding ends with 0 and no message. Addresses that need no probe end
// the loops as soon as the limit is reached. The last address is the expansion's last either
// way. A step below 1 in a row in use shows "1以上を指定してください", focuses that step and
// gives kStepTooSmall.
// With `progress`, seeding resumes behind `progress.after`, counting the entries already in the
// queue as queued.
SeedResult SeedQueue(const std::string& addressTemplate, convert::RunControls& controls,
                     const convert::RunState& run, net::Transfer& transfer, CrawlState& state,
                     const SeedProgress& progress = {});

}  // namespace download
