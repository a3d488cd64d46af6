// The split of a web address into the parts a request needs: server, object and port.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace net {

struct AddressParts {
  bool secure = false;  // "https": TLS with certificate checks
  std::string server;   // host name as typed (no user name, no port); "[...]" for IPv6 literals
  std::string object;   // path and query as sent in the request line; "/" at least, no fragment
  int port = 80;        // the address's own port, else 80 for http and 443 for https
};

// Splits "http[s]://[user@]server[:port][/path][?query][#fragment]" (scheme in any letter
// case). nullopt when the address cannot be requested: no http or https scheme, no server, or a
// port that is not a number from 1 to 65535.
std::optional<AddressParts> SplitAddress(std::string_view address);

// The address to hand to the HTTP client for `parts`: scheme, server, port and the object with
// every byte that cannot stand in a request line (controls, blanks, marks such as the backslash,
// and bytes of 0x7F and above, where code-page-932 characters live) written as %XX.
std::string RequestAddress(const AddressParts& parts);

}  // namespace net
