// The address the browser engine is given for a page.
#include "net/page_uri.h"

#include <filesystem>
#include <optional>

#include "base/encoding.h"
#include "base/file_system.h"
#include "base/locations.h"
#include "net/address_split.h"

namespace net {

std::string LocationToUri(const std::string& location) {
  if (base::IsWebAddress(location)) {
    // The page is asked for exactly as the crawl's own transfer asked for it: code-page-932
    // bytes, blanks and controls of the path escaped, the fragment left out.
    const std::optional<AddressParts> parts = SplitAddress(location);
    return parts ? RequestAddress(*parts) : location;
  }
  std::optional<std::filesystem::path> native = base::ToNativePath(location);
  if (!native || native->empty()) return {};
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(*native, error);
  if (error) return {};
  return "file://" + base::PercentEncodePath(absolute.lexically_normal().string());
}

}  // namespace net
