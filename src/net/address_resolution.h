// Web addresses as browsers read them: a reference resolved against a base address, and the
// normal form in which one resource has one address.
#pragma once

#include <string>
#include <string_view>

namespace net {

// The parts of an address or reference: scheme ":" "//" authority path "?" query "#" fragment.
// A part that the text does not have is marked absent, which differs from present and empty
// ("http://a/b?" has an empty query, "http://a/b" none).
struct AddressComponents {
  std::string scheme, authority, path, query, fragment;
  bool hasScheme = false, hasAuthority = false, hasQuery = false, hasFragment = false;
};

// Splits a text at its first ":" (when what stands before it is a scheme name: a letter, then
// letters, digits, "+", "-" or "."), "//", "?" and "#".
AddressComponents SplitComponents(std::string_view text);

// The parts joined again; SplitComponents and JoinComponents give back the text they were given.
std::string JoinComponents(const AddressComponents& parts);

// The path without its "." and ".." segments; a ".." above the root is dropped.
std::string RemoveDotSegments(std::string_view path);

// `reference` resolved against the absolute address `base` by the algorithm of the URI standard
// (RFC 3986, section 5.2), with the one allowance browsers make: a reference that names the
// base's own scheme and no server ("http:g") is read as relative. The base's own dot segments
// are removed first. Fragments are kept.
std::string ResolveReference(std::string_view base, std::string_view reference);

// The address with its scheme and server name in lower case, the scheme's default port (80 for
// http, 443 for https) and an empty port taken out, and "/" for an empty path behind a server:
// "HTTP://Server:80" gives "http://server/". Path, query and fragment keep their letters.
std::string NormalizeAddress(std::string_view address);

}  // namespace net
