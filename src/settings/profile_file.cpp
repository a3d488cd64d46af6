// Profile files: "key=value" lines under "[section]" headers, read and written in code page 932.
#include "settings/profile_file.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "base/file_system.h"
#include "base/text.h"

namespace settings {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

bool IsBlank(char byte) { return byte == ' ' || byte == '\t'; }
bool IsQuote(char byte) { return byte == '"' || byte == '\''; }

// Blanks, quotes and line-break bytes are all below 0x40, so they can never be the trail byte
// of a double-byte character: plain byte tests at either end of a text are safe.
std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool SameName(std::string_view a, std::string_view b) { return base::EqualsIgnoringCase(a, b); }

// One line of the file as it stands: its bytes with their line end, and what it declares.
struct Line {
  enum class Kind { kOther, kSection, kKey };
  std::size_t begin = 0;
  std::size_t end = 0;      // past the line end
  std::size_t textEnd = 0;  // before the line end
  Kind kind = Kind::kOther;
  std::string_view name;   // section or key name, trimmed
  std::string_view value;  // raw value of a key line, trimmed
};

Line ParseLine(std::string_view bytes, std::size_t begin) {
  Line line;
  line.begin = begin;
  const std::size_t newline = bytes.find('\n', begin);
  line.end = newline == std::string_view::npos ? bytes.size() : newline + 1;
  line.textEnd = newline == std::string_view::npos ? bytes.size() : newline;
  if (line.textEnd > begin && bytes[line.textEnd - 1] == '\r') --line.textEnd;

  const std::string_view text = Trim(bytes.substr(begin, line.textEnd - begin));
  if (text.empty() || text.front() == ';' || text.front() == '#') return line;
  if (text.front() == '[') {
    // The closing bracket is searched character by character: 0x5D can be a trail byte.
    const int close = base::FindChar(text, ']', 1);
    if (close == base::kNotFound) return line;
    line.kind = Line::Kind::kSection;
    line.name = Trim(text.substr(1, static_cast<std::size_t>(close) - 1));
    return line;
  }
  const std::size_t equals = text.find('=');  // '=' is never a trail byte
  if (equals == std::string_view::npos) return line;
  line.kind = Line::Kind::kKey;
  line.name = Trim(text.substr(0, equals));
  line.value = Trim(text.substr(equals + 1));
  return line;
}

std::vector<Line> ParseLines(std::string_view bytes) {
  std::vector<Line> lines;
  for (std::size_t begin = 0; begin < bytes.size();) {
    lines.push_back(ParseLine(bytes, begin));
    begin = lines.back().end;
  }
  return lines;
}

// Where a section sits among the lines: its header and the index past its last line.
struct SectionSpan {
  std::size_t header = 0;
  std::size_t end = 0;
};

// The first section of that name; later duplicates are never seen, as a reader sees them.
std::optional<SectionSpan> FindSection(const std::vector<Line>& lines, std::string_view section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind != Line::Kind::kSection || !SameName(lines[i].name, section)) continue;
    SectionSpan span{i, i + 1};
    while (span.end < lines.size() && lines[span.end].kind != Line::Kind::kSection) ++span.end;
    return span;
  }
  return std::nullopt;
}

std::optional<std::size_t> FindKey(const std::vector<Line>& lines, const SectionSpan& span,
                                   std::string_view key) {
  for (std::size_t i = span.header + 1; i < span.end; ++i) {
    if (lines[i].kind == Line::Kind::kKey && SameName(lines[i].name, key)) return i;
  }
  return std::nullopt;
}

// The stored form of a value: wrapped in double quotes when trimming or quote removal on
// reading would change it.
std::string StoredValue(std::string_view value) {
  const bool wrap = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()) ||
                                       IsQuote(value.front()) || IsQuote(value.back()));
  if (!wrap) return std::string(value);
  std::string stored;
  stored.reserve(value.size() + 2);
  stored += '"';
  stored += value;
  stored += '"';
  return stored;
}

std::string_view ReadValue(std::string_view stored) {
  if (stored.size() >= 2 && IsQuote(stored.front()) && stored.back() == stored.front()) {
    return stored.substr(1, stored.size() - 2);
  }
  return stored;
}

