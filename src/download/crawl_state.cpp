// The crawl queue and the start values that the queueing rules read.
#include "download/crawl_state.h"

#include <utility>

namespace download {

void CrawlState::Append(std::string address, std::string kind) {
  m_addressQueue.push_back(std::move(address));
  m_kindQueue.push_back(std::move(kind));
}

bool CrawlState::Contains(std::string_view address) const {
  CatchUp();
  return m_index.find(address) != m_index.end();
}

void CrawlState::Clear() {
  m_addressQueue.clear();
  m_kindQueue.clear();
  m_index.clear();
  m_indexed = 0;
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
