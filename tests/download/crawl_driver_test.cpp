// The crawl run with recording fakes: validation, seeding, the queue loop, files and bitmaps.
#include "download/crawl_driver.h"

#include <gtest/gtest.h>
#include <map>
#include <set>

#include "base/file_system.h"
#include "base/tools.h"
#include "net/curl_transfer.h"
#include "resources/texts.h"
#include "support/fake_run_controls.h"
#include "support/fake_transfer.h"
#include "support/http_server.h"
#include "support/recording_renderer.h"
#include "support/temp_folder.h"

namespace {

using resources::Text;
using resources::TextId;
using settings::Field;
using testing_support::ReadFile;
using testing_support::Sjis;
using Lines = std::vector<std::string>;

using convert::RunResult;

class Crawl : public ::testing::Test {
 protected:
  void SetUp() override {
    m_savedDirectory = base::GetCurrentDirectory();
    base::CreateDirectory(m_temp / "out");
    controls.texts[Field::kWritePath] = m_temp / "out";
    controls.texts[Field::kCount] = "100";
    controls.texts[Field::kLinkCount] = "10";
  }
  // The crawl makes the output folder current; the next test must not start in it.
  void TearDown() override { base::SetCurrentDirectory(m_savedDirectory); }

  void Row(int row, const std::string& first, const std::string& last, const std::string& step) {
    controls.checks[settings::CgiField(row)] = true;
    controls.texts[settings::FromField(row)] = first;
    controls.texts[settings::ToField(row)] = last;
    controls.texts[settings::StepField(row)] = step;
  }
  convert::RunOutcome Run(const std::string& addressTemplate) {
    controls.texts[Field::kReadPath] = addressTemplate;
    download::CrawlDriver driver(run, controls, transfer, renderer, filters, state);
    return driver.Crawl();
  }
  std::string Out(const std::string& relative = {}) const { return m_temp / ("out/" + relative); }
  Lines RenderedFolders() const {
    Lines folders;
    for (const auto& page : renderer.pages) folders.push_back(page.outputFolder);
    return folders;
  }
  Lines RenderedLocations() const {
    Lines locations;
    for (const auto& page : renderer.pages) locations.push_back(page.location);
    return locations;
  }

