// The HTML link scanner: finds the next tag holding a tag name and an attribute name and cuts
// the attribute's value out of it, without parsing the HTML.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace download {

// What a scanner returns when no further tag is found. Values come from lower-cased text, so a
// real value never equals it.
inline constexpr std::string_view kEndOfScan = "END";

// The lower-cased text of the next tag, from its last `open` byte before the first field of
// `names` to the first `close` byte after it, that holds every further field of `names`
// (fields separated by ","); "" when there is none. The tag name is searched from position 1 on.
// pos = index of the tag's `open` byte. `open` and `close` are bytes below 0x40.
std::string FindTag(std::string_view html, std::string_view names, int& pos, char open, char close);

// Values are read as HTML reads them: behind the first "=" after the attribute's name and the
// spaces behind it, the text between double or single quotes, or an unquoted text up to a space
// or the tag's ">"; a name without "=" has an empty value. The value is cut before its fragment:
// its first "#" that does not begin a character reference ("&#").

// The value of `attributeName` in the next tag that holds `tagName` and `attributeName`; "END"
// when there is none. pos = index just behind the tag's "<".
std::string GetTagAttribute(std::string_view html, std::string_view tagName,
                            std::string_view attributeName, int& pos);

// The same for anchors, accepted only with a closing tag "</tagName>" somewhere behind them; a
// tag holding ".css" (a style sheet link) is read from the tag alone. The value is taken from
// `html` itself, so callers pass lower-case text. pos = index just behind the "<" of the closing
// tag (behind the tag's own "<" for a style sheet link); tagText = the found tag's lower-cased
// text (left unchanged for a style sheet link). "END" when there is no tag or no closing tag.
std::string GetAnchorAttribute(std::string_view html, std::string_view tagName,
                               std::string_view attributeName, int& pos, std::string& tagText);

// An attribute value with its character references replaced: the named ones "&amp;", "&lt;",
// "&gt;", "&quot;" and "&apos;", and numeric ones ("&#47;", "&#x2F;", the ";" optional). A
// character above 0x7F is written as the %XX bytes of its UTF-8 form, as a browser requests it;
// one that cannot be a character becomes U+FFFD. Anything else stays as it is.
std::string DecodeCharacterReferences(std::string_view value);

// A text lower-cased once and scanned many times from increasing offsets: what the harvesting of
// one page uses so that no scanner call copies or re-lowers the rest of the page. It knows where
// the characters of the text begin, so searches stay double-byte aware without walking the text
// again for every call.
class LoweredPage {
 public:
  explicit LoweredPage(std::string_view text);  // takes the text as it is (already lower case)
  std::string_view text() const { return m_text; }
  int size() const { return static_cast<int>(m_text.size()); }

  // The first occurrence of `what` at or after `start`, counting characters from `start` (as a
  // search in the text cut at `start` does); -1 when there is none.
  int Find(std::string_view what, int start) const;
  // The same answer in time linear in the bytes passed over plus the length of `what`, however
  // often a prefix of `what` repeats in the text: for long searched texts.
  int FindLinear(std::string_view what, int start) const;

 private:
  friend class TagScanner;
  // 1 where a character begins when the text is read from position 0.
  bool StartsCharacter(int position) const { return m_starts[position] != 0; }
  int FindFromCharacterStart(std::string_view what, int start) const;

  std::string_view m_text;
  std::vector<unsigned char> m_starts;
};

// The outcome of one scanner call on a LoweredPage, in positions of the whole page.
struct TagScanResult {
  bool m_end = true;     // no tag, or no closing tag for an anchor
  int m_valueStart = 0;  // the value, fragment already cut
  int m_valueLength = 0;
  int m_next = 0;      // where the next call starts (the scanner's pos, made absolute)
  int m_tagStart = 0;  // the found tag, from its "<" to its ">"
  int m_tagLength = 0;
  bool m_styleSheet = false;  // an anchor scan that read a style sheet link tag
};

// Repeated calls of GetTagAttribute or GetAnchorAttribute over one page, each on the text from a
// given position on, with results identical to calling them on the cut text. It remembers the
// searches of earlier calls, so a whole scan of the page costs about one pass over it.
class TagScanner {
 public:
  enum class Mode { kTag, kAnchor };
  // `values` is the text an anchor's value and closing tag are read from (a text of the same
  // characters as `page`, differing at most in letter case); harvesting passes the page itself.
  TagScanner(const LoweredPage& page, const LoweredPage& values, std::string_view tagName,
             std::string_view attributeName, Mode mode);
  TagScanner(const LoweredPage& page, std::string_view tagName, std::string_view attributeName,
             Mode mode)
      : TagScanner(page, page, tagName, attributeName, mode) {}

  // One call on the text from `from` on.
  TagScanResult Next(int from);

 private:
  // The first position at or after `from` where a word or byte occurs in one text, remembered:
  // the answer stays right for every later question up to the position found, so increasing
  // questions cost one pass over the text in total.
  struct Memo {
    const LoweredPage* m_source = nullptr;
    int m_from = -1;
    int m_found = -1;
    bool Knows(const LoweredPage& source, int from) const;
  };
  static int NextWord(Memo& memo, const LoweredPage& source, std::string_view word, int from);
  template <typename Predicate>
  static int NextByte(Memo& memo, const LoweredPage& source, int from, Predicate predicate);
  bool FindTagFrom(int from, int& tagStart, int& tagEnd);
  // Offsets from a tag's "<" of the value's first byte and of the byte just behind it.
  struct ValueMarks {
    int start = 0;
    int end = 0;
  };
  ValueMarks FindValueMarks(const LoweredPage& source, int tagStart, int tagEnd);
  int LengthBeforeFragment(const LoweredPage& source, int valueStart, int valueLength);
  void ReadValue(const LoweredPage& source, int tagStart, int tagEnd, TagScanResult& result);

  const LoweredPage& m_page;
  const LoweredPage& m_values;
  std::string m_first;                // the tag name, lower-cased
  std::vector<std::string> m_fields;  // the further fields of the name list, lower-cased
  std::vector<Memo> m_fieldMemos;
  std::string m_attributeName;  // as passed
  std::string m_closingTag;     // "</" + tag name + ">"
  Mode m_mode;
  Memo m_closeMemo, m_styleMemo, m_closingMemo, m_attributeMemo, m_equalsMemo, m_startMemo,
      m_endMemo, m_doubleQuoteMemo, m_singleQuoteMemo, m_fragmentMemo;
};

}  // namespace download
