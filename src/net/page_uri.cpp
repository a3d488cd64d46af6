// The address the browser engine is given for a page.
#include "net/page_uri.h"

#include <filesystem>
#include <optional>

#include "base/file_system.h"
#include "base/locations.h"
#include "net/address_split.h"

namespace net {

std::string PercentEncodePath(const std::string& native) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const unsigned char c : native) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '/' || c == '-' || c == '.' || c == '_' || c == '~';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

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
  return "file://" + PercentEncodePath(absolute.lexically_normal().string());
}

}  // namespace net
