// The crawl's journal: lines appended as the crawl goes, and the reader that takes them back.
#include "download/crawl_journal.h"

#include <fcntl.h>
#include <unistd.h>

#include <charconv>
#include <cstdint>
#include <cstdio>

#include "base/file_system.h"
#include "base/text.h"
#include "resources/texts.h"

namespace download {
namespace {

using settings::Field;

// Every line is "TYPE<TAB>field...<TAB>checksum\n"; the checksum (FNV-1a, 8 hex digits) covers
// the bytes before its tab, so a line that a crash left half written or filled with zeros is
// never taken for a whole one.
constexpr std::string_view kMagic = "rendora-crawl";
constexpr std::string_view kVersion = "1";

std::uint32_t Checksum(std::string_view bytes) {
  std::uint32_t hash = 2166136261u;
  for (const char byte : bytes) {
    hash ^= static_cast<unsigned char>(byte);
    hash *= 16777619u;
  }
  return hash;
}

// A field with its tabs, line ends and backslashes escaped, so that it stays on its line.
std::string Escaped(std::string_view field) {
  std::string escaped;
  escaped.reserve(field.size());
  for (const char byte : field) {
    switch (byte) {
      case '\\': escaped += "\\\\"; break;
      case '\t': escaped += "\\t"; break;
      case '\n': escaped += "\\n"; break;
      case '\r': escaped += "\\r"; break;
      default: escaped += byte;
    }
  }
  return escaped;
}

std::optional<std::string> Unescaped(std::string_view field) {
  std::string text;
  text.reserve(field.size());
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '\\') {
      text += field[i];
      continue;
    }
    if (++i == field.size()) return std::nullopt;
    switch (field[i]) {
      case '\\': text += '\\'; break;
      case 't': text += '\t'; break;
      case 'n': text += '\n'; break;
      case 'r': text += '\r'; break;
      default: return std::nullopt;
    }
  }
  return text;
}

std::string Line(std::initializer_list<std::string_view> fields) {
  std::string line;
  for (const std::string_view field : fields) {
    if (!line.empty()) line += '\t';
    line += Escaped(field);
  }
  char sum[12];
  std::snprintf(sum, sizeof sum, "\t%08x\n", static_cast<unsigned>(Checksum(line)));
  return line + sum;
}

// The fields of a whole line (without its '\n'), or nullopt when its checksum does not match or
// a field does not read.
std::optional<std::vector<std::string>> Fields(std::string_view line) {
  const std::size_t tab = line.rfind('\t');
  if (tab == std::string_view::npos || line.size() - tab != 9) return std::nullopt;
  char sum[9];
  std::snprintf(sum, sizeof sum, "%08x", static_cast<unsigned>(Checksum(line.substr(0, tab))));
  if (line.substr(tab + 1) != sum) return std::nullopt;
  std::vector<std::string> fields;
  std::size_t start = 0;
  while (start <= tab) {
    const std::size_t end = std::min(line.find('\t', start), tab);
    std::optional<std::string> field = Unescaped(line.substr(start, end - start));
    if (!field) return std::nullopt;
    fields.push_back(std::move(*field));
    start = end + 1;
  }
  return fields;
}

