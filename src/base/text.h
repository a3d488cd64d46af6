// Code-page-932 text rules: case changes, searches and number reading on byte strings.
#pragma once

#include <string>
#include <string_view>

namespace base {

// Every text of the system is a std::string of code-page-932 bytes. A double-byte character is
// a lead byte (0x81-0x9F, 0xE0-0xFC) followed by a trail byte (0x40-0x7E, 0x80-0xFC); a lead
// byte without a valid trail byte stands alone. Positions are int, -1 meaning "not found".
inline constexpr int kNotFound = -1;

bool IsLeadByte(unsigned char byte);
bool IsTrailByte(unsigned char byte);

// Length in bytes of the character that starts at `pos` (1 or 2).
int CharLengthAt(std::string_view text, int pos);

// The first position at or after `pos` where a character starts, counting characters from the
// text's start (the text's length when none does).
int CharStartAtOrAfter(std::string_view text, int pos);

// Only single-byte ASCII letters change; both bytes of a double-byte character stay as they are.
std::string ToUpper(std::string_view text);
std::string ToLower(std::string_view text);

// The one case-insensitive comparison: equal after ToLower, so only single-byte ASCII letters
// match their other case and a trail byte must match exactly.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
// Whether the first prefix.size() bytes of `text` equal `prefix` ignoring case (as above).
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);

// Searches walk the text character by character from `start` (taken as a character boundary),
// so a match never begins at a trail byte. An empty `what` is found at `start`.
int Find(std::string_view text, std::string_view what, int start = 0);
int FindChar(std::string_view text, char ch, int start = 0);
// The last occurrence of `ch` at a character boundary, counting boundaries from the text's start.
int ReverseFindChar(std::string_view text, char ch);

bool Contains(std::string_view text, std::string_view what);

// Plain byte test of the last byte (a trail byte 0x5C counts as a backslash here, as intended).
bool EndsWithByte(std::string_view text, char ch);

// Replaces every occurrence of `from` (left to right, without overlap, character-aware).
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// The decimal reading of a typed number: leading blanks and a sign allowed, conversion stops at
// the first non-digit, no number gives 0. Values beyond int saturate instead of overflowing.
int ToInt(std::string_view text);

}  // namespace base
