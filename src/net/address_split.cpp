// The split of a web address into server, object and port.
#include "net/address_split.h"

#include <cstdio>

#include "base/text.h"

namespace net {

namespace {

bool IsDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char ch : text) {
    if (ch < '0' || ch > '9') return false;
  }
  return true;
}

// Bytes a request line cannot carry as they are: controls, blanks, the marks that are no part
// of an address, and every byte of 0x7F and above (both bytes of a code-page-932 character, so
// that a trail byte 0x5C is escaped with its lead byte).
bool NeedsEscape(unsigned char byte) {
  if (byte <= 0x20 || byte >= 0x7F) return true;
  return std::string_view("\\\"<>^`{|}").find(static_cast<char>(byte)) != std::string_view::npos;
}

}  // namespace

std::optional<AddressParts> SplitAddress(std::string_view address) {
  AddressParts parts;
  const auto schemeEnd = address.find("://");
  if (schemeEnd == std::string_view::npos) return std::nullopt;
  const std::string scheme = base::ToLower(address.substr(0, schemeEnd));
  if (scheme == "https") {
    parts.secure = true;
    parts.port = 443;
  } else if (scheme != "http") {
    return std::nullopt;
  }

  std::string_view rest = address.substr(schemeEnd + 3);
  const auto authorityEnd = rest.find_first_of("/?#");
  std::string_view authority = rest.substr(0, authorityEnd);
  std::string_view object =
      authorityEnd == std::string_view::npos ? std::string_view() : rest.substr(authorityEnd);

  // A user name (and password) is never sent; only the host part stays.
  if (const auto at = authority.rfind('@'); at != std::string_view::npos) {
    authority.remove_prefix(at + 1);
  }
  std::string_view host = authority;
  std::string_view portText;
  if (!authority.empty() && authority.front() == '[') {
    const auto close = authority.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    host = authority.substr(0, close + 1);
    std::string_view after = authority.substr(close + 1);
    if (!after.empty()) {
      if (after.front() != ':') return std::nullopt;
      portText = after.substr(1);
    }
  } else if (const auto colon = authority.find(':'); colon != std::string_view::npos) {
    host = authority.substr(0, colon);
    portText = authority.substr(colon + 1);
  }
  if (host.empty() || host == "[]") return std::nullopt;
  if (!portText.empty()) {
    if (!IsDigits(portText) || portText.size() > 5) return std::nullopt;
    const int port = std::stoi(std::string(portText));
    if (port < 1 || port > 65535) return std::nullopt;
    parts.port = port;
  }
  parts.server = std::string(host);

  // The fragment belongs to the page, not to the request.
  if (const auto hash = object.find('#'); hash != std::string_view::npos) {
    object = object.substr(0, hash);
  }
  if (object.empty() || object.front() != '/') {
    parts.object = "/" + std::string(object);
  } else {
    parts.object = std::string(object);
  }
  return parts;
}

std::string RequestAddress(const AddressParts& parts) {
  std::string address = parts.secure ? "https://" : "http://";
  address += parts.server;
  address += ':';
  address += std::to_string(parts.port);
  for (unsigned char byte : parts.object) {
    if (NeedsEscape(byte)) {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", byte);
      address += escaped;
    } else {
      address += static_cast<char>(byte);
    }
  }
  return address;
}

}  // namespace net
