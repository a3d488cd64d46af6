// The link scanner: where a tag is found, how its value is cut out, and what ends a scan.
#include "download/link_scanner.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "support/temp_folder.h"

namespace {

using testing_support::Sjis;

TEST(GetTagAttribute, FindsTheValueOfTheNextMatchingTag) {
  struct Case {
    std::string html, tag, attribute, value;
    int pos;  // checked unless the value is "END"
  } cases[] = {
      {"plain text, no tag", "img", "src", "END", 0},
      {"img src=\"a.gif\">", "img", "src", "END", 0},  // name at position 0, no "<" before
      {"<img alt=x><img src=\"b.gif\">", "img", "src", "b.gif", 12},
      {"<img src = \"pic.gif\" alt=x>", "img", "src", "pic.gif", 1},
      {"<img\tsrc=\n'pic.gif'>", "img", "src", "pic.gif", 1},
      {"<IMG SRC=\"Pics/A.CGI\">", "img", "src", "pics/a.cgi", 1},
      {"<img src=\"#top\">", "img", "src", "", 1},
      {"<img src=\"x.html#part\">", "img", "src", "x.html", 1},
      // An unquoted last value ends at the tag's ">" (not at the whole tag's text).
      {"<img src=pic.gif>text after", "img", "src", "pic.gif", 1},
      {"<img src=\"open.gif>", "img", "src", "open.gif", 1},
      {"<img src=>", "img", "src", "", 1},
      {"<img src=a.gif\ralt=x>", "img", "src", "a.gif", 1},
      // The tag runs from the last "<" before the name to the first ">" after it.
      {"<p>x<body bgcolor=1 background=\"bg.jpg\">", "body", "background", "bg.jpg", 5},
      {"<img src=\"a.gif\"", "img", "src", "END", 0},  // no ">" at all
      {"<br>" + Sjis("画像") + "<img src=\"" + Sjis("表示.gif") + "\">", "img", "src",
       Sjis("表示.gif"), 9},
  };
  for (const auto& c : cases) {
    int pos = -1;
    EXPECT_EQ(download::GetTagAttribute(c.html, c.tag, c.attribute, pos), c.value) << c.html;
    if (c.value != "END") {
      EXPECT_EQ(pos, c.pos) << c.html;
    }
  }
}

TEST(GetAnchorAttribute, NeedsAClosingTagAndReadsTheRestOfTheText) {
  struct Case {
    std::string html, value;
    int pos;
    std::string tagText;
  } cases[] = {
      {"<a href=\"x.html\">X</a>", "x.html", 19, "<a href=\"x.html\">"},
      {"<p><a href=\"next.html#top\">N</a>", "next.html", 29, "<a href=\"next.html#top\">"},
      // Without any closing tag the scan ends, even with more anchors behind.
      {"<a href=\"x.html\">X <a href=\"y.html\">Y", "END", 0, "<a href=\"x.html\">"},
      // The first closing tag after the anchor counts, whichever anchor it belongs to.
      {"<a href=\"1.html\">1<a href=\"2.html\">2</a>", "1.html", 37, "<a href=\"1.html\">"},
      // A value in single quotes is the text between them, as one in double quotes.
      {"<a href='x.html' title=t>X</a>", "x.html", 27, "<a href='x.html' title=t>"},
      {"<a title=\"it's\" href = 'x y.html'>X</a>", "x y.html", 36,
       "<a title=\"it's\" href = 'x y.html'>"},
      // An unquoted value ends at the anchor's ">", not at the next blank of the text.
      {"<a href=x.html>Top page</a>", "x.html", 24, "<a href=x.html>"},
      // A ">" inside a double-quoted value is part of it: the value runs to its closing quote.
      {"<a href=\"a>b.html\">t</a>", "a>b.html", 21, "<a href=\"a>"},
      // A quote that is never closed: the value ends at the tag's ">".
      {"<p><a href=\"x</a>", "x</a", 14, "<a href=\"x</a>"},
      // A name without "=" in its tag has no value, even with an "=" behind the tag.
      {"<a href>a=b</a>", "", 12, "<a href>"},
      // A style sheet link is read from the tag alone, needs no closing tag, keeps tagText.
      {"<link rel=\"stylesheet\" href=\"a.css\">", "a.css", 1, "unchanged"},
      // The trail byte of a double-byte character is never the tag name "a".
      {"<p \x83\x61 href=\"x.html\"></a>", "END", 0, "unchanged"},
      {"<a href=\"" + Sjis("ページ.html") + "\">" + Sjis("次") + "</a>", Sjis("ページ.html"), 25,
       "<a href=\"" + Sjis("ページ.html") + "\">"},
  };
  for (const auto& c : cases) {
    int pos = -1;
    std::string tagText = "unchanged";
    EXPECT_EQ(download::GetAnchorAttribute(c.html, "a", "href", pos, tagText), c.value) << c.html;
    EXPECT_EQ(tagText, c.tagText) << c.html;
    if (c.value != "END" || c.tagText != "unchanged") {
      EXPECT_EQ(pos, c.pos) << c.html;
    }
  }
}

TEST(FindTag, BoundsTheTagAroundAnyOccurrenceOfTheName) {
  struct Case {
    std::string html, names, tag;
    int pos;
  } cases[] = {
      {"<p>x</p><IMG src=a>", "img,src", "<img src=a>", 8},
      {"<area href=x.html>", "a,href", "<area href=x.html>", 0},  // "a" anywhere in the tag
      {"<link rel=x href=y>", "a,href", "", 0},                   // no "a" in it
      {"<b>a</b>", "A", "<b>a</b>", 0},  // one field: any tag around it, up to the next ">"
      {"<img src=x", "img,src", "", 0},
  };
  for (const auto& c : cases) {
    int pos = -1;
    EXPECT_EQ(download::FindTag(c.html, c.names, pos, '<', '>'), c.tag) << c.html;
    if (!c.tag.empty()) {
      EXPECT_EQ(pos, c.pos) << c.html;
    }
  }
}

// Searches of a lowered page agree with searching the text cut at the start position, also when
// the start lies inside a double-byte character.
TEST(LoweredPage, FindsLikeASearchOfTheCutText) {
  const std::string texts[] = {"\x83\x61\x83\x61",
                               "a\x83\x61"
                               "b\x95\x5C\\a",
                               "\x81\x81\x81\x61<a", Sjis("表示ページ") + "a/\\"};
  for (const std::string& text : texts) {
    const download::LoweredPage page(text);
    for (const std::string what : {"a", "\\", "\x61\x83", "<a", ""}) {
      for (int start = 0; start <= static_cast<int>(text.size()) + 1; ++start) {
        EXPECT_EQ(page.Find(what, start), base::Find(text, what, start))
            << "start " << start << " what " << what;
      }
    }
  }
}

// The linear search gives the plain search's answer, also for searched texts whose prefixes
// repeat (where a restart at every byte would be quadratic) and matches at trail bytes.
TEST(LoweredPage, LinearSearchAgreesWithThePlainSearch) {
  const std::string aaa(300, 'a');
  const std::string texts[] = {aaa + "<img src=" + aaa + "b>",
                               "\x83\x61\x83\x61\x83\x61"
                               "a\x83\x61"
                               "a",
                               "abababcabababcababc",
                               Sjis("表示ページ") + "\x95\x5C\\a" + Sjis("ソソ")};
  const std::string whats[] = {aaa + "b",
                               "a" + aaa,
                               "a\x83\x61"
                               "a",
                               "\x61\x83",
                               "ababc",
                               "abcab",
                               "\\",
                               "a",
                               Sjis("ソ"),
                               "\x5C\x83",
                               ""};
  for (const std::string& text : texts) {
    const download::LoweredPage page(text);
    for (const std::string& what : whats) {
      for (int start = -1; start <= static_cast<int>(text.size()) + 1; ++start) {
        ASSERT_EQ(page.FindLinear(what, start), page.Find(what, start))
            << "start " << start << " what " << what << " in " << text;
      }
    }
  }
}

TEST(TagScanner, WalksThePageLikeRepeatedCallsOnTheCutText) {
  const std::string html =
      "<img src=\"1.gif\"><p>" + Sjis("説明") + "</p><img alt=x><img src='2.gif'><img src=3.gif>";
  const download::LoweredPage page(html);
  download::TagScanner scanner(page, "img", "src", download::TagScanner::Mode::kTag);
  std::vector<std::string> values;
  for (int from = 0;;) {
    const download::TagScanResult found = scanner.Next(from);
    if (found.m_end) break;
    values.push_back(html.substr(found.m_valueStart, found.m_valueLength));
    EXPECT_GT(found.m_next, from);
    from = found.m_next;
  }
  EXPECT_EQ(values, (std::vector<std::string>{"1.gif", "2.gif", "3.gif"}));
}

}  // namespace
