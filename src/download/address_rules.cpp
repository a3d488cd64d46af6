// Address rules of the crawl: resolving a link against its page, the page tests, and the
// conversions of an address to a local path form and of a query name to a file name.
#include "download/address_rules.h"

#include <array>

#include "base/text.h"
#include "base/tools.h"

namespace download {

namespace {

std::string FolderOf(std::string_view address) {
  std::string left, right;
  base::SplitAtLast(address, left, right, '/');
  return left;
}

// Resolves a link that starts with dots: "./x" stays in the page's folder, "../x" climbs one
// level. Every leading dot counts as one level, so "../../x" climbs only one and keeps the rest
// of the "../", which the queueing rules then refuse.
std::string ResolveDotted(const std::string& folder, std::string_view link) {
  int dots = 0;
  while (dots < static_cast<int>(link.size()) && link[dots] == '.') ++dots;
  std::string_view rest = link;
  const int slash = base::FindChar(link, '/');
  if (slash != base::kNotFound && slash + 1 < static_cast<int>(link.size())) {
    rest = link.substr(slash + 1);
  }
  const int keep = base::CountFields(folder, "/") - dots;
  std::string result;
  for (int i = 0; i < keep; ++i) {
    result += base::GetField(folder, "/", i);
    result += '/';
  }
  result += rest;
  return result;
}

}  // namespace

std::string ResolveLink(std::string_view pageAddress, std::string_view link) {
  const std::string folder = FolderOf(pageAddress);
  if (!link.empty() && (link.front() == '/' || link.front() == '\\')) {
    return folder + std::string(link.substr(1));
  }
  const std::string linkFolder = FolderOf(link);
  if (linkFolder.empty()) return folder + std::string(link);
  if (link.front() == '.') return ResolveDotted(folder, link);
  if (base::StartsWithIgnoringCase(linkFolder, "http")) return std::string(link);
  return folder + std::string(link);
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
