// Queueing rules, the crawl queue and the harvesting of one page.
#include "download/link_harvester.h"

#include <gtest/gtest.h>

#include "download/crawl_state.h"
#include "support/fake_run_controls.h"
#include "support/queue_kind_names.h"
#include "support/temp_folder.h"

namespace {

using download::QueueKind;
using settings::Field;
using testing_support::KindNames;
using testing_support::Sjis;

const std::string kPage = "http://server/a/b/page.html";

TEST(QueueLink, AppliesTheRulesInOrder) {
  struct Case {
    std::string name, link;
    bool server = false, filter = false, another = false;
    bool enable = false, disable = false;
    std::vector<std::string> enableList = {}, disableList = {};
    std::string startFolder = "http://server/a/", startServer = "server";
    bool queued;
  } cases[] = {
      {.name = "page-like", .link = "x.html", .queued = true},
      {.name = "picture", .link = "pic.gif", .queued = false},
      {.name = "picture with query", .link = "pic.gif?size=2", .queued = false},
      {.name = "page word", .link = "cgi-bin/pic.gif", .queued = true},
      {.name = "mailto", .link = "mailto:someone.html", .queued = false},
      {.name = "MAILTO", .link = "MAILTO:x/", .queued = false},
      {.name = "two levels up", .link = "../../x.html", .queued = true},
      {.name = "bare ./: the folder", .link = "./", .queued = true},
      {.name = "dots left in a query", .link = "x.cgi?p=./y", .queued = false},
      {.name = "other server", .link = "http://other/x.html", .server = true, .queued = false},
      {.name = "same server", .link = "http://server/x.html", .server = true, .queued = true},
      {.name = "empty start server",
       .link = "http://other/x.html",
       .server = true,
       .startServer = "",
       .queued = true},
      {.name = "server name in any case",
       .link = "http://SERVER/x.html",
       .server = true,
       .queued = true},
      {.name = "under start folder", .link = "x.html", .another = true, .queued = true},
      {.name = "start folder any case",
       .link = "HTTP://SERVER/A/x.html",
       .another = true,
       .queued = true},
      {.name = "outside start folder",
       .link = "http://server/z/x.html",
       .another = true,
       .queued = false},
      {.name = "shorter than start folder", .link = "http://s/", .another = true, .queued = false},
      {.name = "enable list: start folder passes",
       .link = "x.html",
       .filter = true,
       .enable = true,
       .queued = true},
      {.name = "enable list: empty list stops others",
       .link = "http://other/x.html",
       .filter = true,
       .enable = true,
       .queued = false},
      {.name = "enable list: entry in any case",
       .link = "http://other/News/x.html",
       .filter = true,
       .enable = true,
       .enableList = {"news"},
       .queued = true},
      {.name = "enable list: empty start folder exempts all",
       .link = "http://other/x.html",
       .filter = true,
       .enable = true,
       .startFolder = "",
       .queued = true},
      {.name = "disable list applies to every address",
       .link = "x.html",
       .filter = true,
       .disable = true,
       .disableList = {"/A/B/"},
       .queued = false},
      {.name = "disable list off",
       .link = "x.html",
       .filter = true,
       .disable = false,
       .disableList = {"/a/"},
       .queued = true},
      {.name = "lists need FILTER",
       .link = "x.html",
       .disable = true,
       .disableList = {"/a/"},
       .queued = true},
      {.name = "Japanese disable entry",
       .link = Sjis("表/x.html"),
       .filter = true,
       .disable = true,
       .disableList = {Sjis("表")},
       .queued = false},
      {.name = "Japanese folder", .link = Sjis("資料/x.html"), .another = true, .queued = true},
  };
  for (const auto& c : cases) {
    testing_support::FakeRunControls controls;
    controls.checks[Field::kServer] = c.server;
    controls.checks[Field::kFilter] = c.filter;
    controls.checks[Field::kAnotherUrl] = c.another;
    settings::FilterLists filters{c.enableList, c.disableList, c.enable, c.disable};
    download::CrawlState state;
    state.m_startFolder = c.startFolder;
    state.m_startServer = c.startServer;
    EXPECT_EQ(download::QueueLink(state, controls, filters, kPage, c.link, QueueKind::kUrl),
              c.queued)
        << c.name;
    EXPECT_EQ(state.size(), c.queued ? 1 : 0) << c.name;
    EXPECT_EQ(state.m_kindQueue.size(), state.m_addressQueue.size()) << c.name;
  }
}

TEST(QueueLink, ReadsTheOptionsAtEveryCallAndQueuesEachAddressOnce) {
  testing_support::FakeRunControls controls;
  const settings::FilterLists filters;
  download::CrawlState state;
  state.m_startServer = "server";
  EXPECT_TRUE(
      download::QueueLink(state, controls, filters, kPage, "http://other/1.html", QueueKind::kUrl));
  controls.checks[Field::kServer] = true;
  EXPECT_FALSE(
      download::QueueLink(state, controls, filters, kPage, "http://other/2.html", QueueKind::kUrl));
  EXPECT_TRUE(download::QueueLink(state, controls, filters, kPage, "./", QueueKind::kCgi));
  EXPECT_FALSE(download::QueueLink(state, controls, filters, kPage, ".", QueueKind::kUrl))
      << "duplicate";
  EXPECT_EQ(state.m_addressQueue,
            (std::vector<std::string>{"http://other/1.html", "http://server/a/b/"}));
  EXPECT_EQ(KindNames(state.m_kindQueue), (std::vector<std::string>{"url", "cgi"}));
}

TEST(CrawlState, IndexFollowsTheQueueHoweverItGrows) {
  download::CrawlState state;
  state.Append("http://s/a.html", QueueKind::kUrl);
  state.Append("http://s/a.html", QueueKind::kUrl);  // seeding may queue an address twice
  EXPECT_TRUE(state.Contains("http://s/a.html"));
  state.m_addressQueue.push_back("http://s/direct.html");
  state.m_kindQueue.push_back(QueueKind::kUrl);
  EXPECT_TRUE(state.Contains("http://s/direct.html"));
  EXPECT_FALSE(state.Contains("http://s/A.html")) << "exact bytes";
  state.Clear();
  EXPECT_EQ(state.size(), 0);
  EXPECT_FALSE(state.Contains("http://s/a.html"));
  state.Append("http://s/b.html", QueueKind::kSrc);
  EXPECT_TRUE(state.Contains("http://s/b.html"));
}

struct Harvest {
  testing_support::FakeRunControls controls;
  settings::FilterLists filters;
  download::CrawlState state;

