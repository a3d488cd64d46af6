// The HTML link scanner: finds the next tag holding a tag name and an attribute name and cuts
// the attribute's value out of it, without parsing the HTML.
#include "download/link_scanner.h"

#include <cstring>
#include <utility>

#include "base/text.h"
#include "base/tools.h"

namespace download {

namespace {

// A byte that can never be the second byte of a double-byte character starts a character
// however the text before it is read. Every search that starts behind such a byte therefore
// sees the same characters as a reading of the whole text from its start.
bool StartsEveryReading(unsigned char byte) { return !base::IsTrailByte(byte); }

// The bytes that separate attributes in HTML: blank, tab, line feed, form feed, carriage return.
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r'; }

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

// Where the attribute's value lies, as HTML reads it: behind the first "=" after the attribute's
// name, past the spaces behind it; a value in double or single quotes is the text between the
// quotes (up to the tag's ">" when the quote is never closed), an unquoted one ends at a space or
// at the tag's ">". A name with no "=" behind it inside the tag has an empty value. Offsets from
// the tag's "<"; `end` is the offset just behind the value.
TagScanner::ValueMarks TagScanner::FindValueMarks(const LoweredPage& source, int tagStart,
                                                  int tagEnd) {
  const int tagClose = tagEnd - tagStart;
  ValueMarks marks{.start = tagClose, .end = tagClose};  // empty
  int name = tagStart;
  if (!m_attributeName.empty()) {
    name = NextWord(m_attributeMemo, source, m_attributeName, tagStart);
    if (name < 0 || name + static_cast<int>(m_attributeName.size()) - 1 > tagEnd) return marks;
  }
  const int equals = NextByte(m_equalsMemo, source, name + 1, [](char c) { return c == '='; });
  if (equals < 0 || equals >= tagEnd) return marks;
  const int start = NextByte(m_startMemo, source, equals + 1, [](char c) { return !IsSpace(c); });
  if (start < 0 || start >= tagEnd) return marks;
  const char quote = source.text()[start];
  int end = -1;
  if (quote == '"') {
    end = NextByte(m_doubleQuoteMemo, source, start + 1, [](char c) { return c == '"'; });
  } else if (quote == '\'') {
    end = NextByte(m_singleQuoteMemo, source, start + 1, [](char c) { return c == '\''; });
  } else {
    end = NextByte(m_endMemo, source, start + 1, [](char c) { return IsSpace(c) || c == '>'; });
  }
  const bool quoted = quote == '"' || quote == '\'';
  marks.start = start - tagStart + (quoted ? 1 : 0);
  marks.end = end < 0 || (!quoted && end > tagEnd) ? tagClose : end - tagStart;
  return marks;
}

// The length of the value that starts at `valueStart` when it is cut at its first "#". Values
// of tags that nest or share their text overlap, so the search is remembered like the others.
// A "#" that follows "&" begins a numeric character reference, not the fragment.
int TagScanner::LengthBeforeFragment(const LoweredPage& source, int valueStart, int valueLength) {
  const auto isHash = [](char c) { return c == '#'; };
  const int valueEnd = valueStart + valueLength;
  for (int at = NextByte(m_fragmentMemo, source, valueStart, isHash); at >= 0 && at < valueEnd;
       at = NextByte(m_fragmentMemo, source, at + 1, isHash)) {
    if (at == valueStart || source.text()[at - 1] != '&') return at - valueStart;
  }
  return valueLength;
}

// Cuts the value of the attribute out of the text of `source` that starts at the tag's "<", and
// cuts it again before its fragment.
void TagScanner::ReadValue(const LoweredPage& source, int tagStart, int tagEnd,
                           TagScanResult& result) {
  const ValueMarks marks = FindValueMarks(source, tagStart, tagEnd);
  result.m_valueStart = tagStart + marks.start;
  const int length = marks.end - marks.start;
  result.m_valueLength = LengthBeforeFragment(source, result.m_valueStart, length < 0 ? 0 : length);
}

TagScanResult TagScanner::Next(int from) {
  TagScanResult result;
  int tagStart = 0, tagEnd = -1;
  if (!FindTagFrom(from, tagStart, tagEnd) || tagEnd < 0) return result;
  result.m_tagStart = tagStart;
  result.m_tagLength = tagEnd - tagStart + 1;
  if (m_mode == Mode::kTag) {
    ReadValue(m_page, tagStart, tagEnd, result);
    result.m_next = tagStart + 1;
  } else {
    const int style = NextWord(m_styleMemo, m_page, ".css", tagStart);
    result.m_styleSheet = style >= 0 && style + 3 <= tagEnd;
    if (result.m_styleSheet) {
      ReadValue(m_page, tagStart, tagEnd, result);
      result.m_next = tagStart + 1;
    } else {
      const int closing = NextWord(m_closingMemo, m_values, m_closingTag, tagStart);
      if (closing < 0) return result;
      ReadValue(m_values, tagStart, tagEnd, result);
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

namespace {

// The code point of a numeric reference at `at` ("&#" already seen at at - 2), or -1 when no
// digit follows; `at` ends behind the digits and the ";" when there is one.
long ReadNumericReference(std::string_view text, std::size_t& at) {
  int base = 10;
  if (at < text.size() && (text[at] == 'x' || text[at] == 'X')) {
    base = 16;
    ++at;
  }
  long value = 0;
  std::size_t digits = 0;
  for (; at < text.size(); ++at, ++digits) {
    const char c = text[at];
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) break;
    value = value > 0x10FFFF ? value : value * base + digit;  // stays above the range once there
  }
  if (digits == 0) return -1;
  if (at < text.size() && text[at] == ';') ++at;
  return value;
}

void AppendCodePoint(std::string& out, long code) {
  const bool usable = code > 0 && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
  if (!usable) code = 0xFFFD;
  if (code < 0x80) {
    out += static_cast<char>(code);
    return;
  }
  unsigned char bytes[4];
  int count = 0;
  if (code < 0x800) {
    bytes[count++] = static_cast<unsigned char>(0xC0 | (code >> 6));
  } else if (code < 0x10000) {
    bytes[count++] = static_cast<unsigned char>(0xE0 | (code >> 12));
    bytes[count++] = static_cast<unsigned char>(0x80 | ((code >> 6) & 0x3F));
  } else {
    bytes[count++] = static_cast<unsigned char>(0xF0 | (code >> 18));
    bytes[count++] = static_cast<unsigned char>(0x80 | ((code >> 12) & 0x3F));
    bytes[count++] = static_cast<unsigned char>(0x80 | ((code >> 6) & 0x3F));
  }
  bytes[count++] = static_cast<unsigned char>(0x80 | (code & 0x3F));
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (int i = 0; i < count; ++i) {
    out += '%';
    out += kHex[bytes[i] >> 4];
    out += kHex[bytes[i] & 0xF];
  }
}

}  // namespace

std::string DecodeCharacterReferences(std::string_view value) {
  static constexpr std::pair<std::string_view, char> kNamed[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
  std::string out;
  out.reserve(value.size());
  // "&" is below 0x40, so it is never the second byte of a double-byte character.
  for (std::size_t at = 0; at < value.size();) {
    if (value[at] != '&') {
      out += value[at++];
      continue;
    }
    if (value.substr(at, 2) == "&#") {
      std::size_t next = at + 2;
      const long code = ReadNumericReference(value, next);
      if (code >= 0) {
        AppendCodePoint(out, code);
        at = next;
        continue;
      }
    }
    bool named = false;
    for (const auto& [name, character] : kNamed) {
      if (base::StartsWithIgnoringCase(value.substr(at), name)) {
        out += character;
        at += name.size();
        named = true;
        break;
      }
    }
    if (!named) out += value[at++];
  }
  return out;
}

}  // namespace download
