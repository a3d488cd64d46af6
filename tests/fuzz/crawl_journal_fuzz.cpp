// The crawl journal's reader: any bytes read without a fault; a journal written from events the
// input chooses, cut at every byte, gives back exactly the events of the lines before the cut
// (a seed queued behind the last template values is produced again, so it is left out).
#include <cstdint>
#include <cstdlib>

#include "download/crawl_journal.h"
#include "fuzz_input.h"

namespace {

using download::JournalContents;
using download::JournalEntry;

// What a reader must give back once it has read the lines up to `lineEnd`.
struct Expected {
  std::size_t lineEnd = 0;
  std::size_t wholeBytes = 0;
  std::vector<JournalEntry> queue;
  std::vector<bool> finished;
  int successes = 0;
  bool seedingDone = false;
};

void Check(bool holds) {
  if (!holds) std::abort();
}

// The journal as events of the input make it, with what a reader must give back after each.
class Model {
 public:
  explicit Model(std::string header) : m_bytes(std::move(header)) {
    m_state.wholeBytes = m_bytes.size();
    m_committed = m_state;
    m_expected.push_back(m_state);
    m_expected.back().lineEnd = m_bytes.size();
  }

  void AddEvent(fuzzing::FuzzInput& input) {
    const unsigned choice = input.Byte() % 4;
    const int size = static_cast<int>(m_state.queue.size());
    if (choice == 0 || (choice == 3 && (size == 0 || !m_state.seedingDone))) {
      const auto kind = static_cast<download::QueueKind>(input.Byte() % 3);
      const int from = static_cast<int>(input.Byte() % static_cast<unsigned>(size + 1)) - 1;
      const JournalEntry entry{input.Part(), kind, from};
      Add(download::QueuedLine(entry), false);
      m_state.queue.push_back(entry);
      m_state.finished.push_back(false);
    } else if (choice == 3) {
      const int position = static_cast<int>(input.Byte() % static_cast<unsigned>(size));
      const int successes = static_cast<int>(input.Byte() % 3);
      Add(download::FinishedLine(position, successes), true);
      if (!m_state.finished[position]) m_state.successes += successes;
      m_state.finished[position] = true;
    } else if (m_state.seedingDone) {
      return;
    } else if (choice == 1) {
      download::PlaceholderValues values{};
      for (int& value : values) value = static_cast<int>(input.Byte()) - 100;
      Add(download::SeededLine(values), true);
    } else {
      Add(download::SeedingDoneLine(input.Part()), true);
      m_state.seedingDone = true;
    }
    Expected shown = m_state;
    if (m_commits) {
      m_state.wholeBytes = m_bytes.size();
      m_committed = m_state;
      shown = m_state;
    } else if (!m_state.seedingDone) {
      // A seed queued behind the last values is produced again: it is not read back.
      shown = m_committed;
    } else {
      m_state.wholeBytes = m_bytes.size();
      shown = m_state;
    }
    shown.lineEnd = m_bytes.size();
    m_expected.push_back(shown);
  }

  const std::string& bytes() const { return m_bytes; }
  const std::vector<Expected>& expected() const { return m_expected; }

 private:
  void Add(const std::string& line, bool commits) {
    m_bytes += line;
    m_commits = commits;
  }

  std::string m_bytes;
  Expected m_state;
  Expected m_committed;  // the state at the last line that is not a queued entry
  bool m_commits = false;
  std::vector<Expected> m_expected;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const JournalContents any =
      download::ReadJournal(std::string_view(reinterpret_cast<const char*>(data), size));
  Check(any.wholeBytes <= size && any.finished.size() == any.queue.size());

  fuzzing::FuzzInput input(data, size);
  const download::CrawlShape shape = {{input.Part(), input.Part()}};
  Model model(download::JournalHeaderLines(shape));
  for (int event = 0; event < 64 && !input.Empty(); ++event) model.AddEvent(input);

  const std::string_view bytes = model.bytes();
  const std::vector<Expected>& expected = model.expected();
  std::size_t next = 0;
  for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
    const JournalContents read = download::ReadJournal(bytes.substr(0, cut));
    if (cut < expected[0].lineEnd) {
      Check(read.queue.empty() && read.wholeBytes <= cut);
      continue;
    }
    while (next + 1 < expected.size() && expected[next + 1].lineEnd <= cut) ++next;
    const Expected& whole = expected[next];
    Check(read.recognised && read.shape == shape);
    Check(read.wholeBytes == whole.wholeBytes);
    Check(read.queue == whole.queue && read.finished == whole.finished);
    Check(read.successes == whole.successes && read.seedingDone == whole.seedingDone);
  }
  return 0;
}
