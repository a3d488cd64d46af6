// The crawl queue and the start values that the queueing rules read.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace download {

// Why the queueing rules passed a link over, in the order the rules are tried.
enum class DropReason {
  kUnresolved,    // no address could be made of it
  kOtherServer,   // not on the start address's server ("同一サーバーのみ")
  kFiltered,      // refused by the enable or disable list
  kMail,          // a mail address
  kOutsideStart,  // not under the start address's folder
  kNotALink,      // neither a page nor a file to download
  kDots,          // holds "./"
  kDuplicate,     // queued already
  kCount_,
};
inline constexpr std::size_t kDropReasons = static_cast<std::size_t>(DropReason::kCount_);

// The report's name of a reason ("other server", "duplicate", ...).
const char* DropReasonName(DropReason reason);

// How the crawl takes a queue entry.
enum class QueueKind {
  kUrl,  // a page: fetched as text, its links harvested, rendered
  kSrc,  // a file: downloaded as it is
  kCgi,  // a form page: a GET, then a POST whose answer is the page
};

// The kind's name in the report's records: "url", "src" or "cgi".
const char* QueueKindName(QueueKind kind);

// Two parallel lists: entry i of m_kindQueue is the kind of entry i of m_addressQueue. Entries are
// only appended (by seeding and by QueueLink), never removed while a crawl runs. Beside the lists
// an index of the addresses answers "already queued?" without walking the queue.
struct CrawlState {
  std::vector<std::string> m_addressQueue;
  std::vector<QueueKind> m_kindQueue;
  // Parallel to them: the queue position of the page whose link gave the entry; -1 for an
  // address of the template. Its address is the entry's Referer where the options ask for it.
  std::vector<int> m_linkedFrom;
  int m_harvesting = -1;      // the page whose links are being queued now; -1 while seeding
  int m_entryLimit = 0;       // the Count of the run; harvesting stops queueing at this length
  std::string m_startFolder;  // the start address up to and including its last "/"
  std::string m_startServer;  // the server name of the last seeded address
  std::array<long long, kDropReasons> m_dropped{};  // links passed over, per rule
  // Hears the position of every entry Append adds, once it is in the lists (the crawl's journal
  // writes it down).
  std::function<void(int position)> m_onAppend;

  // Appends one entry to both lists, linked from the page being harvested.
  void Append(std::string address, QueueKind kind);
  // The address of the page that linked to entry `position`; empty for a template's address.
  std::string LinkingPage(int position) const;
  // Whether an entry equals `address` exactly. Entries pushed onto the lists directly are
  // indexed here too.
  bool Contains(std::string_view address) const;
  // Empties both lists and the index (the start values and the limit stay). A crawl empties its
  // queue through here, so that the index never holds addresses of an earlier run.
  void Clear();
  int size() const { return static_cast<int>(m_addressQueue.size()); }

 private:
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
      return std::hash<std::string_view>{}(text);
    }
  };
  void CatchUp() const;

  mutable std::unordered_set<std::string, Hash, std::equal_to<>> m_index;
  mutable std::size_t m_indexed = 0;  // entries of m_addressQueue already in m_index
};

}  // namespace download
