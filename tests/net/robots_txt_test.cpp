// Reading robots.txt: the group that applies, the deciding rule, wildcards and the crawl delay.
#include "net/robots_txt.h"

#include <gtest/gtest.h>

namespace {

TEST(RobotsTxt, TheCrawlersGroupDecidesWithItsLongestMatchingRule) {
  const std::string text =
      "# site rules\r\n"
      "User-agent: *\r\n"
      "Disallow: /\r\n"
      "\r\n"
      "user-agent: OtherBot\n"
      "User-Agent: Crawler/1.0  # ours\n"
      "disallow: /private\n"
      "Allow: /private/open\n"
      "Disallow: /*.cgi$\n"
      "Allow: /same\n"
      "Disallow: /same\n"
      "Disallow:\n"
      "Crawl-delay: 2.5\n"
      "\n"
      "User-agent: Crawler\n"
      "Disallow: /also-ours\n";
  const net::RobotsRules rules = net::ParseRobots(text, "crawler");
  const struct {
    const char* object;
    bool allowed;
  } cases[] = {
      {"/", true},                     // the "*" group's Disallow: / is not ours
      {"/private", false},             //
      {"/private/x.html", false},      //
      {"/private/open/x.html", true},  // the longer Allow wins
      {"/a/list.cgi", false},          // '*' and the end anchor
      {"/a/list.cgi?x=1", true},       // ... which the query passes
      {"/same", true},                 // a tie goes to Allow
      {"/also-ours/x", false},         // every group that names us counts
      {"/robots.txt", true},
  };
  for (const auto& c : cases) EXPECT_EQ(rules.Allows(c.object), c.allowed) << c.object;
  EXPECT_EQ(rules.crawlDelay, 2.5);

  // Another crawler falls back on "*"; a text without rules for anyone allows everything.
  EXPECT_FALSE(net::ParseRobots(text, "SomeoneElse").Allows("/page.html"));
  EXPECT_TRUE(net::ParseRobots("<html>not found</html>", "crawler").Allows("/page.html"));
  net::RobotsRules unknown;
  unknown.disallowAll = true;
  EXPECT_FALSE(unknown.Allows("/page.html"));
  EXPECT_TRUE(unknown.Allows("/robots.txt"));
}

TEST(RobotsTxt, PatternsAndAgentTokens) {
  const struct {
    const char* pattern;
    const char* object;
    bool matches;
  } cases[] = {
      {"/a", "/abc", true},     {"/a$", "/abc", false}, {"/a$", "/a", true},
      {"/*/b", "/x/y/b", true}, {"*", "", true},        {"/**c$", "/abc", true},
      {"/a*c$", "/acb", false}, {"", "/x", true},       {"/$", "/", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(net::RobotsPatternMatches(c.pattern, c.object), c.matches)
        << c.pattern << " " << c.object;
  }
  EXPECT_EQ(net::RobotsAgentToken("Crawler/2.0 (+http://x)"), "Crawler");
  EXPECT_EQ(net::RobotsAgentToken(""), "rendora");
  EXPECT_EQ(net::RobotsAgentToken("/odd"), "rendora");
}

}  // namespace