bool HoldsLineBreak(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// Whether a header written for `section` and a key line written for `key` and `value` read back
// as exactly these names and this value. Names with blanks at either end, a section name whose
// last byte is a lead byte (it would join the closing "]" into one character), a key that reads
// as a header or comment or holds "=": each would be written and never found again, and every
// further write would add another copy.
bool ReadsBack(std::string_view section, std::string_view key, std::string_view value) {
  if (section.empty() || key.empty() || HoldsLineBreak(section) || HoldsLineBreak(key) ||
      HoldsLineBreak(value)) {
    return false;
  }
  const std::string header = "[" + std::string(section) + "]";
  const Line headerLine = ParseLine(header, 0);
  if (headerLine.kind != Line::Kind::kSection || headerLine.name != section) return false;
  const std::string keyText = std::string(key) + "=" + StoredValue(value);
  const Line keyLine = ParseLine(keyText, 0);
  return keyLine.kind == Line::Kind::kKey && keyLine.name == key &&
         ReadValue(keyLine.value) == value;
}

// The file's current bytes: "" for a file that does not exist yet, nullopt for one that exists
// but cannot be read (writing over it would lose its content).
std::optional<std::string> CurrentContent(std::string_view path) {
  if (auto bytes = base::ReadWholeFile(path)) return bytes;
  if (base::FileExists(path)) return std::nullopt;
  return std::string();
}

}  // namespace

int ProfileFile::GetPrivateProfileString(std::string_view section, std::string_view key,
                                         std::string_view defaultValue, std::string& out,
                                         int bufferSize, std::string_view path) const {
  out.clear();
  if (bufferSize <= 0) return 0;
  std::string_view value = defaultValue;
  const std::optional<std::string> bytes = base::ReadWholeFile(path);
  if (bytes) {
    const std::vector<Line> lines = ParseLines(*bytes);
    if (const auto span = FindSection(lines, section)) {
      if (const auto index = FindKey(lines, *span, key)) value = ReadValue(lines[*index].value);
    }
  }
  const std::size_t copied = std::min(value.size(), static_cast<std::size_t>(bufferSize - 1));
  out.assign(value.substr(0, copied));
  return static_cast<int>(copied);
}

std::vector<ProfileEntry> ProfileFile::GetPrivateProfileSection(std::string_view section,
                                                                std::string_view path) const {
  std::vector<ProfileEntry> entries;
  const std::optional<std::string> bytes = base::ReadWholeFile(path);
  if (!bytes) return entries;
  const std::vector<Line> lines = ParseLines(*bytes);
  const auto span = FindSection(lines, section);
  if (!span) return entries;
  for (std::size_t i = span->header + 1; i < span->end; ++i) {
    if (lines[i].kind != Line::Kind::kKey) continue;
    entries.push_back({std::string(lines[i].name), std::string(ReadValue(lines[i].value))});
  }
  return entries;
}

bool ProfileFile::WritePrivateProfileString(std::string_view section, std::string_view key,
                                            std::string_view value, std::string_view path) const {
  if (!ReadsBack(section, key, value)) return false;

  const std::optional<std::string> content = CurrentContent(path);
  if (!content) return false;
  const std::string_view bytes = *content;
  const std::vector<Line> lines = ParseLines(bytes);
  const std::string keyLine = std::string(key) + "=" + StoredValue(value) + std::string(kLineEnd);

  std::string result;
  result.reserve(bytes.size() + keyLine.size() + section.size() + 8);
  // Ends the last line of the text so far when it has no line end, or only the CR of one: a
  // lone CR there belongs to the line end and must not become part of the line's value.
  const auto endLine = [&result] {
    if (result.empty() || result.back() == '\n') return;
    result += result.back() == '\r' ? std::string_view("\n") : kLineEnd;
  };

  const auto span = FindSection(lines, section);
  if (!span) {
    result.append(bytes);
    endLine();
    result += '[';
    result += section;
    result += ']';
    result += kLineEnd;
    result += keyLine;
  } else if (const auto index = FindKey(lines, *span, key)) {
    const Line& old = lines[*index];
    result.append(bytes.substr(0, old.begin));
    result += keyLine;
    result.append(bytes.substr(old.end));
  } else {
    // After the section's last line that holds anything, so that blank lines separating it
    // from the next section stay where they are.
    std::size_t last = span->header;
    for (std::size_t i = span->header + 1; i < span->end; ++i) {
      if (!Trim(bytes.substr(lines[i].begin, lines[i].textEnd - lines[i].begin)).empty()) last = i;
    }
    result.append(bytes.substr(0, lines[last].end));
    endLine();
    result += keyLine;
    result.append(bytes.substr(lines[last].end));
  }
  return base::WriteFileAtomically(path, result);
}

}  // namespace settings
