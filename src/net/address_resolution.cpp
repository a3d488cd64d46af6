// Web addresses as browsers read them: a reference resolved against a base address, and the
// normal form in which one resource has one address.
#include "net/address_resolution.h"

#include "base/text.h"

namespace net {

namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool IsSchemeName(std::string_view text) {
  if (text.empty() || !IsAsciiLetter(text.front())) return false;
  for (const char c : text) {
    const bool digit = c >= '0' && c <= '9';
    if (!IsAsciiLetter(c) && !digit && c != '+' && c != '-' && c != '.') return false;
  }
  return true;
}

// Every byte searched for here is below 0x40, so none of them can be the second byte of a
// code-page-932 character: plain byte searches split the text at the right places.
std::size_t FirstOf(std::string_view text, std::string_view bytes) {
  const std::size_t at = text.find_first_of(bytes);
  return at == std::string_view::npos ? text.size() : at;
}

// The path of a relative reference joined to the base's: the base path up to its last "/",
// or "/" when the base has a server and no path.
std::string MergePaths(const AddressComponents& base, std::string_view path) {
  if (base.hasAuthority && base.path.empty()) return "/" + std::string(path);
  const std::size_t slash = base.path.rfind('/');
  if (slash == std::string::npos) return std::string(path);
  return base.path.substr(0, slash + 1) + std::string(path);
}

// The server name of an authority in lower case and without the scheme's default port.
std::string NormalizeAuthority(std::string_view scheme, std::string_view authority) {
  const std::size_t at = authority.rfind('@');
  const std::size_t hostStart = at == std::string_view::npos ? 0 : at + 1;
  std::string_view host = authority.substr(hostStart);
  // A port follows the last ":" that is not inside an IPv6 literal's brackets.
  const std::size_t colon = host.rfind(':');
  const std::size_t bracket = host.rfind(']');
  std::string_view port;
  if (colon != std::string_view::npos && (bracket == std::string_view::npos || colon > bracket)) {
    port = host.substr(colon + 1);
    host = host.substr(0, colon);
  }
  // A server name with a ":" of its own is no name, nor is an IPv6 literal without its "]": it
  // is left as it stands.
  const bool literal = host.starts_with('[') && host.ends_with(']');
  if (host.find(':') != std::string_view::npos && !literal) return std::string(authority);
  const bool defaultPort =
      port.empty() || (scheme == "http" && port == "80") || (scheme == "https" && port == "443");
  std::string result(authority.substr(0, hostStart));
  result += base::ToLower(host);
  if (!defaultPort) result += ":" + std::string(port);
  return result;
}

}  // namespace

AddressComponents SplitComponents(std::string_view text) {
  AddressComponents parts;
  const std::size_t colon = FirstOf(text, ":/?#");
  if (colon < text.size() && text[colon] == ':' && IsSchemeName(text.substr(0, colon))) {
    parts.hasScheme = true;
    parts.scheme = std::string(text.substr(0, colon));
    text.remove_prefix(colon + 1);
  }
  if (text.starts_with("//")) {
    text.remove_prefix(2);
    const std::size_t end = FirstOf(text, "/?#");
    parts.hasAuthority = true;
    parts.authority = std::string(text.substr(0, end));
    text.remove_prefix(end);
  }
  const std::size_t pathEnd = FirstOf(text, "?#");
  parts.path = std::string(text.substr(0, pathEnd));
  text.remove_prefix(pathEnd);
  if (text.starts_with('?')) {
    const std::size_t end = FirstOf(text, "#");
    parts.hasQuery = true;
    parts.query = std::string(text.substr(1, end - 1));
    text.remove_prefix(end);
  }
  if (text.starts_with('#')) {
    parts.hasFragment = true;
    parts.fragment = std::string(text.substr(1));
  }
  return parts;
}

std::string JoinComponents(const AddressComponents& parts) {
  std::string text;
  if (parts.hasScheme) text += parts.scheme + ":";
  if (parts.hasAuthority) text += "//" + parts.authority;
  text += parts.path;
  if (parts.hasQuery) text += "?" + parts.query;
  if (parts.hasFragment) text += "#" + parts.fragment;
  return text;
}

std::string RemoveDotSegments(std::string_view path) {
  std::string output;
  const auto dropLastSegment = [&output] {
    const std::size_t slash = output.rfind('/');
    output.erase(slash == std::string::npos ? 0 : slash);
  };
  while (!path.empty()) {
    if (path.starts_with("../")) {
      path.remove_prefix(3);
    } else if (path.starts_with("./")) {
      path.remove_prefix(2);
    } else if (path.starts_with("/./")) {
      path.remove_prefix(2);
    } else if (path == "/.") {
      path = "/";
    } else if (path.starts_with("/../")) {
      path.remove_prefix(3);
      dropLastSegment();
    } else if (path == "/..") {
      path = "/";
      dropLastSegment();
    } else if (path == "." || path == "..") {
      path = {};
    } else {
      const std::size_t end = path.find('/', 1);
      const std::size_t length = end == std::string_view::npos ? path.size() : end;
      output += path.substr(0, length);
      path.remove_prefix(length);
    }
  }
  return output;
}

std::string ResolveReference(std::string_view baseAddress, std::string_view reference) {
  AddressComponents base = SplitComponents(baseAddress);
  // A base address is read as a browser reads a page's address: without dot segments, which the
  // standard's algorithm takes as already gone (an empty or query-only reference keeps its path).
  base.path = RemoveDotSegments(base.path);
  AddressComponents ref = SplitComponents(reference);
  if (ref.hasScheme && !ref.hasAuthority && base::EqualsIgnoringCase(ref.scheme, base.scheme)) {
    ref.hasScheme = false;  // "http:g" on an http page: relative, as browsers read it
  }
  AddressComponents target;
  target.hasFragment = ref.hasFragment;
  target.fragment = ref.fragment;
  if (ref.hasScheme || ref.hasAuthority) {
    target = ref;
    target.hasScheme = true;
    target.scheme = ref.hasScheme ? ref.scheme : base.scheme;
    target.path = RemoveDotSegments(ref.path);
    return JoinComponents(target);
  }
  target.hasScheme = base.hasScheme;
  target.scheme = base.scheme;
  target.hasAuthority = base.hasAuthority;
  target.authority = base.authority;
  if (ref.path.empty()) {
    target.path = base.path;
    target.hasQuery = ref.hasQuery || base.hasQuery;
    target.query = ref.hasQuery ? ref.query : base.query;
  } else {
    const std::string merged = ref.path.starts_with('/') ? ref.path : MergePaths(base, ref.path);
    target.path = RemoveDotSegments(merged);
    target.hasQuery = ref.hasQuery;
    target.query = ref.query;
  }
  return JoinComponents(target);
}

std::string NormalizeAddress(std::string_view address) {
  AddressComponents parts = SplitComponents(address);
  if (!parts.hasScheme) return std::string(address);
  parts.scheme = base::ToLower(parts.scheme);
  if (parts.hasAuthority) {
    parts.authority = NormalizeAuthority(parts.scheme, parts.authority);
    if (parts.path.empty()) parts.path = "/";
  }
  return JoinComponents(parts);
}

}  // namespace net