  testing_support::TempFolder m_temp;
  std::string m_savedDirectory;
  testing_support::FakeRunControls controls;
  convert::RunState run;
  testing_support::FakeTransfer transfer;
  testing_support::RecordingRenderer renderer;
  settings::FilterLists filters;
  download::CrawlState state;
};

TEST_F(Crawl, ChecksOptionsInOrderWithTheirMessages) {
  const std::string missing = Text(TextId::kFolderMissing);
  struct Case {
    std::string name;
    bool outputExists;
    std::vector<std::pair<Field, std::string>> texts;
    std::vector<int> rows;  // rows in use, each 1 to 2 step 1 unless texts say otherwise
    Lines messages;
    std::vector<Field> focused;
  } cases[] = {
      {"missing folder is made and reported even when Count refuses",
       false,
       {{Field::kCount, "0"}},
       {},
       {missing, Text(TextId::kCountTooSmall)},
       {}},
      {"missing folder alone", false, {}, {}, {missing}, {}},
      {"empty first value before an empty step",
       true,
       {{Field::kFrom2, ""}, {Field::kStep2, ""}},
       {1, 2},
       {Text(TextId::kValueNotSet)},
       {Field::kFrom2}},
      {"empty last value",
       true,
       {{Field::kTo4, ""}},
       {4},
       {Text(TextId::kValueNotSet)},
       {Field::kTo4}},
      {"rows are checked before Count",
       true,
       {{Field::kStep1, ""}, {Field::kCount, "0"}},
       {1},
       {Text(TextId::kValueNotSet)},
       {Field::kStep1}},
      {"an unused row may be empty", true, {{Field::kFrom3, ""}}, {}, {}, {}},
      {"a blank value is set", true, {{Field::kTo1, " "}}, {1}, {}, {}},
      {"Count before LinkCount",
       true,
       {{Field::kCount, "-1"}, {Field::kLinkCount, "0"}},
       {},
       {Text(TextId::kCountTooSmall)},
       {}},
      {"LinkCount", true, {{Field::kLinkCount, "x"}}, {}, {Text(TextId::kLinkCountTooSmall)}, {}},
      {"the step is checked by seeding, last",
       true,
       {{Field::kStep2, "0"}},
       {2},
       {Text(TextId::kStepTooSmall)},
       {Field::kStep2}},
  };
  for (const auto& c : cases) {
    testing_support::TempFolder temp;
    controls = {};
    renderer.pages.clear();
    transfer.calls.clear();
    controls.texts[Field::kWritePath] = temp / "made/out";
    controls.texts[Field::kCount] = "100";
    controls.texts[Field::kLinkCount] = "10";
    if (c.outputExists) base::CreateFolderPath(temp / "made/out/");
    for (int row : c.rows) Row(row, "1", "2", "1");
    for (const auto& [field, text] : c.texts) controls.texts[field] = text;
    transfer.answers = {{"http://s/p.html", "<p>"}};
    const convert::RunOutcome result = Run("http://s/p.html");
    const bool refused = !c.messages.empty() && c.messages.back() != missing;
    EXPECT_EQ(result.result, refused ? RunResult::kRefused : RunResult::kRan) << c.name;
    // The outcome names the refusing check by the message it showed.
    if (refused) {
      EXPECT_EQ(Text(result.refusal.value()), c.messages.back()) << c.name;
    }
    EXPECT_EQ(controls.messages, c.messages) << c.name;
    EXPECT_EQ(controls.focused, c.focused) << c.name;
    EXPECT_TRUE(base::IsDirectory(temp / "made/out")) << c.name;
    if (refused) {
      EXPECT_EQ(run.m_pageCount, 1) << c.name;
      EXPECT_TRUE(transfer.calls.empty()) << c.name;
    }
  }
}

TEST_F(Crawl, OutputFolderThatCannotBeMadeEndsTheRun) {
  testing_support::WriteFile(m_temp / "file", "x");
  controls.texts[Field::kWritePath] = m_temp / "file/out";
  controls.texts[Field::kCount] = "0";
  EXPECT_EQ(Run("http://s/p.html").refusal, TextId::kCannotCreateFolder);
  EXPECT_EQ(controls.messages,
            (Lines{Text(TextId::kFolderMissing), Text(TextId::kCannotCreateFolder)}));
  EXPECT_TRUE(transfer.calls.empty());
}

TEST_F(Crawl, CountIsReadAsATypedNumber) {
  struct Case {
    std::string count;
    int processed;  // -1: refused
  } cases[] = {{"0", -1}, {"-3", -1}, {"abc", -1}, {"", -1}, {"5x", 5}, {" +2", 2}, {"1", 1}};
  for (const auto& c : cases) {
    controls.messages.clear();
    renderer.pages.clear();
    Row(1, "1", "8", "1");
    controls.texts[Field::kCount] = c.count;
    for (int i = 1; i <= 8; ++i) {
      transfer.answers["http://s/p" + std::to_string(i) + ".html"] = "<p>page</p>";
    }
    const RunResult result = Run("http://s/p@a@.html").result;
    if (c.processed < 0) {
      EXPECT_EQ(result, RunResult::kRefused) << c.count;
      EXPECT_EQ(controls.messages, Lines{Text(TextId::kCountTooSmall)}) << c.count;
      EXPECT_TRUE(renderer.pages.empty()) << c.count;
      continue;
    }
    EXPECT_EQ(result, RunResult::kRan) << c.count;
    EXPECT_TRUE(controls.messages.empty()) << c.count;
    // Seeding queues only the Count of the eight that the crawl reaches, and processes them.
    EXPECT_EQ(state.size(), c.processed) << c.count;
    EXPECT_EQ(static_cast<int>(renderer.pages.size()), c.processed) << c.count;
    EXPECT_EQ(run.m_pageCount, c.processed + 1) << c.count;
    EXPECT_EQ(controls.status(), resources::DownloadCountText(c.processed)) << c.count;
  }
}

TEST_F(Crawl, WalksTheQueueBreadthFirstUpToTheEntryLimit) {
  transfer.answers = {
      {"http://s/a/index.html",
       "<a href=\"one.html\">1</a><img src=\"counter.cgi?n=1\"><a href=\"sub/two.html\">2</a>"},
      {"http://s/a/one.html", "<a href=\"three.html\">3</a>"},
      {"http://s/a/counter.cgi?n=1", "GIF"},
      {"http://s/a/sub/two.html", "two"},
      {"http://s/a/three.html", "three"},
  };
  controls.texts[Field::kCount] = "4";
  EXPECT_EQ(Run("http://s/a/index.html").result, RunResult::kRan);
  // Pictures are scanned before anchors; the queue is full at four entries, so three.html,
  // found in one.html, is never queued.
  EXPECT_EQ(state.m_addressQueue, (Lines{"http://s/a/index.html", "http://s/a/counter.cgi?n=1",
                                         "http://s/a/one.html", "http://s/a/sub/two.html"}));
  EXPECT_EQ(transfer.CallLines(),
            (Lines{"GetServerName http://s/a/index.html", "GetText http://s/a/index.html",
                   "DownloadQueryFile http://s/a/counter.cgi?n=1", "GetText http://s/a/one.html",
                   "GetText http://s/a/sub/two.html"}));
  EXPECT_EQ(state.m_startServer, "s");
  EXPECT_EQ(state.m_startFolder, "http://s/a/");
  EXPECT_EQ(RenderedLocations(),
            (Lines{"http://s/a/index.html", "http://s/a/one.html", "http://s/a/sub/two.html"}));
  EXPECT_EQ(ReadFile(Out("http/s/a/countern=1.cgi")), "GIF");
  EXPECT_EQ(run.m_pageCount, 5);
  // Progress names the position and the queue length at that moment, for pages and for
  // addresses with a page word.
  EXPECT_EQ(controls.statusTexts,
            (Lines{resources::DownloadProgressText(1, 1, "http://s/a/index.html"),
                   resources::DownloadProgressText(2, 4, "http://s/a/counter.cgi?n=1"),
                   resources::DownloadProgressText(3, 4, "http://s/a/one.html"),
                   resources::DownloadProgressText(4, 4, "http://s/a/sub/two.html"),
                   resources::DownloadCountText(4)}));
}

TEST_F(Crawl, PlacesFilesAndBitmapsUnderTheAddressOrFlat) {
  const std::string page = Sjis("http://Srv:8080/A/日本/page.html");
  transfer.answers = {
      {page, "<img src=\"Banner_HTML.gif\"><img src=\"count.cgi?id=3\"><a href=\"list/\">l</a>"},
      // Links are requested with the server name in lower case.
      {Sjis("http://srv:8080/A/日本/Banner_HTML.gif"), "JPEG"},
      {Sjis("http://srv:8080/A/日本/count.cgi?id=3"), "GIF"},
      {Sjis("http://srv:8080/A/日本/list/"), "<p>folder page</p>"},
  };
  const std::string mirrored = Out(Sjis("http/srv8080/a/日本/"));
  struct Case {
    bool same;
    std::string folder;
  } cases[] = {{false, mirrored}, {true, Out()}};
  for (const auto& c : cases) {
    renderer.pages.clear();
    controls.checks[Field::kSame] = c.same;
    EXPECT_EQ(Run(page).result, RunResult::kRan);
    EXPECT_EQ(ReadFile(c.folder + "Banner_HTML.gif"), "JPEG") << c.same;
    EXPECT_EQ(ReadFile(c.folder + "countid=3.cgi"), "GIF") << c.same;
    ASSERT_EQ(renderer.pages.size(), 2u);
    EXPECT_EQ(renderer.pages[0].name, "page.html");
    // A page address ending in "/" is rendered under an empty name.
    EXPECT_EQ(renderer.pages[1].name, "");
    EXPECT_EQ(RenderedFolders(), (Lines{c.folder, c.same ? c.folder : c.folder + "list/"}));
    for (const auto& folder : RenderedFolders()) EXPECT_TRUE(base::IsDirectory(folder)) << folder;
    // Four entries; the folder page has no page word, so it is no success.
    EXPECT_EQ(controls.status(), resources::DownloadCountText(3)) << c.same;
  }
  EXPECT_EQ(transfer.calls[3].operation, "DownloadQueryFile");
}

TEST_F(Crawl, EachKindIsFetchedAndRenderedByItsRules) {
  struct Case {
    std::string start;
    Lines calls;  // after GetServerName
    Lines rendered;
    int successes;
  } cases[] = {
      // A form page without a page word: fetched by GET then POST, neither searched nor drawn.
      {"http://s/list.php?p=2",
       {"GetFormText http://s/list.php?p=2", "PostFormText http://s/list.php?p=2"},
       {},
       1},
      {"http://s/search?q=1",
       {"GetFormText http://s/search?q=1", "PostFormText http://s/search?q=1"},
       {},
       1},
      // A page word without a page-like ending: drawn but not searched.
      {"http://s/htmlview?id=3",
       {"GetFormText http://s/htmlview?id=3", "PostFormText http://s/htmlview?id=3"},
       {"http://s/htmlview?id=3"},
       1},
      // Page-like and with a page word: searched and drawn.
      {"http://s/view.cgi?x=1",
       {"GetFormText http://s/view.cgi?x=1", "PostFormText http://s/view.cgi?x=1",
        "GetText http://s/link.html"},
       {"http://s/view.cgi?x=1", "http://s/link.html"},
       2},
      {"http://s/page.html",
       {"GetText http://s/page.html", "GetText http://s/link.html"},
       {"http://s/page.html", "http://s/link.html"},
       2},
      // A page is loaded as its folder and name put together again: "//" before the name is one.
      // Its links keep the "//", as a browser resolves them.
      {"http://s/a//page.html",
       {"GetText http://s/a//page.html", "GetText http://s/a//link.html"},
       {"http://s/a/page.html"},
       1},
      // A page with an empty body failed.
      {"http://s/empty.html", {"GetText http://s/empty.html"}, {}, 0},
      {"http://s/pic.jpg", {"DownloadFile http://s/pic.jpg"}, {}, 1},
      {"http://s/gone.jpg", {"DownloadFile http://s/gone.jpg"}, {}, 0},
  };
  for (const auto& c : cases) {
    transfer.calls.clear();
    renderer.pages.clear();
    transfer.answers = {{c.start, "<a href=\"link.html\">x</a>"}, {"http://s/link.html", "linked"}};
    transfer.answers["http://s/empty.html"] = "";
    transfer.answers.erase("http://s/gone.jpg");
    EXPECT_EQ(Run(c.start).result, RunResult::kRan) << c.start;
    Lines calls = transfer.CallLines();
    calls.erase(calls.begin());
    EXPECT_EQ(calls, c.calls) << c.start;
    EXPECT_EQ(RenderedLocations(), c.rendered) << c.start;
    EXPECT_EQ(controls.status(), resources::DownloadCountText(c.successes)) << c.start;
  }
}

TEST_F(Crawl, FailedTransfersFinishTheirEntryAndTheRunGoesOn) {
  transfer.answers = {
      {"http://s/start.html",
       "<a href=\"form.cgi?a=1\">f</a><a href=\"gone.html\">g</a><img src=\"gone.cgi\">"
       "<a href=\"empty.html\">e</a><a href=\"last.html\">l</a>"},
      {"http://s/empty.html", ""},
      {"http://s/last.html", "last"},
  };
  EXPECT_EQ(Run("http://s/start.html").result, RunResult::kRan);
  EXPECT_EQ(state.m_addressQueue,
            (Lines{"http://s/start.html", "http://s/gone.cgi", "http://s/form.cgi?a=1",
                   "http://s/gone.html", "http://s/empty.html", "http://s/last.html"}));
  // The failed form request moves on by one entry: the next entry is still fetched.
  EXPECT_EQ(RenderedLocations(), (Lines{"http://s/start.html", "http://s/last.html"}));
  EXPECT_EQ(run.m_pageCount, 7);
  EXPECT_EQ(controls.status(), resources::DownloadCountText(2));
  EXPECT_TRUE(controls.messages.empty());
  // The failed download leaves its empty file.
  EXPECT_TRUE(base::FileExists(Out("http/s/gone.cgi")));
  EXPECT_EQ(ReadFile(Out("http/s/gone.cgi")), "");
}

TEST_F(Crawl, EveryEntryLeavesARecordOfItsKindAnswerAndOutcome) {
  transfer.answers = {
      {"http://s/start.html",
       "<a href=\"form.cgi?a=1\">f</a><a href=\"gone.html\">g</a><img src=\"pic.cgi\">"
       "<img src=\"lost.cgi\"><img src=\"photo.png\"><a href=\"gone.html\">again</a>"
       "<img src=\"halt.cgi\"><a href=\"empty.html\">e</a><a href=\"down.html\">d</a>"
       "<img src=\"kept.cgi\">"},
      {"http://s/pic.cgi", "PNGDATA"},
      {"http://s/empty.html", ""},
  };
  // A transfer that failed keeps its cause as the reason and its words as the detail; a stopped
  // one is passed over like a stopped page.
  net::TransferResult refused;
  refused.cause = net::TransferCause::kRefused;
  refused.error = "Failed to connect";
  net::TransferResult stopped;
  stopped.cause = net::TransferCause::kStopped;
  stopped.error = "the transfer was stopped";
  refused.tries = 3;
  // An address robots.txt keeps out is passed over, nothing sent.
  net::TransferResult kept;
  kept.cause = net::TransferCause::kRobots;
  kept.error = "robots.txt keeps the address out";
  kept.tries = 0;
  transfer.failures = {
      {"http://s/down.html", refused}, {"http://s/halt.cgi", stopped}, {"http://s/kept.cgi", kept}};
  // A rendered page's record is completed by the rendering: what the crawl knew is handed over.
  std::vector<convert::EntryRecord> handedOver;
  renderer.onRender = [&](const auto& job) { handedOver.push_back(job.known); };
  Run("http://s/start.html");

  ASSERT_EQ(handedOver.size(), 1u);
  EXPECT_EQ(handedOver[0].source, "http://s/start.html");
  EXPECT_EQ(handedOver[0].kind, "url");
  EXPECT_EQ(handedOver[0].httpStatus, 200);
  using convert::EntryOutcome;
  using convert::EntryReason;
  struct Expected {
    std::string source, kind;
    EntryOutcome outcome;
    EntryReason reason;
    int status;
    bool output;
    std::string detail;
  } expected[] = {
      // The rendered page's record, as the renderer gave it back, in its place in the queue.
      {"http://s/start.html", "url", EntryOutcome::kWritten, EntryReason::kNone, 200, false, ""},
      {"http://s/pic.cgi", "src", EntryOutcome::kWritten, EntryReason::kNone, 200, true, ""},
      {"http://s/lost.cgi", "src", EntryOutcome::kFailed, EntryReason::kHttp, 404, false, ""},
      {"http://s/halt.cgi", "src", EntryOutcome::kSkipped, EntryReason::kStopped, 0, false,
       "the transfer was stopped"},
      {"http://s/kept.cgi", "src", EntryOutcome::kSkipped, EntryReason::kRobots, 0, false,
       "robots.txt keeps the address out"},
      {"http://s/form.cgi?a=1", "cgi", EntryOutcome::kFailed, EntryReason::kHttp, 404, false, ""},
      {"http://s/gone.html", "url", EntryOutcome::kFailed, EntryReason::kHttp, 404, false, ""},
      {"http://s/empty.html", "url", EntryOutcome::kFailed, EntryReason::kEmpty, 200, false, ""},
      {"http://s/down.html", "url", EntryOutcome::kFailed, EntryReason::kRefused, 0, false,
       "Failed to connect"},
  };
  ASSERT_EQ(controls.records.size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const convert::EntryRecord& record = controls.records[i];
    EXPECT_EQ(record.source, expected[i].source) << i;
    EXPECT_EQ(record.kind, expected[i].kind) << i;
    EXPECT_EQ(record.outcome, expected[i].outcome) << i;
    EXPECT_EQ(record.reason, expected[i].reason) << i;
    EXPECT_EQ(record.httpStatus, expected[i].status) << i;
    EXPECT_EQ(record.output.has_value(), expected[i].output) << i;
    EXPECT_EQ(record.detail, expected[i].detail) << i;
  }
  EXPECT_EQ(controls.records[1].output, Out("http/s/pic.cgi"));
  EXPECT_EQ(controls.records[1].bytes, 7);
  EXPECT_EQ(controls.records.back().tries, 3);
  // Links the rules passed over are counted per rule: a picture that is neither a page nor a
  // file to fetch, and a link queued already.
  auto dropped = [&](download::DropReason reason) {
    return state.m_dropped[static_cast<std::size_t>(reason)];
  };
  EXPECT_EQ(dropped(download::DropReason::kNotALink), 1);
  EXPECT_EQ(dropped(download::DropReason::kDuplicate), 1);
  EXPECT_EQ(dropped(download::DropReason::kOtherServer), 0);
}

TEST_F(Crawl, EveryRequestNamesThePageWhoseLinkItFollows) {
  transfer.answers = {
      {"http://s/start.html", "<a href=\"a.html\">a</a><img src=\"pic.cgi\">"},
      {"http://s/a.html", "<a href=\"b.cgi?x=1\">b</a>"},
      {"http://s/pic.cgi", "PNG"},
  };
  Run("http://s/start.html");
  Lines named;
  for (const auto& call : transfer.calls) {
    if (call.operation != "GetServerName")
      named.push_back(call.address + " <- " + call.linkingPage);
  }
  EXPECT_EQ(named, (Lines{"http://s/start.html <- ", "http://s/pic.cgi <- http://s/start.html",
                          "http://s/a.html <- http://s/start.html",
                          "http://s/b.cgi?x=1 <- http://s/a.html",
                          "http://s/b.cgi?x=1 <- http://s/a.html"}));
}

TEST_F(Crawl, DefaultDocumentIsProbedAndItsAbsenceEndsTheRunSilently) {
  transfer.answers = {{"http://s/index.htm", "<p>home</p>"}};
  EXPECT_EQ(Run("http://s/").result, RunResult::kRan);
  EXPECT_EQ(state.m_addressQueue, Lines{"http://s/index.htm"});
  EXPECT_EQ(RenderedLocations(), Lines{"http://s/index.htm"});

  transfer.answers.clear();
  transfer.calls.clear();
  renderer.pages.clear();
  controls.statusTexts.clear();
  EXPECT_EQ(Run("http://s/").result, RunResult::kRan);
  EXPECT_EQ(transfer.CallLines(),
            (Lines{"GetText http://s/index.html", "GetText http://s/index.htm",
                   "GetText http://s/index.shtml"}));
  EXPECT_TRUE(renderer.pages.empty());
  EXPECT_TRUE(controls.messages.empty());
  EXPECT_TRUE(controls.statusTexts.empty());
}

TEST_F(Crawl, StopEndsTheRunAtTheNextCheck) {
  for (int i = 1; i <= 5; ++i) transfer.answers["http://s/p" + std::to_string(i) + ".html"] = "p";
  Row(1, "1", "5", "1");

  // During seeding: the loops end, and the queue holds what was seeded before the Stop.
  controls.onPump = [&] {
    if (state.size() == 2) run.m_stop.Request();
  };
  EXPECT_EQ(Run("http://s/p@a@.html").result, RunResult::kStopped);
  EXPECT_EQ(state.m_addressQueue, (Lines{"http://s/p1.html", "http://s/p2.html"}));
  EXPECT_TRUE(renderer.pages.empty());
  EXPECT_EQ(controls.status(), resources::DownloadCountText(0));

  // During a page: it is finished, and the run ends before the next entry.
  controls.onPump = nullptr;
  renderer.onRender = [&](const auto& page) {
    if (renderer.pages.size() == 2) run.m_stop.Request();
  };
  EXPECT_EQ(Run("http://s/p@a@.html").result, RunResult::kStopped);
  EXPECT_EQ(state.size(), 5);
  EXPECT_EQ(renderer.pages.size(), 2u);
  EXPECT_EQ(run.m_pageCount, 3);
  EXPECT_EQ(controls.status(), resources::DownloadCountText(2));
}

TEST_F(Crawl, NoAddressWritesOutsideTheOutputFolder) {
  const std::string escapingPage = "http://s/a/../../../../escape/page.html";
  struct Case {
    std::string start;
    bool same;
    Lines calls;  // after GetServerName
    Lines renderedFolders;
  } cases[] = {
      // A typed template is not filtered like a link: its ".." must not climb out.
      {"http://s/a/../../../../escape/x.jpg", false, {}, {}},
      // The page is read (its links are harvested) but its bitmap would land outside.
      {escapingPage, false, {"GetText " + escapingPage}, {}},
      // Flat output names the bitmap by the page alone, which stays inside.
      {escapingPage, true, {"GetText " + escapingPage}, {Out()}},
  };
  for (const auto& c : cases) {
    transfer.calls.clear();
    renderer.pages.clear();
    controls.checks[Field::kSame] = c.same;
    // The harvested link is queued as a file named "..", which is never fetched either.
    transfer.answers = {{c.start, "<a href=\"http://s/html/..\">up</a>"},
                        {"http://s/html/..", "up"}};
    EXPECT_EQ(Run(c.start).result, RunResult::kRan) << c.start;
    Lines calls = transfer.CallLines();
    calls.erase(calls.begin());
    EXPECT_EQ(calls, c.calls) << c.start;
    EXPECT_EQ(RenderedFolders(), c.renderedFolders) << c.start;
    EXPECT_FALSE(base::IsDirectory(m_temp / "escape"));
    EXPECT_FALSE(base::IsDirectory(Out("../escape")));
    // Refused entries are finished like failed ones.
    EXPECT_EQ(run.m_pageCount, state.size() + 1) << c.start;
  }
}

TEST(StaysInsideFolder, RefusesDotDotComponentsAndAbsolutePaths) {
  struct Case {
    std::string relative;
    bool inside;
  } cases[] = {
      {"http/s/a/", true},
      {"http/s/a/b.jpg", true},
      {"", true},
      {"http/s/..x/", true},
      {"http/s/x../", true},
      {"http/s/./", true},
      {"..", false},
      {"../x", false},
      {"http/s/a/../../../../", false},
      {"http/s/html/..", false},
      {"/etc/passwd", false},
      {Sjis("http/s/日本/.."), false},
      {Sjis("http/s/日本/表.jpg"), true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(download::StaysInsideFolder(c.relative), c.inside) << c.relative;
  }
}

TEST_F(Crawl, RelativeOutputFolderIsTakenFromTheDirectoryOfStart) {
  base::SetCurrentDirectory(m_temp.path());
  controls.texts[Field::kWritePath] = "rel/out";
  transfer.answers = {{"http://s/page.html", "<img src=\"count.cgi?n=1\">"},
                      {"http://s/count.cgi?n=1", "J"}};
  EXPECT_EQ(Run("http://s/page.html").result, RunResult::kRan);
  EXPECT_EQ(ReadFile(m_temp / "rel/out/http/s/countn=1.cgi"), "J");
  EXPECT_EQ(RenderedFolders(), Lines{m_temp / "rel/out/http/s/"});
  EXPECT_EQ(run.m_writePath, m_temp / "rel/out/");
}

// A site linked in every way pages link (relative, "../" over two levels, host-absolute,
// protocol-relative, full addresses in capitals, single-quoted, unquoted, with "\\", character
// references, query-only, fragments): the crawl asks the server for nothing it does not link to,
// and for everything it does.
TEST_F(Crawl, RequestsOnlyWhatALoopbackSiteLinksTo) {
  testing_support::HttpServer site;
  const std::string self = "//127.0.0.1:" + std::to_string(site.port());
  const std::map<std::string, std::string> pages = {
      {"/index.html",
       "<a href=\"sec1/a.html\">a</a><a href='/sec2/b.html'>b</a><a href=sec1/deep/c.html>c</a>"},
      {"/sec1/a.html", "<a href=\"../sec2/b.html\">b</a><a href=\"" + self +
                           "/sec1/deep/c.html\">c</a><img src=\"/img/p.cgi?x=1&amp;y=2\">"},
      {"/sec2/b.html", "<a href=\"HTTP:" + self + "/sec1/a.html#top\">a</a>" +
                           "<a href=\"../sec1/deep/../../index.html\">i</a>"},
      {"/sec1/deep/c.html",
       "<a href=\"../../index.html\">i</a><a href=\"?page=2\">2</a>"
       "<a href=\"..\\..\\sec2\\b.html\">b</a><a href=\"./../a.html\">a</a>"},
      {"/sec1/deep/c.html?page=2", "<a href=\"&#46;&#46;/../sec2/b.html\">b</a>"},
  };
  std::set<std::string> served;
  for (const auto& [target, body] : pages) {
    site.Serve(target, testing_support::Answer(200, body));
    served.insert(target);
  }
  site.Serve("/img/p.cgi?x=1&y=2", testing_support::Answer(200, "GIF89a", "image/gif"));
  served.insert("/img/p.cgi?x=1&y=2");

  net::CurlTransfer curl;
  controls.texts[Field::kReadPath] = site.Address("/index.html");
  download::CrawlDriver driver(run, controls, curl, renderer, filters, state);
  EXPECT_EQ(driver.Crawl().result, RunResult::kRan);
  std::set<std::string> requested;
  for (const std::string& line : site.RequestLines()) {
    requested.insert(line.substr(line.find(' ') + 1));
  }
  EXPECT_EQ(requested, served);
}

}  // namespace

// A site of template folders whose default documents are probed, pages linking pages and files:
// a stop can fall on a probe, a page or a download.
class ResumedCrawl : public Crawl {
 protected:
  void SetUp() override {
    Crawl::SetUp();
    Row(1, "1", "3", "1");
    for (const char* folder : {"d1/", "d2/", "d3/"}) {
      const std::string base = std::string("http://s/") + folder;
      transfer.answers[base + "index.html"] =
          "<img src=\"a.cgi\"><a href=\"more.html\">m</a><img src=\"b.cgi\">";
      transfer.answers[base + "more.html"] = "<img src=\"c.cgi\"><a href=\"index.html\">i</a>";
      for (const char* file : {"a.cgi", "b.cgi", "c.cgi"}) transfer.answers[base + file] = file;
    }
  }
  convert::RunOutcome RunWith(download::JournalUse use) {
    controls.texts[Field::kReadPath] = "http://s/d@a@/";
    download::CrawlDriver driver(run, controls, transfer, renderer, filters, state);
    driver.SetJournal(m_temp / "state", use);
    return driver.Crawl();
  }
  // The addresses requested, in order, without GetServerName.
  Lines Requested() const {
    Lines addresses;
    for (const auto& call : transfer.calls) {
      if (call.operation != "GetServerName") addresses.push_back(call.address);
    }
    return addresses;
  }
};

TEST_F(ResumedCrawl, AStoppedCrawlGoesOnWhereItStoppedAndAsksForNoFinishedEntryAgain) {
  EXPECT_EQ(RunWith(download::JournalUse::kNone).result, RunResult::kRan);
  const Lines uninterrupted = Requested();
  const std::string totals = controls.status();
  const int pages = run.m_pageCount;
  const auto outputs = [this] {
    std::set<std::string> files;
    for (const auto& record : controls.records) files.insert(record.output.value_or(""));
    for (const auto& location : RenderedLocations()) files.insert(location);
    return files;
  };
  const std::set<std::string> written = outputs();

  // Stop during each request in turn, then resume.
  for (std::size_t stop = 1; stop <= uninterrupted.size(); ++stop) {
    transfer.calls.clear();
    renderer.pages.clear();
    controls.records.clear();
    transfer.onCall = [&](const auto&) {
      if (Requested().size() == stop) run.m_stop.Request();
    };
    EXPECT_EQ(RunWith(download::JournalUse::kNew).result, RunResult::kStopped) << stop;
    const Lines first = Requested();
    transfer.onCall = nullptr;
    transfer.calls.clear();
    EXPECT_EQ(RunWith(download::JournalUse::kResume).result, RunResult::kRan) << stop;
    // The resumed crawl asks for the rest; only what was in flight at the stop may come again
    // (a probe whose answer was taken does not).
    const Lines second = Requested();
    const Lines rest(uninterrupted.begin() + static_cast<long>(stop), uninterrupted.end());
    const Lines again(uninterrupted.begin() + static_cast<long>(stop) - 1, uninterrupted.end());
    EXPECT_EQ(first, Lines(uninterrupted.begin(), uninterrupted.begin() + static_cast<long>(stop)));
    EXPECT_TRUE(second == rest || second == again) << stop;
    EXPECT_EQ(controls.status(), totals) << stop;
    EXPECT_EQ(run.m_pageCount, pages) << stop;
    EXPECT_EQ(outputs(), written) << stop;
  }
}

TEST_F(ResumedCrawl, AResumeWithOtherQueueOptionsIsRefusedNamingTheDifference) {
  controls.texts[Field::kCount] = "4";
  EXPECT_EQ(RunWith(download::JournalUse::kNew).result, RunResult::kRan);
  controls.texts[Field::kCount] = "100";
  filters.m_disableList = {"more"};
  transfer.calls.clear();
  controls.messages.clear();
  EXPECT_EQ(RunWith(download::JournalUse::kResume).refusal, TextId::kResumeDiffers);
  EXPECT_EQ(controls.messages, Lines{resources::ResumeDiffersText(Text(TextId::kDisableListColumn),
                                                                  "on", "on\nmore")});
  EXPECT_TRUE(Requested().empty());

  testing_support::WriteFile(m_temp / "state", "not a journal");
  controls.messages.clear();
  EXPECT_EQ(RunWith(download::JournalUse::kResume).refusal, TextId::kStateFileNotJournal);
  EXPECT_EQ(controls.messages,
            Lines{resources::PathMessage(TextId::kStateFileNotJournal, m_temp / "state")});

  // A journal that cannot be written (a full disk) refuses the crawl before any request.
  download::CrawlDriver driver(run, controls, transfer, renderer, filters, state);
  driver.SetJournal("/dev/full", download::JournalUse::kNew);
  EXPECT_EQ(driver.Crawl().refusal, TextId::kStateFileUnwritable);
  EXPECT_TRUE(Requested().empty());
}

TEST_F(ResumedCrawl, NoClobberKeepsFilesAndPicturesButStillFollowsThePagesLinks) {
  controls.texts[Field::kCount] = "5";  // d1, d2, d3, then d1's a.cgi and b.cgi
  testing_support::WriteFile(Out("http/s/d1/a.cgi"), "kept");
  testing_support::WriteFile(Out("http/s/d1/index.bmp"), "BM");
  testing_support::WriteFile(Out("http/s/d2/index.bmp"), "");  // empty: made again
  run.m_noClobber = true;
  EXPECT_EQ(RunWith(download::JournalUse::kNone).result, RunResult::kRan);
  EXPECT_EQ(Requested(),
            (Lines{"http://s/d1/index.html", "http://s/d2/index.html", "http://s/d3/index.html",
                   "http://s/d1/index.html", "http://s/d2/index.html", "http://s/d3/index.html",
                   "http://s/d1/b.cgi"}));
  EXPECT_EQ(RenderedLocations(), (Lines{"http://s/d2/index.html", "http://s/d3/index.html"}));
  EXPECT_EQ(ReadFile(Out("http/s/d1/a.cgi")), "kept");
  Lines kept;
  for (const auto& record : controls.records) {
    if (record.reason == convert::EntryReason::kExists) kept.push_back(record.source);
  }
  EXPECT_EQ(kept, (Lines{"http://s/d1/index.html", "http://s/d1/a.cgi"}));
}