  Harvest() { state.m_entryLimit = 100; }
  void Run(const std::string& page) {
    download::HarvestLinks(state, controls, filters, kPage, page);
  }
  std::vector<std::pair<std::string, std::string>> Queue() const {
    std::vector<std::pair<std::string, std::string>> queue;
    for (int i = 0; i < state.size(); ++i) {
      queue.emplace_back(state.m_addressQueue[i], download::QueueKindName(state.m_kindQueue[i]));
    }
    return queue;
  }
};

using Entries = std::vector<std::pair<std::string, std::string>>;

TEST(HarvestLinks, QueuesTheLinksOfEveryScanWithTheirKinds) {
  struct Case {
    std::string name, page;
    Entries queue;
  } cases[] = {
      {"no tags", "just text, " + Sjis("日本語"), {}},
      {"capital IMG keeps the page's letter case",
       "<IMG SRC=\"Pics/A.CGI\">",
       {{"http://server/a/b/Pics/A.CGI", "src"}}},
      {"anchor fragment cut",
       "<a href=\"next.html#top\">n</a>",
       {{"http://server/a/b/next.html", "url"}}},
      {"fragment only", "<a href=\"#top\">t</a>", {}},
      {"query gives cgi",
       "<a href=\"list.cgi?p=2\">2</a>",
       {{"http://server/a/b/list.cgi?p=2", "cgi"}}},
      {"not page-like is src and dropped", "<a href=\"file.zip\">z</a>", {}},
      {"option values", "<option value=\"menu/\">m</option>", {{"http://server/a/b/menu/", "url"}}},
      {"frame is url whatever it is",
       "<frame src=\"cgi-bin/menu\">",
       {{"http://server/a/b/cgi-bin/menu", "url"}}},
      {"body background", "<body background=\"bg.cgi\">", {{"http://server/a/b/bg.cgi", "src"}}},
      {"an img read by the frame scan too",
       "<img src=\"frame.cgi\">",
       {{"http://server/a/b/frame.cgi", "src"}}},
      {"letter case of an earlier occurrence",
       "NEXT.HTML <a href=\"next.html\">n</a>",
       {{"http://server/a/b/NEXT.HTML", "url"}}},
      {"Japanese link",
       "<a href=\"" + Sjis("ページ.HTML") + "\">p</a>",
       {{"http://server/a/b/" + Sjis("ページ.HTML"), "url"}}},
      // The anchor scan reads a base element as any tag holding "a" and "href", up to the
      // next closing anchor tag.
      {"values as HTML reads them: quotes, references, a base element",
       "<base href='/root/'><a href='skipped.html'>q</a><a href=u.html>u</a>"
       "<a href=\"l.cgi?a=1&amp;b=&#50;\">r</a><a href=\"database.html\">d</a>",
       {{"http://server/root/", "url"},
        {"http://server/root/u.html", "url"},
        {"http://server/root/l.cgi?a=1&b=2", "cgi"},
        {"http://server/root/database.html", "url"}}},
      {"scans in order",
       "<a href=\"a.html\">a</a><img src=\"i.cgi\"><frame src=\"f.htm\">",
       {{"http://server/a/b/i.cgi", "src"},
        {"http://server/a/b/a.html", "url"},
        {"http://server/a/b/f.htm", "url"}}},
  };
  for (const auto& c : cases) {
    Harvest harvest;
    harvest.Run(c.page);
    EXPECT_EQ(harvest.Queue(), c.queue) << c.name;
  }
}

// Tags that nest or share their ">" offer the same value several times in a row; the letter case
// search remembers its answer only while it stays the first place behind each scan position.
TEST(HarvestLinks, RestoresTheLetterCaseOfNestedAndRepeatedValues) {
  struct Case {
    std::string name, page;
    Entries queue;
  } cases[] = {
      {"nested tags share one value",
       "<img <IMG <img SRC=Pics/A.CGI>",
       {{"http://server/a/b/Pics/A.CGI", "src"}}},
      // Each scan goes on behind the last tag's "<", so the next spelling is that tag's own.
      {"an earlier spelling wins until the scan passes it",
       "X.CGI <img src=x.cgi> <img src=X.Cgi> x.CGI <img src=x.cgi>",
       {{"http://server/a/b/X.CGI", "src"},
        {"http://server/a/b/x.cgi", "src"},
        {"http://server/a/b/X.Cgi", "src"}}},
      {"a long value found after a run of its own prefix",
       std::string(1000, 'a') + std::string(2000, 'A') +
           "B.CGI <img src=" + std::string(2000, 'a') + "b.cgi>",
       {{"http://server/a/b/" + std::string(2000, 'A') + "B.CGI", "src"}}},
  };
  for (const auto& c : cases) {
    Harvest harvest;
    harvest.Run(c.page);
    EXPECT_EQ(harvest.Queue(), c.queue) << c.name;
  }
}

// A value longer than the longest link runs over the rest of the page (an "=" or quote left
// open); it is passed over, while events are still handled for it.
TEST(HarvestLinks, PassesOverValuesLongerThanTheLongestLink) {
  const std::string fill(download::kLongestLink, 'x');
  struct Case {
    std::string name, page;
    Entries queue;
  } cases[] = {
      {"longest link is kept",
       "<img src=" + fill.substr(5) + ".html>",
       {{"http://server/a/b/" + fill.substr(5) + ".html", "src"}}},
      {"one byte longer is passed over", "<img src=" + fill.substr(4) + ".html>", {}},
      {"anchor value running over the page",
       "<a\nhref></a>=" + fill + ".html <a href=n.html>n</a>",
       {{"http://server/a/b/n.html", "url"}}},
  };
  for (const auto& c : cases) {
    Harvest harvest;
    harvest.Run(c.page);
    EXPECT_EQ(harvest.Queue(), c.queue) << c.name;
    EXPECT_GT(harvest.controls.pumps, 0) << c.name << ": the window has its events meanwhile";
  }
}

TEST(HarvestLinks, StopsQueueingAtTheEntryLimit) {
  Harvest harvest;
  harvest.state.m_entryLimit = 2;
  int pumpsWhenFull = 0;
  harvest.controls.onPump = [&] { pumpsWhenFull += harvest.state.size() >= 2; };
  harvest.Run("<img src=\"1.cgi\"><img src=\"2.cgi\"><img src=\"3.cgi\"><a href=\"x.html\">x</a>");
  EXPECT_EQ(harvest.state.m_addressQueue,
            (std::vector<std::string>{"http://server/a/b/1.cgi", "http://server/a/b/2.cgi"}));
  EXPECT_EQ(pumpsWhenFull, 0) << "once the queue is full, the scans end before handling events";
}

TEST(HarvestLinks, AnOptionChangedWhileHandlingEventsAppliesToTheNextLink) {
  Harvest harvest;
  harvest.state.m_startServer = "elsewhere";
  harvest.controls.onPump = [&] {
    if (harvest.controls.pumps == 2) harvest.controls.checks[Field::kServer] = true;
  };
  harvest.Run("<img src=\"1.cgi\"><img src=\"2.cgi\">");
  EXPECT_EQ(harvest.state.m_addressQueue, (std::vector<std::string>{"http://server/a/b/1.cgi"}));
}

}  // namespace
