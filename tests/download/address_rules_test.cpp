// Address rules: link resolution, the page tests and the conversions to local names.
#include "download/address_rules.h"

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace {

using testing_support::Sjis;

// The addresses a browser requests for the links of a page; the cases the crawl used to resolve
// against the page's folder now name what the site links to.
TEST(ResolveLink, GivesTheAddressABrowserRequests) {
  const std::string page = "http://server/a/b/page.html";
  struct Case {
    std::string page, link, address;
  } cases[] = {
      {page, "x.html", "http://server/a/b/x.html"},
      {page, "./x.html", "http://server/a/b/x.html"},
      {page, "/img/x.gif", "http://server/img/x.gif"},  // the server's root
      {page, "\\img\\x.gif", "http://server/img/x.gif"},
      {page, "../../x.html", "http://server/x.html"},  // every level climbed
      {page, "../../../x.html", "http://server/x.html"},
      {page, "./", "http://server/a/b/"},
      {page, "?p=2", "http://server/a/b/page.html?p=2"},
      {page, "next.html#top", "http://server/a/b/next.html"},  // the fragment dropped
      {page, "//Other:80/Y.html", "http://other/Y.html"},      // the page's scheme
      {page, "HTTP://Other/Y.html", "http://other/Y.html"},
      {page, "https://Other:443", "https://other/"},
      {page, "http_docs/a.html", "http://server/a/b/http_docs/a.html"},
      {page, "mailto:someone", "mailto:someone"},
      {page, " \tx\n.html \r\n", "http://server/a/b/x.html"},
      {page, "x.cgi?d=a\\b", "http://server/a/b/x.cgi?d=a\\b"},  // a query keeps its "\\"
      {"http://server", "x.html", "http://server/x.html"},
      {"HTTP://Server:80/a/", "c.html", "http://server/a/c.html"},
      // A page address with dot segments is read without them, also for links with no path.
      {"http://server=../../etc", "", "http://server=../etc"},
      {"http://server/a/../b/./p.html", "?q", "http://server/b/p.html?q"},
      {"http://server/" + Sjis("表") + "/p.html", "../x.html", "http://server/x.html"},
      {"http://server/" + Sjis("表") + "/p.html", Sjis("ソ.html"),
       "http://server/" + Sjis("表") + "/" + Sjis("ソ.html")},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(download::ResolveLink(c.page, c.link), c.address) << c.page << " + " << c.link;
  }
}

TEST(PageTests, TellPagesByExtensionSlashOrWord) {
  struct Case {
    std::string address;
    bool isPage, hasWord;
  } cases[] = {
      {"http://server/a/x.HTML", true, true},
      {"http://server/a/x.shtml", true, true},
      {"http://server/a/style.CSS", true, false},
      {"http://server/a/run.cgi?x=1", true, true},
      {"http://server/a/", true, false},
      {"http://server/a/pic.gif", false, false},
      {"http://server/a/pic.gif?size=2", false, false},
      {"http://server/cgi-bin/pic.gif", false, true},
      {"http://server/htmlfiles/x.gif", false, true},
      {"", false, false},
      {"http://server/" + Sjis("ア") + ".htm", true, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(download::IsPageAddress(c.address), c.isPage) << c.address;
    EXPECT_EQ(download::HasPageWord(c.address), c.hasWord) << c.address;
  }
}

TEST(AddressToPathForm, GivesALowerCaseRelativePath) {
  struct Case {
    std::string address, path;
  } cases[] = {
      {"HTTP://Server:8080/A/b.HTML?x=1", "http/server8080/a/b.html?x=1"},
      {"http://server/a/b/", "http/server/a/b/"},
      {"http://Server/" + Sjis("ア") + "/X.html", "http/server/" + Sjis("ア") + "/x.html"},
      {"http://server/" + Sjis("表") + "/", "http/server/" + Sjis("表") + "/"},
      // A ":" deleted behind a lone lead byte leaves the letter behind the next one alone.
      {"http://s/\x83:\x83U/", "http/s/\x83\x83u/"},
      {"HTTP://S\x81:\x81" + std::string("AB/"), "http/s\x81\x81" + std::string("ab/")},
  };
  for (const auto& c : cases) EXPECT_EQ(download::AddressToPathForm(c.address), c.path);
}

TEST(StripUnsafeAfter, RemovesUnsafeCharactersBehindTheMarker) {
  struct Case {
    std::string text, result;
  } cases[] = {
      {"a?b::c", "a?b:c"},    // the second ":" directly follows the removed one
      {"a/b?c/d", "a/b?cd"},  // nothing at or before the marker is touched
      {"a?b//c", "a?bc"},     // "/" gets a second pass
      {"a?b?c*\"<>|", "a?b?c|"},
      {"a?\\x", "a?x"},
      {"abc", "abc"},
      {"a?" + Sjis("表") + "\\", "a?" + Sjis("表")},  // the trail byte 0x5C is no backslash
      // Nor when the search goes on right behind a removed "\\", or starts at position 1.
      {"a?\\" + Sjis("表") + "z", "a?" + Sjis("表") + "z"},
      {Sjis("表") + "?\\", Sjis("表") + "?"},
  };
  for (const auto& c : cases) EXPECT_EQ(download::StripUnsafeAfter('?', c.text), c.result);
  EXPECT_EQ(download::StripUnsafeAfter('?', ":a:b"), ":ab") << "without a marker, from 1 on";
}

TEST(QueryToFileName, KeepsTheQueryAndEndsInTheExtension) {
  struct Case {
    std::string name, file;
  } cases[] = {
      {"count.cgi?id=3", "countid=3.cgi"},
      {"count?id=3", "countid=3.jpg"},
      {"pic.cgi?id=7", "picid=7.cgi"},
      {"a.cgi.cgi?x=1", "ax=1.cgi"},
      {"page.?x=1", "pagex=1."},
      {"img.cgi?f=a.png", "img.cgif=a.png.jpg"},
      {"list.cgi?d=a/b:c", "listd=abc.cgi"},
      {"readme", "readme"},
      {Sjis("表.cgi?p=1"), Sjis("表p=1.cgi")},
  };
  for (const auto& c : cases) EXPECT_EQ(download::QueryToFileName(c.name), c.file) << c.name;
}

}  // namespace
