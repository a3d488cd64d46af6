// Address rules of the crawl: resolving a link against its page, the page tests, and the
// conversions of an address to a local path form and of a query name to a file name.
#pragma once

#include <string>
#include <string_view>

namespace download {

// The address a browser requests for `link` found in a page whose base address is
// `baseAddress` (the page's own address, or its base element's): resolved by the URI standard's
// rules (host-absolute "/x", protocol-relative "//host/x", any number of "./" and "../", query-
// and fragment-only links), in normal form (scheme and server in lower case, no default port)
// and without its fragment. The link loses the spaces around it and its tabs and line breaks;
// a "\\" before its query is a "/".
std::string ResolveLink(std::string_view baseAddress, std::string_view link);

// Whether the address holds ".html", ".htm", ".css", ".shtml" or ".cgi" (any case) or ends
// in "/".
bool IsPageAddress(std::string_view address);

// Whether the address holds "HTML", "HTM" or "CGI" in any case.
bool HasPageWord(std::string_view address);

// The address as a relative local path: lower case, "//" made one "/", ":" deleted.
// "HTTP://Server:8080/A/b.HTML?x=1" gives "http/server8080/a/b.html?x=1".
std::string AddressToPathForm(std::string_view address);

// A name with a query ("?") made into a file name: the query kept without "?" and the unsafe
// characters behind it, ending in the extension before the "?" (or ".jpg" when there is none).
// "count.cgi?id=3" gives "countid=3.cgi", "count?id=3" gives "countid=3.jpg". A name without
// "?" comes back unchanged.
std::string QueryToFileName(std::string_view name);

// `text` without the characters \ / : * ? " < > that stand behind its first `marker`; the
// marker itself and everything up to it stay. A character directly behind a removed one of the
// same kind stays ("a?b::c" gives "a?b:c"), except for "/", which gets a second pass.
std::string StripUnsafeAfter(char marker, std::string_view text);

}  // namespace download
