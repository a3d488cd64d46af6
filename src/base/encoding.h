// Conversions between code page 932 (the system's texts) and UTF-8 (file names, the toolkit).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace base {

// Exact conversions: nullopt when the input holds a sequence that has no form in the target.
std::optional<std::string> Cp932ToUtf8(std::string_view cp932);
std::optional<std::string> Utf8ToCp932(std::string_view utf8);

// Lenient forms for display only: bytes without a form become '?'.
std::string Cp932ToUtf8Lossy(std::string_view cp932);
std::string Utf8ToCp932Lossy(std::string_view utf8);

bool IsValidUtf8(std::string_view bytes);

// Names and typed texts that have no code-page-932 form (café, 한국어, bytes that are not even
// UTF-8) travel through the system losslessly as byte escapes: each raw byte 0x80-0xFF becomes
// one double-byte character of the code page's user-defined area, lead 0xF0 or 0xF1 and trail
// 0x80-0xBF (byte 0x80 + 64 * (lead - 0xF0) + (trail - 0x80)). To the text rules an escape is an
// ordinary double-byte character; its trail byte is never '/' or '\'.
bool IsByteEscape(unsigned char lead, unsigned char trail);

// UTF-8 bytes (a native file name, a text of the toolkit) as a code-page-932 text: every
// character with an exact two-way form takes it, every other byte becomes an escape. Never fails,
// and Cp932ToBytes gives the same bytes back.
std::string BytesToCp932(std::string_view bytes);
// The bytes a code-page-932 text stands for: escapes become their raw bytes, the rest is
// converted exactly; nullopt when the text holds a sequence without a form.
std::optional<std::string> Cp932ToBytes(std::string_view cp932);

// A code-page-932 text for people to read, in UTF-8: escapes decoded back to the bytes they
// stand for and shown as UTF-8, with U+FFFD for each byte that is not UTF-8 and for each
// code-page-932 sequence without a form. Never fails.
std::string ToDisplayUtf8(std::string_view cp932);

// Every byte of a native path but letters, digits and "/-._~" as %XX (upper-case hex): the path
// of a file address or of a link in a page.
std::string PercentEncodePath(const std::string& native);

// `bytes` in base64 (RFC 4648, with padding), as a data address holds them.
std::string Base64(std::string_view bytes);

}  // namespace base
