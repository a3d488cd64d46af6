// Code-page-932 text rules: case changes, searches and number reading on byte strings.
#include "base/text.h"

#include <climits>

namespace base {

bool IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsTrailByte(unsigned char byte) {
  return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

int CharLengthAt(std::string_view text, int pos) {
  const auto size = static_cast<int>(text.size());
  if (pos + 1 < size && IsLeadByte(static_cast<unsigned char>(text[pos])) &&
      IsTrailByte(static_cast<unsigned char>(text[pos + 1]))) {
    return 2;
  }
  return 1;
}

int CharStartAtOrAfter(std::string_view text, int pos) {
  const auto size = static_cast<int>(text.size());
  int at = 0;
  while (at < pos && at < size) at += CharLengthAt(text, at);
  return at;
}

namespace {

template <typename Change>
std::string ChangeCase(std::string_view text, Change change) {
  std::string result(text);
  const auto size = static_cast<int>(result.size());
  for (int i = 0; i < size;) {
    const int length = CharLengthAt(result, i);
    if (length == 1) result[i] = change(result[i]);
    i += length;
  }
  return result;
}

}  // namespace

std::string ToUpper(std::string_view text) {
  return ChangeCase(text, [](char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; });
}

std::string ToLower(std::string_view text) {
  return ChangeCase(text, [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; });
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && ToLower(a) == ToLower(b);
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

int Find(std::string_view text, std::string_view what, int start) {
  const auto size = static_cast<int>(text.size());
  const auto needle = static_cast<int>(what.size());
  if (start < 0 || start > size) return kNotFound;
  if (needle == 0) return start;
  // Byte matches come from the library search in increasing order; the character walk from
  // `start` only advances to each of them, so a match is taken only where a character begins.
  int character = start;
  for (std::size_t at = text.find(what, start); at != std::string_view::npos;
       at = text.find(what, at + 1)) {
    const auto match = static_cast<int>(at);
    while (character < match) character += CharLengthAt(text, character);
    if (character == match) return match;
  }
  return kNotFound;
}

int FindChar(std::string_view text, char ch, int start) {
  return Find(text, std::string_view(&ch, 1), start);
}

int ReverseFindChar(std::string_view text, char ch) {
  int found = kNotFound;
  const auto size = static_cast<int>(text.size());
  for (int i = 0; i < size;) {
    const int length = CharLengthAt(text, i);
    if (length == 1 && text[i] == ch) found = i;
    i += length;
  }
  return found;
}

bool Contains(std::string_view text, std::string_view what) {
  return Find(text, what) != kNotFound;
}

bool EndsWithByte(std::string_view text, char ch) { return !text.empty() && text.back() == ch; }

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string result;
  result.reserve(text.size());
  int copied = 0;
  for (int at = Find(text, from); at != kNotFound; at = Find(text, from, copied)) {
    result.append(text.substr(copied, at - copied));
    result.append(to);
    copied = at + static_cast<int>(from.size());
  }
  result.append(text.substr(copied));
  return result;
}

int ToInt(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) break;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace base
