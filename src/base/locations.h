// What a run's source names (a web address or a folder), and folders made absolute.
#pragma once

#include <string>
#include <string_view>

namespace base {

// A source whose first four bytes, upper-cased, are "HTTP" is a web address (an address
// template for a run); anything else (" http", "htt") is a local path.
bool IsWebAddress(std::string_view source);

// A relative folder path (or file path) made absolute against the current directory; an
// absolute one as is.
// Without a nameable current folder the folder stays relative rather than becoming another.
std::string AbsoluteFolder(const std::string& folder);

}  // namespace base
