// Address rules of the crawl: resolving a link against its page, the page tests, and the
// conversions of an address to a local path form and of a query name to a file name.
#include "download/address_rules.h"

#include <array>

#include "base/text.h"
#include "base/tools.h"
#include "net/address_resolution.h"

namespace download {

namespace {

// A link as a browser takes it from an attribute: without the spaces and control bytes around it,
// without tabs and line breaks inside it, and with "\\" read as "/" before the query. The bytes
// tested here are below 0x40 and can never be the second byte of a double-byte character, except
// "\\", which is replaced only where a character starts.
std::string CleanLink(std::string_view link) {
  const auto outer = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
  while (!link.empty() && outer(link.front())) link.remove_prefix(1);
  while (!link.empty() && outer(link.back())) link.remove_suffix(1);
  std::string cleaned;
  for (const char c : link) {
    if (c != '\t' && c != '\n' && c != '\r') cleaned += c;
  }
  const std::size_t queryAt = cleaned.find_first_of("?#");
  const std::size_t pathEnd = queryAt == std::string::npos ? cleaned.size() : queryAt;
  return base::ReplaceAll(cleaned.substr(0, pathEnd), "\\", "/") + cleaned.substr(pathEnd);
}

}  // namespace

std::string ResolveLink(std::string_view baseAddress, std::string_view link) {
  // The base address is read the same way: a page address typed by the user or seeded from a
  // template may carry spaces or "\\" where a browser's address never does.
  std::string address =
      net::NormalizeAddress(net::ResolveReference(CleanLink(baseAddress), CleanLink(link)));
  const std::size_t fragment = address.find('#');
  if (fragment != std::string::npos) address.erase(fragment);
  return address;
}

bool IsPageAddress(std::string_view address) {
  const std::string lower = base::ToLower(address);
  for (std::string_view word : {".html", ".htm", ".css", ".shtml", ".cgi"}) {
    if (base::Contains(lower, word)) return true;
  }
  return base::EndsWithByte(lower, '/');
}

bool HasPageWord(std::string_view address) {
  const std::string upper = base::ToUpper(address);
  for (std::string_view word : {"HTML", "HTM", "CGI"}) {
    if (base::Contains(upper, word)) return true;
  }
  return false;
}

std::string AddressToPathForm(std::string_view address) {
  // The scheme's "//" becomes one separator; every other "/" already is the local separator.
  // Lowered last: deleting a ":" behind a lone lead byte joins that byte with the next one, and
  // a letter that was the second byte of a character before may stand alone after it.
  const std::string path = base::ReplaceAll(base::ReplaceAll(address, "//", "/"), ":", "");
  return base::ToLower(path);
}

std::string StripUnsafeAfter(char marker, std::string_view text) {
  static constexpr std::array<char, 9> kUnsafe = {'\\', '/', ':', '*', '?', '"', '<', '>', '/'};
  std::string result(text);
  const int markerAt = base::FindChar(result, marker);
  for (const char unsafe : kUnsafe) {
    // The search goes on one position behind a removal, so a character that directly follows
    // a removed one of the same kind is passed over in this pass. Every search starts at a
    // character, so the trail byte 0x5C of a double-byte character is never taken for "\\".
    for (int i = base::FindChar(result, unsafe, base::CharStartAtOrAfter(result, 1));
         i != base::kNotFound;
         i = base::FindChar(result, unsafe, base::CharStartAtOrAfter(result, i + 1))) {
      if (i > markerAt && unsafe != marker) result.erase(static_cast<std::size_t>(i), 1);
    }
  }
  return result;
}

std::string QueryToFileName(std::string_view name) {
  const int query = base::FindChar(name, '?');
  if (query == base::kNotFound) return std::string(name);
  std::string result = StripUnsafeAfter('?', name);
  const int dot = base::ReverseFindChar(result, '.');
  if (dot == base::kNotFound || dot > query) {
    return base::ReplaceAll(result, "?", "") + ".jpg";
  }
  const std::string extension = "." + result.substr(dot + 1, query - dot - 1);
  result = base::ReplaceAll(result, extension, "");
  return base::ReplaceAll(result, "?", "") + extension;
}

}  // namespace download
