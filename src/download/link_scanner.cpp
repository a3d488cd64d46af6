// The HTML link scanner: finds the next tag holding a tag name and an attribute name and cuts
// the attribute's value out of it, without parsing the HTML.
#include "download/link_scanner.h"

#include <cstring>

#include "base/text.h"
#include "base/tools.h"

namespace download {

namespace {

// A byte that can never be the second byte of a double-byte character starts a character
// however the text before it is read. Every search that starts behind such a byte therefore
// sees the same characters as a reading of the whole text from its start.
bool StartsEveryReading(unsigned char byte) { return !base::IsTrailByte(byte); }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsSpace(char c) { return IsBlank(c) || c == '\n' || c == '\r'; }

// Bytes passed over before a value, and bytes that end it. Inside a tag both quotes count; the
// anchor scan reads the text behind the tag as well and treats the single quote as an ordinary
// byte.
bool SkippedBeforeValue(char c, bool anchorRules) {
  return IsSpace(c) || c == '"' || (!anchorRules && c == '\'');
}
bool EndsValue(char c, bool anchorRules) {
  return IsBlank(c) || c == '"' || (!anchorRules && c == '\'');
}

// Whether a double quote stands among the bytes skipped between the "=" and the value.
bool QuotedValue(const LoweredPage& source, int tagStart, int equals, int start) {
  bool quoted = false;
  for (int at = equals + 1; at < start; ++at) {
    quoted = quoted || source.text()[tagStart + at] == '"';
  }
  return quoted;
}

}  // namespace

LoweredPage::LoweredPage(std::string_view text) : m_text(text), m_starts(text.size(), 0) {
  for (int i = 0; i < size(); i += base::CharLengthAt(m_text, i)) m_starts[i] = 1;
}

int LoweredPage::FindFromCharacterStart(std::string_view what, int start) const {
  if (what.empty()) return start;
  for (std::size_t at = m_text.find(what, start); at != std::string_view::npos;
       at = m_text.find(what, at + 1)) {
    if (StartsCharacter(static_cast<int>(at))) return static_cast<int>(at);
  }
  return -1;
}

int LoweredPage::Find(std::string_view what, int start) const {
  if (start < 0 || start > size()) return -1;
  if (what.empty()) return start;
  // Read characters from `start` until a byte that starts every reading; from there on the
  // reading from `start` and the reading of the whole text agree.
  int i = start;
  for (; i < size() && !StartsEveryReading(static_cast<unsigned char>(m_text[i]));
       i += base::CharLengthAt(m_text, i)) {
    if (m_text.compare(i, what.size(), what) == 0) return i;
  }
  return i < size() ? FindFromCharacterStart(what, i) : -1;
}

int LoweredPage::FindLinear(std::string_view what, int start) const {
  if (start < 0 || start > size()) return -1;
  if (what.empty()) return start;
  const int length = static_cast<int>(what.size());
  // The longest proper border of every prefix of `what` (the table of a Knuth-Morris-Pratt
  // search): after a mismatch the search goes on from the border instead of from scratch.
  std::vector<int> border(what.size(), 0);
  for (int i = 1, k = 0; i < length; ++i) {
    while (k > 0 && what[i] != what[k]) k = border[k - 1];
    if (what[i] == what[k]) ++k;
    border[i] = k;
  }
  int character = start;  // the next character start of the reading from `start`
  for (int i = start, matched = 0; i < size(); ++i) {
    while (matched > 0 && m_text[i] != what[matched]) matched = border[matched - 1];
    if (m_text[i] == what[matched]) ++matched;
    if (matched < length) continue;
    const int at = i - length + 1;  // matches come in increasing order, so `character` only grows
    while (character < at) character += base::CharLengthAt(m_text, character);
    if (character == at) return at;
    matched = border[matched - 1];
  }
  return -1;
}

TagScanner::TagScanner(const LoweredPage& page, const LoweredPage& values, std::string_view tagName,
                       std::string_view attributeName, Mode mode)
    : m_page(page), m_values(values), m_attributeName(attributeName), m_mode(mode) {
  std::string names(tagName);
  if (!attributeName.empty()) names += "," + std::string(attributeName);
  names = base::ToLower(names);
  m_first = base::GetField(names, ",", 0);
  const int count = base::CountFields(names, ",");
  for (int j = 1; j < count; ++j) m_fields.push_back(base::GetField(names, ",", j));
  m_fieldMemos.resize(m_fields.size());
  m_closingTag = "</" + std::string(tagName) + ">";
}

bool TagScanner::Memo::Knows(const LoweredPage& source, int from) const {
  return m_source == &source && from >= m_from && (m_found < 0 || from <= m_found);
}

// `from` must start a character in every reading of the text (it lies behind a "<").
int TagScanner::NextWord(Memo& memo, const LoweredPage& source, std::string_view word, int from) {
  if (!memo.Knows(source, from)) {
    memo = {&source, from, source.FindFromCharacterStart(word, from)};
  }
  return memo.m_found;
}

template <typename Predicate>
int TagScanner::NextByte(Memo& memo, const LoweredPage& source, int from, Predicate predicate) {
  if (!memo.Knows(source, from)) {
    int at = from;
    while (at < source.size() && !predicate(source.text()[at])) ++at;
    memo = {&source, from, at < source.size() ? at : -1};
  }
  return memo.m_found;
}

// The tag search on the text cut at `from`: every occurrence of the tag name (from position 1
// of the cut text on) is a starting point; the tag around it runs from the last "<" before it to
// the first ">" after it and counts when it holds every further name. tagEnd is -1 when no ">"
// follows (an empty tag, which ends the scan).
bool TagScanner::FindTagFrom(int from, int& tagStart, int& tagEnd) {
  const char* const text = m_page.text().data();
  int scanned = from;  // the last "<" before `scanned` is known
  int lastOpen = -1;
  for (int o = m_page.Find(m_first, from + 1); o >= 0; o = m_page.Find(m_first, o + 1)) {
    if (o > scanned) {
      const void* open = memrchr(text + scanned, '<', static_cast<std::size_t>(o - scanned));
      if (open != nullptr) lastOpen = static_cast<int>(static_cast<const char*>(open) - text);
      scanned = o;
    }
    if (lastOpen < 0) continue;
    const int close = NextByte(m_closeMemo, m_page, o, [](char c) { return c == '>'; });
    bool holdsAll = true;
    for (std::size_t j = 0; j < m_fields.size() && holdsAll; ++j) {
      const std::string& field = m_fields[j];
      if (field.empty()) continue;
      const int at = close < 0 ? -1 : NextWord(m_fieldMemos[j], m_page, field, lastOpen);
      holdsAll = at >= 0 && at + static_cast<int>(field.size()) - 1 <= close;
    }
    if (holdsAll) {
      tagStart = lastOpen;
      tagEnd = close;
      return true;
    }
  }
  return false;
}

// The attribute's "=", the value's first byte and the byte that ends it, each the first one of
// its kind in the text (up to `textEnd`) behind the one before, as offsets from the tag's "<". A
// mark that is not there stands where the one before it stands (the end: -1).
TagScanner::ValueMarks TagScanner::FindValueMarks(const LoweredPage& source, int tagStart,
                                                  int textEnd, bool anchorRules) {
  const auto inText = [&](int at) { return at >= 0 && at <= textEnd ? at : -1; };
  int name = 0;
  if (!m_attributeName.empty()) {
    const int at = NextWord(m_attributeMemo, source, m_attributeName, tagStart);
    name = at >= 0 && at + static_cast<int>(m_attributeName.size()) - 1 <= textEnd ? at : -1;
    if (name >= 0) name -= tagStart;
  }
  ValueMarks marks;
  marks.equals =
      inText(NextByte(m_equalsMemo, source, tagStart + name + 1, [](char c) { return c == '='; }));
  marks.equals = marks.equals < 0 ? name : marks.equals - tagStart;
  const auto valueByte = [anchorRules](char c) { return !SkippedBeforeValue(c, anchorRules); };
  marks.start = inText(NextByte(m_startMemo, source, tagStart + marks.equals + 1, valueByte));
  marks.start = marks.start < 0 ? marks.equals : marks.start - tagStart;
  marks.end = inText(NextByte(m_endMemo, source, tagStart + marks.start + 1,
                              [anchorRules](char c) { return EndsValue(c, anchorRules); }));
  marks.end = marks.end < 0 ? -1 : marks.end - tagStart;
  return marks;
}

// The length of the value that starts at `valueStart` when it is cut at its first "#". Values
// of tags that nest or share their text overlap, so the search is remembered like the others.
int TagScanner::LengthBeforeFragment(const LoweredPage& source, int valueStart, int valueLength) {
  const int fragment =
      NextByte(m_fragmentMemo, source, valueStart, [](char c) { return c == '#'; });
  if (fragment >= 0 && fragment - valueStart < valueLength) return fragment - valueStart;
  return valueLength;
}

// Cuts the value of the attribute out of the text of `source` that starts at the tag's "<":
// the tag alone for a tag scan and a style sheet link, the tag and the rest of the text for an
// anchor. The value starts behind the "=" and the blanks and quotes after it and ends at the
// first end byte; a value that the tag's ">" closes first ends there, except a quoted anchor
// value, which runs on to its closing quote through the rest of the text.
void TagScanner::ReadValue(const LoweredPage& source, int tagStart, int tagEnd, bool anchorRules,
                           TagScanResult& result) {
  const bool wholeText = anchorRules && !result.m_styleSheet;
  const int textEnd = wholeText ? source.size() - 1 : tagEnd;
  const ValueMarks marks = FindValueMarks(source, tagStart, textEnd, anchorRules);
  const int tagClose = tagEnd - tagStart;
  // An anchor value with a double quote among the bytes skipped before it is quoted: a ">"
  // inside the quotes is part of it, also when that ">" is the last byte of the text. (A tag
  // scan and a style sheet link read the tag alone, so there the ">" ends every value that has
  // no end byte before it.)
  const bool quoted = wholeText && QuotedValue(source, tagStart, marks.equals, marks.start);
  int valueStart = marks.start;
  int valueLength = 0;
  if (marks.start <= tagClose && !quoted) {
    const int end = marks.end < 0 || marks.end > tagClose ? tagClose : marks.end;
    valueLength = end - marks.start;
  } else if (marks.end >= 0) {
    valueLength = marks.end - marks.start;
  } else {
    valueStart = 0;  // no end anywhere behind a value outside its tag: the whole text
    valueLength = textEnd - tagStart + 1;
  }
  result.m_valueStart = tagStart + valueStart;
  result.m_valueLength =
      LengthBeforeFragment(source, result.m_valueStart, valueLength < 0 ? 0 : valueLength);
}

TagScanResult TagScanner::Next(int from) {
  TagScanResult result;
  int tagStart = 0, tagEnd = -1;
  if (!FindTagFrom(from, tagStart, tagEnd) || tagEnd < 0) return result;
  result.m_tagStart = tagStart;
  result.m_tagLength = tagEnd - tagStart + 1;
  if (m_mode == Mode::kTag) {
    ReadValue(m_page, tagStart, tagEnd, false, result);
    result.m_next = tagStart + 1;
  } else {
    const int style = NextWord(m_styleMemo, m_page, ".css", tagStart);
    result.m_styleSheet = style >= 0 && style + 3 <= tagEnd;
    if (result.m_styleSheet) {
      ReadValue(m_page, tagStart, tagEnd, true, result);
      result.m_next = tagStart + 1;
    } else {
      const int closing = NextWord(m_closingMemo, m_values, m_closingTag, tagStart);
      if (closing < 0) return result;
      ReadValue(m_values, tagStart, tagEnd, true, result);
      result.m_next = closing + 1;
    }
  }
  result.m_end = false;
  return result;
}

std::string FindTag(std::string_view html, std::string_view names, int& pos, char open,
                    char close) {
  // The general form, for any name list and any pair of bracket bytes. The scanners use the
  // faster search of TagScanner, which gives the same tags for "<" and ">".
  const std::string text = base::ToLower(html);
  const std::string lowerNames = base::ToLower(names);
  const LoweredPage page(text);
  const std::string first = base::GetField(lowerNames, ",", 0);
  const int count = base::CountFields(lowerNames, ",");
  for (int o = page.Find(first, 1); o >= 0; o = page.Find(first, o + 1)) {
    const void* found = memrchr(text.data(), open, static_cast<std::size_t>(o));
    if (found == nullptr) continue;
    const int tagStart = static_cast<int>(static_cast<const char*>(found) - text.data());
    const std::size_t tagEnd = text.find(close, o);
    const std::string_view tag = tagEnd == std::string::npos ? std::string_view()
                                                             : std::string_view(text).substr(
                                                                   tagStart, tagEnd - tagStart + 1);
    bool holdsAll = true;
    for (int j = 1; j < count && holdsAll; ++j) {
      holdsAll = base::Contains(tag, base::GetField(lowerNames, ",", j));
    }
    if (holdsAll) {
      pos = tagStart;
      return std::string(tag);
    }
  }
  return {};
}

std::string GetTagAttribute(std::string_view html, std::string_view tagName,
                            std::string_view attributeName, int& pos) {
  const std::string text = base::ToLower(html);
  const LoweredPage page(text);
  TagScanner scanner(page, tagName, attributeName, TagScanner::Mode::kTag);
  const TagScanResult result = scanner.Next(0);
  if (result.m_end) return std::string(kEndOfScan);
  pos = result.m_next;
  return text.substr(result.m_valueStart, result.m_valueLength);
}

std::string GetAnchorAttribute(std::string_view html, std::string_view tagName,
                               std::string_view attributeName, int& pos, std::string& tagText) {
  const std::string text = base::ToLower(html);
  const LoweredPage page(text);
  const LoweredPage values(html);
  TagScanner scanner(page, values, tagName, attributeName, TagScanner::Mode::kAnchor);
  const TagScanResult result = scanner.Next(0);
  if (result.m_end) {
    if (result.m_tagLength > 0) {  // a tag without a closing tag behind it
      pos = result.m_tagStart;
      tagText = text.substr(result.m_tagStart, result.m_tagLength);
    }
    return std::string(kEndOfScan);
  }
  pos = result.m_next;
  if (result.m_styleSheet) return text.substr(result.m_valueStart, result.m_valueLength);
  tagText = text.substr(result.m_tagStart, result.m_tagLength);
  return std::string(html.substr(result.m_valueStart, result.m_valueLength));
}

}  // namespace download
