// The code-page-932 text rules on any bytes: case changes, searches, replacement, number reading,
// fields and splitting, each against a plain character-by-character reading of the same rule.
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/text.h"
#include "base/tools.h"
#include "fuzz_input.h"

namespace {

void Fail(const char* what, const std::string& text) {
  std::fprintf(stderr, "%s: [%s]\n", what, text.c_str());
  std::abort();
}

// Walks the characters from `start` and compares at each.
int PlainFind(const std::string& text, const std::string& what, int start) {
  const int size = static_cast<int>(text.size());
  if (start < 0 || start > size) return -1;
  if (what.empty()) return start;
  for (int i = start; i + static_cast<int>(what.size()) <= size; i += base::CharLengthAt(text, i)) {
    if (text.compare(i, what.size(), what) == 0) return i;
  }
  return -1;
}

void CheckCase(const std::string& text) {
  const std::string upper = base::ToUpper(text), lower = base::ToLower(text);
  if (upper.size() != text.size() || lower.size() != text.size()) Fail("case length", text);
  if (base::ToUpper(lower) != upper || base::ToLower(upper) != lower) Fail("case round", text);
  for (int i = 0; i < static_cast<int>(text.size()); i += base::CharLengthAt(text, i)) {
    const int length = base::CharLengthAt(text, i);
    // Both bytes of a double-byte character stay; a single byte changes only as an ASCII letter.
    if (length == 2 && (upper.compare(i, 2, text, i, 2) != 0 || lower.compare(i, 2, text, i, 2))) {
      Fail("a double-byte character changed case", text);
    }
    const char c = text[i];
    if (length == 1 && !((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) &&
        (upper[i] != c || lower[i] != c)) {
      Fail("a byte that is no letter changed", text);
    }
  }
}

void CheckNumber(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > 1LL << 40) break;
  }
  if (negative) value = -value;
  const long long expected = value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : value;
  if (base::ToInt(text) != expected) Fail("number", text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::FuzzInput input(data, size);
  const int start = static_cast<int>(input.Byte()) - 2;
  const std::string what = input.Part();
  const std::string to = input.Part();
  const std::string text = input.Rest();

  CheckCase(text);
  CheckNumber(text);
  if (base::Find(text, what, start) != PlainFind(text, what, start)) Fail("find", text);
  if (!what.empty()) {
    if (base::FindChar(text, what[0], start) != PlainFind(text, what.substr(0, 1), start)) {
      Fail("find char", text);
    }
  }
  // The backward search looks for a character of its own; a lead byte is none.
  if (!what.empty() && !base::IsLeadByte(static_cast<unsigned char>(what[0]))) {
    int last = -1;
    for (int at = PlainFind(text, what.substr(0, 1), 0); at >= 0;
         at = PlainFind(text, what.substr(0, 1), at + base::CharLengthAt(text, at))) {
      last = at;
    }
    if (base::ReverseFindChar(text, what[0]) != last) Fail("reverse find", text);
  }
  if (!what.empty()) {
    // Replacing and replacing back gives the text again where the replacement never occurs.
    const std::string replaced = base::ReplaceAll(text, what, to);
    if (PlainFind(text, what, 0) < 0 && replaced != text) Fail("replace of nothing", text);
    if (PlainFind(text, what, 0) >= 0 && replaced == text && what != to) {
      Fail("replace of something", text);
    }
  }
  const int starts = base::CharStartAtOrAfter(text, start < 0 ? 0 : start);
  if (starts < 0 || starts > static_cast<int>(text.size())) Fail("character start", text);

  if (!what.empty()) {
    const int count = base::CountFields(text, what);
    for (int j = 0; j <= count && j < 64; ++j) base::GetField(text, what, j);
  }
  // The split: the right part holds no separator, the left part is empty or ends in one. (A
  // separator at position 0 and one of two in a row are dropped, as the crawl expects.)
  for (char separator : {'/', '.', '?'}) {
    std::string left, right;
    base::SplitAtLast(text, left, right, separator);
    if (base::ReverseFindChar(right, separator) != -1) Fail("split right part", text);
    if (!left.empty() && !base::EndsWithByte(left, separator)) Fail("split left part", text);
    if (left.size() + right.size() > text.size() + 1) Fail("split grows", text);
  }
  return 0;
}
