// Any link on any page: the address it resolves to, its local path form and file name, and the
// output path the crawl builds from them. A path that the crawl's folder test lets through never
// names anything outside the output folder.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/text.h"
#include "base/tools.h"
#include "download/address_rules.h"
#include "download/crawl_driver.h"
#include "fuzz_input.h"
#include "net/address_resolution.h"

namespace {

void Fail(const char* what, const std::string& text) {
  std::fprintf(stderr, "%s: [%s]\n", what, text.c_str());
  std::abort();
}

// The folder test against the file system's own reading of the joined path.
void ExpectInsideWhenAllowed(const std::string& relative) {
  if (!download::StaysInsideFolder(relative)) return;
  const std::filesystem::path output("/output/folder/");
  const std::filesystem::path joined = (output / relative).lexically_normal();
  const std::string text = joined.string();
  if (!text.starts_with("/output/folder/") && text != "/output/folder") {
    Fail("a write leaves the output folder", relative);
  }
}

// What a browser would request: no fragment, no dot segment left in the path, and the same
// address again when it is resolved as a link of any page.
void ExpectResolvedForm(const std::string& pageAddress, const std::string& address) {
  if (address.find('#') != std::string::npos) Fail("an address keeps its fragment", address);
  const net::AddressComponents parts = net::SplitComponents(address);
  if (!parts.hasScheme || !parts.hasAuthority) return;
  const std::string path = parts.path + "/";
  if (path.find("/./") != std::string::npos || path.find("/../") != std::string::npos) {
    Fail("a path keeps a dot segment", address);
  }
  // Spaces and control bytes inside a link stay (the request writes them as %XX); a second
  // reading would take those that the fragment's cut left at the end for the link's own ends.
  const bool plain = std::none_of(address.begin(), address.end(),
                                  [](char c) { return static_cast<unsigned char>(c) <= 0x20; });
  if (plain && download::ResolveLink(pageAddress, address) != address) {
    Fail("resolved twice", address);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::FuzzInput input(data, size);
  const std::string pageAddress = input.Part();
  const std::string link = input.Rest();

  const std::string address = download::ResolveLink(pageAddress, link);
  ExpectResolvedForm(pageAddress, address);
  download::IsPageAddress(address);
  download::HasPageWord(address);

  // The split and the two paths of the crawl: a downloaded file below its folder's path form
  // (or directly in the output folder), and a rendered page's folder.
  std::string folder, name;
  base::SplitAtLast(address, folder, name, '/');
  if (base::FindChar(name, '/') != base::kNotFound) Fail("a name holds '/'", address);
  const bool query = base::FindChar(name, '?') != base::kNotFound;
  const std::string fileName = query ? download::QueryToFileName(name) : name;
  if (!query && fileName != name) Fail("a name without a query changed", name);
  if (query && fileName.find('?') != std::string::npos) Fail("a query file name keeps ?", name);
  const std::string pathForm = download::AddressToPathForm(folder);
  if (pathForm.find(':') != std::string::npos) Fail("a path form keeps ':'", pathForm);
  if (base::ToLower(pathForm) != pathForm) Fail("a path form keeps capitals", pathForm);

  ExpectInsideWhenAllowed(pathForm + fileName);
  ExpectInsideWhenAllowed(fileName);
  ExpectInsideWhenAllowed(pathForm);
  ExpectInsideWhenAllowed(download::AddressToPathForm(link));
  return 0;
}
