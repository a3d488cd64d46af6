// Reference resolution against the URI standard's own examples (RFC 3986, section 5.4), and the
// normal form of an address.
#include "net/address_resolution.h"

#include <gtest/gtest.h>

namespace {

TEST(ResolveReference, GivesTheStandardsNormalAndAbnormalExamples) {
  const std::string base = "http://a/b/c/d;p?q";
  const std::pair<std::string, std::string> cases[] = {
      // 5.4.1 Normal examples
      {"g:h", "g:h"},
      {"g", "http://a/b/c/g"},
      {"./g", "http://a/b/c/g"},
      {"g/", "http://a/b/c/g/"},
      {"/g", "http://a/g"},
      {"//g", "http://g"},
      {"?y", "http://a/b/c/d;p?y"},
      {"g?y", "http://a/b/c/g?y"},
      {"#s", "http://a/b/c/d;p?q#s"},
      {"g#s", "http://a/b/c/g#s"},
      {"g?y#s", "http://a/b/c/g?y#s"},
      {";x", "http://a/b/c/;x"},
      {"g;x", "http://a/b/c/g;x"},
      {"g;x?y#s", "http://a/b/c/g;x?y#s"},
      {"", "http://a/b/c/d;p?q"},
      {".", "http://a/b/c/"},
      {"./", "http://a/b/c/"},
      {"..", "http://a/b/"},
      {"../", "http://a/b/"},
      {"../g", "http://a/b/g"},
      {"../..", "http://a/"},
      {"../../", "http://a/"},
      {"../../g", "http://a/g"},
      // 5.4.2 Abnormal examples
      {"../../../g", "http://a/g"},
      {"../../../../g", "http://a/g"},
      {"/./g", "http://a/g"},
      {"/../g", "http://a/g"},
      {"g.", "http://a/b/c/g."},
      {".g", "http://a/b/c/.g"},
      {"g..", "http://a/b/c/g.."},
      {"..g", "http://a/b/c/..g"},
      {"./../g", "http://a/b/g"},
      {"./g/.", "http://a/b/c/g/"},
      {"g/./h", "http://a/b/c/g/h"},
      {"g/../h", "http://a/b/c/h"},
      {"g;x=1/./y", "http://a/b/c/g;x=1/y"},
      {"g;x=1/../y", "http://a/b/c/y"},
      {"g?y/./x", "http://a/b/c/g?y/./x"},
      {"g?y/../x", "http://a/b/c/g?y/../x"},
      {"g#s/./x", "http://a/b/c/g#s/./x"},
      {"g#s/../x", "http://a/b/c/g#s/../x"},
      // The standard allows both readings; browsers take this one.
      {"http:g", "http://a/b/c/g"},
  };
  for (const auto& [reference, address] : cases) {
    EXPECT_EQ(net::ResolveReference(base, reference), address) << reference;
  }
}

TEST(NormalizeAddress, LowersSchemeAndServerAndDropsTheDefaultPort) {
  const std::pair<std::string, std::string> cases[] = {
      {"HTTP://Server:80", "http://server/"},
      {"https://Server:443/A?B#C", "https://server/A?B#C"},
      {"http://Server:8080/A", "http://server:8080/A"},
      {"https://server:80/", "https://server:80/"},
      {"http://User@Server:/x", "http://User@server/x"},
      {"http://[::1]:80/x", "http://[::1]/x"},
      {"http://A:B:80/x", "http://A:B:80/x"},    // no server name: left as it stands
      {"http://[::1:80/x", "http://[::1:80/x"},  // nor is a literal without its "]"
      {"mailto:Someone", "mailto:Someone"},
      {"relative/Path", "relative/Path"},
  };
  for (const auto& [address, normal] : cases) {
    EXPECT_EQ(net::NormalizeAddress(address), normal) << address;
  }
}

}  // namespace
