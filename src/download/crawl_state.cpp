// The crawl queue and the start values that the queueing rules read.
#include "download/crawl_state.h"

#include <utility>

namespace download {

void CrawlState::Append(std::string address, QueueKind kind) {
  m_addressQueue.push_back(std::move(address));
  m_kindQueue.push_back(kind);
  m_linkedFrom.resize(m_addressQueue.size() - 1, -1);  // entries pushed directly: no page
  m_linkedFrom.push_back(m_harvesting);
  if (m_onAppend) m_onAppend(size() - 1);
}

std::string CrawlState::LinkingPage(int position) const {
  const auto index = static_cast<std::size_t>(position);
  if (index >= m_linkedFrom.size() || m_linkedFrom[index] < 0) return {};
  return m_addressQueue[static_cast<std::size_t>(m_linkedFrom[index])];
}

bool CrawlState::Contains(std::string_view address) const {
  CatchUp();
  return m_index.find(address) != m_index.end();
}

void CrawlState::Clear() {
  m_addressQueue.clear();
  m_kindQueue.clear();
  m_linkedFrom.clear();
  m_harvesting = -1;
  m_index.clear();
  m_indexed = 0;
  m_dropped = {};
}

const char* QueueKindName(QueueKind kind) {
  switch (kind) {
    case QueueKind::kUrl: return "url";
    case QueueKind::kSrc: return "src";
    case QueueKind::kCgi: return "cgi";
  }
  return "url";
}

const char* DropReasonName(DropReason reason) {
  switch (reason) {
    case DropReason::kUnresolved: return "unresolved";
    case DropReason::kOtherServer: return "other server";
    case DropReason::kFiltered: return "filter";
    case DropReason::kMail: return "mail address";
    case DropReason::kOutsideStart: return "outside start folder";
    case DropReason::kNotALink: return "not a page or file";
    case DropReason::kDots: return "dot path";
    case DropReason::kDuplicate: return "duplicate";
    case DropReason::kCount_: break;
  }
  return "other";
}

// Brings the index up to the queue. Entries are only ever appended, so indexing the new tail is
// enough; a queue shorter than what was indexed has been emptied behind our back and is indexed
// anew.
void CrawlState::CatchUp() const {
  if (m_indexed > m_addressQueue.size()) {
    m_index.clear();
    m_indexed = 0;
  }
  for (; m_indexed < m_addressQueue.size(); ++m_indexed) {
    m_index.insert(m_addressQueue[m_indexed]);
  }
}

}  // namespace download
