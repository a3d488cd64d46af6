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

}  // namespace base
