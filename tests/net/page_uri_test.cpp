// The engine address of a page: web addresses as the crawl asks for them, local paths as file URIs.
#include "net/page_uri.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_folder.h"

namespace {

using testing_support::Sjis;

TEST(PageUri, LocationsBecomeEncodedUris) {
  struct Case {
    std::string location;
    std::string uri;
  } cases[] = {
      {"/tmp/a.html", "file:///tmp/a.html"},
      {"/tmp/a b#1?.htm", "file:///tmp/a%20b%231%3F.htm"},
      {Sjis("/tmp/資料/ページ.html"),
       "file:///tmp/%E8%B3%87%E6%96%99/%E3%83%9A%E3%83%BC%E3%82%B8.html"},
      {"/tmp/x/../y/./z.html", "file:///tmp/y/z.html"},
      // Addresses are asked for as the crawl's transfer asks for them.
      {"http://127.0.0.1:8080/a b.html", "http://127.0.0.1:8080/a%20b.html"},
      {"HTTPS://Example.test/%41#top", "https://Example.test:443/%41"},
      {"http://127.0.0.1/" + Sjis("ページ.html") + "?q=" + Sjis("表"),
       "http://127.0.0.1:80/%83y%81[%83W.html?q=%95%5C"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(net::LocationToUri(c.location), c.uri) << c.location;
  }
  // A relative path is taken from the current folder.
  const std::string relative = net::LocationToUri("page.html");
  EXPECT_EQ(relative.rfind("file:///", 0), 0u);
  EXPECT_EQ(relative.substr(relative.size() - 10), "/page.html");
  // A byte sequence with no character behind it cannot name a file.
  EXPECT_EQ(net::LocationToUri("/tmp/\x81\x20.html"), "");
}

}  // namespace