std::optional<int> Number(const std::string& text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::optional<QueueKind> KindNamed(std::string_view name) {
  for (const QueueKind kind : {QueueKind::kUrl, QueueKind::kSrc, QueueKind::kCgi}) {
    if (name == QueueKindName(kind)) return kind;
  }
  return std::nullopt;
}

// Takes one line's event into `contents`; false when the line does not fit where it stands
// (the reading ends there).
bool Apply(const std::vector<std::string>& fields, JournalContents& contents) {
  const std::string& type = fields.front();
  const bool started = !contents.queue.empty() || contents.seededTo || contents.seedingDone;
  if (type == "O" && fields.size() == 3 && !started) {
    contents.shape.push_back({fields[1], fields[2]});
    return true;
  }
  const int size = static_cast<int>(contents.queue.size());
  if (type == "Q" && fields.size() == 4) {
    const std::optional<QueueKind> kind = KindNamed(fields[1]);
    const std::optional<int> from = Number(fields[2]);
    if (!kind || !from || *from < -1 || *from >= size) return false;
    contents.queue.push_back({fields[3], *kind, *from});
    contents.finished.push_back(false);
    return true;
  }
  if (type == "S" && fields.size() == 7 && !contents.seedingDone) {
    PlaceholderValues values{};
    for (std::size_t i = 0; i < values.size(); ++i) {
      const std::optional<int> value = Number(fields[i + 1]);
      if (!value) return false;
      values[i] = *value;
    }
    contents.seededTo = values;
    return true;
  }
  if (type == "D" && fields.size() == 2 && !contents.seedingDone) {
    contents.seedingDone = true;
    contents.lastSeeded = fields[1];
    return true;
  }
  if (type == "F" && fields.size() == 3 && contents.seedingDone) {
    const std::optional<int> position = Number(fields[1]);
    const std::optional<int> successes = Number(fields[2]);
    if (!position || !successes || *position < 0 || *position >= size || *successes < 0) {
      return false;
    }
    if (!contents.finished[*position]) contents.successes += *successes;
    contents.finished[*position] = true;
    return true;
  }
  return false;
}

std::string Switch(bool on) { return on ? "on" : "off"; }

std::string ListValue(bool inUse, const std::vector<std::string>& list) {
  std::string value = Switch(inUse);
  for (const std::string& entry : list) value += "\n" + entry;
  return value;
}

}  // namespace

CrawlShape DescribeCrawlShape(const std::string& addressTemplate,
                              const settings::OptionControls& controls,
                              const settings::FilterLists& filters) {
  CrawlShape shape{{"template", addressTemplate}};
  for (int row = 1; row <= settings::kPlaceholderRows; ++row) {
    std::string value = "off";
    if (controls.IsOptionChecked(settings::CgiField(row))) {
      value = controls.GetOptionText(settings::FromField(row)) + ":" +
              controls.GetOptionText(settings::ToField(row)) + ":" +
              controls.GetOptionText(settings::StepField(row));
    }
    shape.push_back({"range-" + std::string(1, static_cast<char>('a' + row - 1)), value});
  }
  shape.push_back({"same-server", Switch(controls.IsOptionChecked(Field::kServer))});
  shape.push_back({"under-start", Switch(controls.IsOptionChecked(Field::kAnotherUrl))});
  shape.push_back({"filter", Switch(controls.IsOptionChecked(Field::kFilter))});
  shape.push_back({"enable", ListValue(filters.m_enable, filters.m_enableList)});
  shape.push_back({"disable", ListValue(filters.m_disable, filters.m_disableList)});
  shape.push_back({"count", std::to_string(base::ToInt(controls.GetOptionText(Field::kCount)))});
  return shape;
}

std::optional<ShapeDifference> CompareShapes(const CrawlShape& before, const CrawlShape& now) {
  const auto valueIn = [](const CrawlShape& shape, const std::string& key) {
    for (const ShapeItem& item : shape) {
      if (item.key == key) return std::optional<std::string>(item.value);
    }
    return std::optional<std::string>();
  };
  for (const CrawlShape* side : {&now, &before}) {
    for (const ShapeItem& item : *side) {
      const std::optional<std::string> earlier = valueIn(before, item.key);
      const std::optional<std::string> present = valueIn(now, item.key);
      if (earlier != present)
        return ShapeDifference{item.key, earlier.value_or(""), present.value_or("")};
    }
  }
  return std::nullopt;
}

std::string ShapeLabel(std::string_view key) {
  using resources::Text;
  using resources::TextId;
  if (key.starts_with("range-") && key.size() == 7) return "@" + std::string(1, key[6]) + "@";
  if (key == "template") return Text(TextId::kReadPathLabel);
  if (key == "same-server") return Text(TextId::kServerCheck);
  if (key == "under-start") return Text(TextId::kAnotherUrlCheck);
  if (key == "filter") return Text(TextId::kFilterCheck);
  if (key == "enable") return Text(TextId::kEnableListColumn);
  if (key == "disable") return Text(TextId::kDisableListColumn);
  if (key == "count") return Text(TextId::kCountLabel);
  return std::string(key);
}

bool JournalContents::Complete(int entryLimit) const {
  if (!seedingDone) return false;
  const std::size_t reached = std::min(queue.size(), static_cast<std::size_t>(entryLimit));
  for (std::size_t i = 0; i < reached; ++i) {
    if (!finished[i]) return false;
  }
  return true;
}

