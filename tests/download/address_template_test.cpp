// Address templates: padded numbers, expansion, and the seeding of the crawl queue.
#include "download/address_template.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>

#include "resources/texts.h"
#include "support/fake_run_controls.h"
#include "support/fake_transfer.h"
#include "support/queue_kind_names.h"
#include "support/temp_folder.h"

namespace {

using download::PlaceholderValues;
using settings::Field;
using testing_support::KindNames;
using testing_support::Sjis;

TEST(FormatPadded, PadsWithZerosAndNeverCuts) {
  struct Case {
    int width, value;
    std::string text;
  } cases[] = {
      {3, 7, "007"},
      {1, 12, "12"},
      {2, -2, "-2"},
      {3, -2, "-02"},
      {2, 0, "00"},
      {0, 5, "5"},
      {-4, 5, "5"},
      {5, 123, "00123"},
      {1, 0, "0"},
      {1, INT_MIN, "-2147483648"},
      {12, INT_MAX, "002147483647"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(download::FormatPadded(c.width, c.value), c.text) << c.width << " " << c.value;
  }
}

TEST(ExpandTemplate, ReplacesEveryPlaceholderInOrder) {
  const PlaceholderValues values = {1, 22, 3, 4, 5, 6};
  const PlaceholderValues widths = {3, 1, 1, 2, 1, 1};
  struct Case {
    std::string addressTemplate, address;
  } cases[] = {
      {"http://s/p@a@.html", "http://s/p001.html"},
      {"http://s/@a@/@b@/@a@.html", "http://s/001/22/001.html"},
      {"http://s/@a@@b@@c@@d@@e@@f@", "http://s/0012230456"},
      {"http://s/@A@@a@.html", "http://s/@A@001.html"},  // the letter case counts
      {"http://s/@a.html@", "http://s/@a.html@"},
      {Sjis("http://s/ページ@d@.html"), Sjis("http://s/ページ04.html")},
      // The '@' behind the lead byte 0x81 is that character's trail byte, not a placeholder's.
      {"http://s/\x81@a@", "http://s/\x81@a@"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(download::ExpandTemplate(values, c.addressTemplate, widths), c.address)
        << c.addressTemplate;
  }
}

// The collaborators of a seeding run.
struct Seeding {
  testing_support::FakeRunControls controls;
  convert::RunState run;
  testing_support::FakeTransfer transfer;
  download::CrawlState state;

  Seeding() { state.m_entryLimit = 1000; }

  void Row(int row, const std::string& first, const std::string& last, const std::string& step) {
    controls.checks[settings::CgiField(row)] = true;
    controls.texts[settings::FromField(row)] = first;
    controls.texts[settings::ToField(row)] = last;
    controls.texts[settings::StepField(row)] = step;
  }
  download::SeedResult Seed(const std::string& addressTemplate) {
    return download::SeedQueue(addressTemplate, controls, run, transfer, state);
  }
};

struct RowSetting {
  int row;
  std::string first, last, step;
};

TEST(SeedQueue, QueuesEveryCombinationInLoopOrder) {
  struct Case {
    std::string name, addressTemplate;
    std::vector<RowSetting> rows;
    std::vector<std::string> queue;
  } cases[] = {
      {"one row",
       "http://s/page@a@.html",
       {{1, "1", "3", "1"}},
       {"http://s/page1.html", "http://s/page2.html", "http://s/page3.html"}},
      {"row 1 outermost",
       "http://s/p@a@_@b@.html",
       {{1, "1", "2", "1"}, {2, "1", "3", "1"}},
       {"http://s/p1_1.html", "http://s/p1_2.html", "http://s/p1_3.html", "http://s/p2_1.html",
        "http://s/p2_2.html", "http://s/p2_3.html"}},
      {"width of the typed first value",
       "http://s/@a@.html",
       {{1, "08", "10", "1"}},
       {"http://s/08.html", "http://s/09.html", "http://s/10.html"}},
      {"a leading blank widens",
       "http://s/@a@.html",
       {{1, " 1", "3", "1"}},
       {"http://s/01.html", "http://s/02.html", "http://s/03.html"}},
      {"step",
       "http://s/@a@.html",
       {{1, "1", "12", "5"}},
       {"http://s/1.html", "http://s/6.html", "http://s/11.html"}},
      {"negative values",
       "http://s/@a@.html",
       {{1, "-2", "2", "2"}},
       {"http://s/-2.html", "http://s/00.html", "http://s/02.html"}},
      {"row without its placeholder",
       "http://s/same.html",
       {{1, "1", "3", "1"}},
       {"http://s/same.html", "http://s/same.html", "http://s/same.html"}},
      {"placeholder of an unused row",
       "http://s/@a@-@c@.html",
       {{1, "5", "5", "1"}},
       {"http://s/5-1.html"}},
      {"first above last", "http://s/@a@.html", {{1, "3", "1", "1"}}, {}},
      {"values typed with trailing text",
       "http://s/@f@.html",
       {{6, "1x", "2y", "1z"}},
       {"http://s/01.html", "http://s/02.html"}},
      {"last value at the int limit",
       "http://s/@a@.html",
       {{1, "2147483645", "2147483647", "1"}},
       {"http://s/2147483645.html", "http://s/2147483646.html", "http://s/2147483647.html"}},
      {"a step past the int limit",
       "http://s/@a@.html",
       {{1, "2147483646", "2147483647", "5"}},
       {"http://s/2147483646.html"}},
      {"the smallest int",
       "http://s/@a@.html",
       {{1, "-2147483648", "-2147483647", "1"}},
       {"http://s/-2147483648.html", "http://s/-2147483647.html"}},
      {"Japanese template",
       Sjis("http://s/日本@a@.html"),
       {{1, "1", "2", "1"}},
       {Sjis("http://s/日本1.html"), Sjis("http://s/日本2.html")}},
  };
  for (const auto& c : cases) {
    Seeding seeding;
    for (const auto& row : c.rows) seeding.Row(row.row, row.first, row.last, row.step);
    const auto seeded = seeding.Seed(c.addressTemplate);
    EXPECT_EQ(seeded.end, download::SeedEnd::kQueued) << c.name;
    EXPECT_EQ(seeding.state.m_addressQueue, c.queue) << c.name;
    EXPECT_EQ(seeded.lastAddress, c.queue.empty() ? "" : c.queue.back()) << c.name;
    EXPECT_TRUE(seeding.controls.messages.empty()) << c.name;
    EXPECT_TRUE(seeding.transfer.calls.empty()) << c.name;
  }
}

TEST(SeedQueue, KindFollowsQueryAndPageLikeness) {
  struct Case {
    std::string address, kind;
  } cases[] = {
      {"http://s/list.php?p=1", "cgi"},  {"http://s/page.html", "url"},
      {"http://s/A.HTM", "url"},         {"http://s/style.css", "url"},
      {"http://s/run.cgi", "url"},       {"http://s/pic.jpg", "src"},
      {"http://s/view.html?x=1", "cgi"}, {Sjis("http://s/画像.png"), "src"},
  };
  for (const auto& c : cases) {
    Seeding seeding;
    ASSERT_EQ(seeding.Seed(c.address).end, download::SeedEnd::kQueued);
    EXPECT_EQ(KindNames(seeding.state.m_kindQueue), std::vector<std::string>{c.kind}) << c.address;
  }
}

TEST(SeedQueue, StepBelowOneRefusesAtTheFirstSuchRow) {
  struct Case {
    std::string step;
  } cases[] = {{"0"}, {"-1"}, {"abc"}, {" "}};
  for (const auto& c : cases) {
    Seeding seeding;
    seeding.Row(1, "1", "2", "1");
    seeding.Row(3, "1", "2", c.step);
    seeding.Row(5, "1", "2", "0");
    const auto seeded = seeding.Seed("http://s/@a@@c@.html");
    EXPECT_EQ(seeded.end, download::SeedEnd::kStepTooSmall) << c.step;
    EXPECT_EQ(seeding.controls.messages,
              std::vector<std::string>{resources::Text(resources::TextId::kStepTooSmall)});
    EXPECT_EQ(seeding.controls.focused, std::vector<Field>{Field::kStep3});
    EXPECT_TRUE(seeding.state.m_addressQueue.empty());
  }
}

TEST(SeedQueue, ProbesDefaultDocumentsInOrder) {
  Seeding seeding;
  seeding.Row(1, "1", "3", "1");
  seeding.transfer.answers = {{"http://s/d1/index.htm", "<p>"},
                              {"http://s/d1/index.shtml", "<p>"},
                              {"http://s/d2/index.html", "<p>"},
                              {"http://s/d3/index.shtml", "<p>"}};
  const auto seeded = seeding.Seed("http://s/d@a@/");
  EXPECT_EQ(seeded.end, download::SeedEnd::kQueued);
  EXPECT_EQ(seeding.state.m_addressQueue,
            (std::vector<std::string>{"http://s/d1/index.htm", "http://s/d2/index.html",
                                      "http://s/d3/index.shtml"}));
  EXPECT_EQ(KindNames(seeding.state.m_kindQueue), (std::vector<std::string>{"url", "url", "url"}));
  EXPECT_EQ(seeding.transfer.CallLines(),
            (std::vector<std::string>{
                "GetText http://s/d1/index.html", "GetText http://s/d1/index.htm",
                "GetText http://s/d2/index.html", "GetText http://s/d3/index.html",
                "GetText http://s/d3/index.htm", "GetText http://s/d3/index.shtml"}));
}

TEST(SeedQueue, MissingDefaultDocumentEndsSeedingSilently) {
  Seeding seeding;
  seeding.Row(1, "1", "3", "1");
  seeding.transfer.answers = {{"http://s/d1/index.html", "<p>"},
                              {"http://s/d3/index.html", "<p>"},
                              // An empty page does not count as an answer.
                              {"http://s/d2/index.htm", ""}};
  const auto seeded = seeding.Seed("http://s/d@a@/");
  EXPECT_EQ(seeded.end, download::SeedEnd::kNoDefaultDocument);
  EXPECT_TRUE(seeding.controls.messages.empty());
  EXPECT_EQ(seeding.state.m_addressQueue, std::vector<std::string>{"http://s/d1/index.html"});
  EXPECT_EQ(seeding.transfer.calls.size(), 4u);  // d1 once, d2 three times, d3 never
}

TEST(SeedQueue, StopEndsEveryLoopAtItsNextHead) {
  struct Case {
    int stopAtPump;
    std::vector<std::string> queue;
  } cases[] = {
      // Every loop pumps at its head, the unused rows 3 to 6 too: the first address comes after
      // the heads a=1 (pump 1), b=1 (2), c, d, e, f (3 to 6); then b=2 (7), c..f (8 to 11), ...
      {1, {}},
      {2, {}},  // row 2 stops; row 1 stops at its next head, a=2
      {6, {}},  // row 6 stops; rows 5 to 3 have no next head; b=2 and a=2 stop
      {7, {"http://s/1_1.html"}},
      {17, {"http://s/1_1.html", "http://s/1_2.html", "http://s/1_3.html"}},
  };
  for (const auto& c : cases) {
    Seeding seeding;
    seeding.Row(1, "1", "3", "1");
    seeding.Row(2, "1", "3", "1");
    // Stop is seen at the head it was pressed at: nothing is queued after that pump.
    std::vector<std::string> queuedAtStop;
    seeding.controls.onPump = [&] {
      if (seeding.controls.pumps != c.stopAtPump) return;
      seeding.run.m_stop.Request();
      queuedAtStop = seeding.state.m_addressQueue;
    };
    const auto seeded = seeding.Seed("http://s/@a@_@b@.html");
    EXPECT_EQ(seeded.end, download::SeedEnd::kQueued) << c.stopAtPump;
    EXPECT_EQ(seeding.state.m_addressQueue, c.queue) << c.stopAtPump;
    EXPECT_EQ(seeding.state.m_addressQueue, queuedAtStop) << c.stopAtPump;
  }
}

// Seeding with the crawl's Count below the number of addresses queues exactly the first Count
// addresses, and changes nothing else: the same requests, result and last address as seeding
// them all.
TEST(SeedQueue, QueuesOnlyTheAddressesTheCrawlReaches) {
  struct Case {
    std::string name, addressTemplate;
    std::vector<RowSetting> rows;
    int limit;
    std::map<std::string, std::string> answers;
  } cases[] = {
      {"one row", "http://s/p@a@.html", {{1, "1", "5", "1"}}, 2, {}},
      {"limit of one", "http://s/p@a@.html", {{1, "1", "5", "1"}}, 1, {}},
      {"limit equal to the addresses", "http://s/p@a@.html", {{1, "1", "5", "1"}}, 5, {}},
      {"two rows", "http://s/p@a@_@b@.html", {{1, "1", "3", "1"}, {2, "2", "9", "3"}}, 4, {}},
      {"steps that miss the last value",
       "http://s/@a@/@c@.cgi?x=@b@",
       {{1, "1", "12", "5"}, {2, "-2", "3", "2"}, {3, "08", "10", "1"}},
       3,
       {}},
      {"the int limit", "http://s/@a@.html", {{1, "2147483640", "2147483647", "3"}}, 1, {}},
      {"an empty inner row",
       "http://s/@a@_@b@.html",
       {{1, "1", "3", "1"}, {2, "2", "1", "1"}},
       1,
       {}},
      {"Japanese template", Sjis("http://s/日本@a@.html"), {{1, "1", "4", "1"}}, 2, {}},
      {"default documents behind the limit",
       "http://s/d@a@/",
       {{1, "1", "4", "1"}},
       1,
       {{"http://s/d1/index.html", "<p>"},
        {"http://s/d2/index.htm", "<p>"},
        {"http://s/d3/index.shtml", "<p>"},
        {"http://s/d4/index.html", "<p>"}}},
      {"a missing default document behind the limit ends the run",
       "http://s/d@a@/",
       {{1, "1", "4", "1"}},
       1,
       {{"http://s/d1/index.html", "<p>"},
        {"http://s/d2/index.html", "<p>"},
        {"http://s/d4/index.html", "<p>"}}},
  };
  for (const auto& c : cases) {
    Seeding all, limited;
    limited.state.m_entryLimit = c.limit;
    for (Seeding* seeding : {&all, &limited}) {
      for (const auto& row : c.rows) seeding->Row(row.row, row.first, row.last, row.step);
      seeding->transfer.answers = c.answers;
    }
    const auto everything = all.Seed(c.addressTemplate);
    const auto seeded = limited.Seed(c.addressTemplate);
    auto queue = all.state.m_addressQueue;
    auto kinds = all.state.m_kindQueue;
    queue.resize(std::min<std::size_t>(queue.size(), c.limit));
    kinds.resize(queue.size());
    EXPECT_EQ(limited.state.m_addressQueue, queue) << c.name;
    EXPECT_EQ(limited.state.m_kindQueue, kinds) << c.name;
    EXPECT_EQ(seeded.end, everything.end) << c.name;
    EXPECT_EQ(seeded.lastAddress, everything.lastAddress) << c.name;
    EXPECT_EQ(limited.transfer.CallLines(), all.transfer.CallLines()) << c.name;
  }
}

TEST(SeedQueue, LongRangeEndsItsLoopsOnceCountAddressesAreQueued) {
  Seeding seeding;
  seeding.state.m_entryLimit = 3;
  seeding.Row(1, "1", "200000", "1");
  seeding.Row(2, "1", "10", "7");
  // No loop head comes once the third address is queued: the loops end at once.
  int headsAfterFull = 0;
  seeding.controls.onPump = [&] { headsAfterFull += seeding.state.size() >= 3; };
  const auto seeded = seeding.Seed("http://s/p@a@-@b@.html");
  EXPECT_EQ(seeded.end, download::SeedEnd::kQueued);
  EXPECT_EQ(
      seeding.state.m_addressQueue,
      (std::vector<std::string>{"http://s/p1-1.html", "http://s/p1-8.html", "http://s/p2-1.html"}));
  EXPECT_EQ(seeded.lastAddress, "http://s/p200000-8.html");
  EXPECT_TRUE(seeding.transfer.calls.empty());
  EXPECT_EQ(headsAfterFull, 0);
}

}  // namespace
