// The character set a page is shown in when its bytes declare none.
#pragma once

#include <cstddef>
#include <string_view>

namespace convert {

// UTF-8 when the page's bytes are valid UTF-8, Shift_JIS otherwise.
const char* UndeclaredCharset(std::string_view bytes);

// Whether the page's own bytes name their character set: a byte-order mark, or a meta tag with
// "charset" in the part of the page before <body (at most the first 8 KiB).
bool DeclaresCharset(std::string_view bytes);

// How much of a local page is read to choose its character set.
inline constexpr std::size_t kCharsetSniffBytes = 65536;

}  // namespace convert