JournalContents ReadJournal(std::string_view bytes) {
  JournalContents contents;
  // Until seeding is done only seeds are queued, each before the line of its values: one queued
  // behind the last values is the seed in flight, which the resumed seeding produces again.
  std::size_t seededQueue = 0;
  std::size_t seededBytes = 0;
  std::size_t start = 0;
  for (std::size_t end; (end = bytes.find('\n', start)) != std::string_view::npos;
       start = end + 1) {
    const std::optional<std::vector<std::string>> fields = Fields(bytes.substr(start, end - start));
    if (!fields) break;
    if (!contents.recognised) {
      if (*fields != std::vector<std::string>{"J", std::string(kMagic), std::string(kVersion)}) {
        break;
      }
      contents.recognised = true;
    } else if (!Apply(*fields, contents)) {
      break;
    }
    contents.wholeBytes = end + 1;
    if (fields->front() != "Q") {
      seededQueue = contents.queue.size();
      seededBytes = contents.wholeBytes;
    }
  }
  if (!contents.seedingDone) {
    contents.queue.resize(seededQueue);
    contents.finished.resize(seededQueue);
    contents.wholeBytes = seededBytes;
  }
  return contents;
}

std::optional<JournalContents> ReadJournalFile(const std::string& path) {
  const std::optional<std::string> bytes = base::ReadWholeFile(path);
  if (!bytes) return std::nullopt;
  return ReadJournal(*bytes);
}

bool HasUnfinishedCrawl(const std::string& path, int entryLimit) {
  const std::optional<JournalContents> contents = ReadJournalFile(path);
  return contents && contents->recognised && !contents->Complete(entryLimit);
}

std::string JournalHeaderLines(const CrawlShape& shape) {
  std::string lines = Line({"J", kMagic, kVersion});
  for (const ShapeItem& item : shape) lines += Line({"O", item.key, item.value});
  return lines;
}

std::string QueuedLine(const JournalEntry& entry) {
  return Line({"Q", QueueKindName(entry.kind), std::to_string(entry.linkedFrom), entry.address});
}

std::string SeededLine(const PlaceholderValues& values) {
  std::string numbers[6];
  for (std::size_t i = 0; i < values.size(); ++i) numbers[i] = std::to_string(values[i]);
  return Line({"S", numbers[0], numbers[1], numbers[2], numbers[3], numbers[4], numbers[5]});
}

std::string SeedingDoneLine(const std::string& lastAddress) { return Line({"D", lastAddress}); }

std::string FinishedLine(int position, int successes) {
  return Line({"F", std::to_string(position), std::to_string(successes)});
}

bool CrawlJournal::Create(const std::string& path, const CrawlShape& shape) {
  const auto native = base::ToNativePath(path);
  m_failed = false;
  m_fd.Reset(
      native ? ::open(native->c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0666)
             : -1);
  if (!m_fd.Valid()) return false;
  Append(JournalHeaderLines(shape), true);
  return IsOpen();
}

bool CrawlJournal::Continue(const std::string& path, std::size_t wholeBytes) {
  const auto native = base::ToNativePath(path);
  m_failed = false;
  m_fd.Reset(native ? ::open(native->c_str(), O_WRONLY | O_APPEND | O_CLOEXEC) : -1);
  if (!m_fd.Valid()) return false;
  if (::ftruncate(m_fd.Get(), static_cast<off_t>(wholeBytes)) != 0) {
    m_fd.Reset();
    return false;
  }
  return true;
}

void CrawlJournal::Append(const std::string& line, bool durable) {
  if (!m_fd.Valid()) return;
  std::size_t written = 0;
  while (written < line.size()) {
    const ssize_t count = ::write(m_fd.Get(), line.data() + written, line.size() - written);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) {
      // A full disk or a lost file: the journal stops here rather than holding a gap.
      m_failed = true;
      m_fd.Reset();
      return;
    }
    written += static_cast<std::size_t>(count);
  }
  if (durable && ::fdatasync(m_fd.Get()) != 0) {
    m_failed = true;
    m_fd.Reset();
  }
}

}  // namespace download
