// The Start command's run: routing to the crawl or the walk, path completion, closing report.
#include "convert/conversion_run.h"
#include "base/locations.h"

#include <gtest/gtest.h>

#include "base/file_system.h"
#include "support/fake_run_controls.h"
#include "support/recording_renderer.h"
#include "support/temp_folder.h"

namespace {

using settings::Field;
using testing_support::Sjis;
using testing_support::WriteFile;

class ConversionRunTest : public testing::Test {
 protected:
  ConversionRunTest()
      : run(state, controls, renderer, [this] {
          ++crawls;
          pageCountAtCrawl = state.m_pageCount;
          if (crawlPages >= 0) state.m_pageCount = 1 + crawlPages;
          return crawlOutcome;
        }) {
    base::SetCurrentDirectory(folder.path());
  }
  ~ConversionRunTest() override { base::SetCurrentDirectory(m_startFolder); }

  convert::RunOutcome Start(const std::string& source, const std::string& output) {
    controls.texts[Field::kReadPath] = source;
    controls.texts[Field::kWritePath] = output;
    return run.OnStart();
  }

  std::string m_startFolder = base::GetCurrentDirectory();
  testing_support::TempFolder folder;
  testing_support::FakeRunControls controls;
  testing_support::RecordingRenderer renderer;
  convert::RunState state;
  int crawls = 0;
  int crawlPages = -1;
  int pageCountAtCrawl = 0;
  convert::RunOutcome crawlOutcome;
  convert::ConversionRun run;
};

TEST_F(ConversionRunTest, OnlyHttpInAnyCaseAtTheVeryStartCrawls) {
  struct Case {
    std::string source;
    bool crawl;
  } cases[] = {
      {"http://server/@a@.html", true},
      {"HTTP://SERVER/", true},
      {"hTtPs://s/", true},
      {"http", true},
      {"htt", false},
      {" http://server/", false},
      {"pages", false},
      {Sjis("ページ"), false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(base::IsWebAddress(c.source), c.crawl) << c.source;
    const int before = crawls;
    Start(c.source, folder / "out");
    EXPECT_EQ(crawls - before, c.crawl ? 1 : 0) << c.source;
  }
}

TEST_F(ConversionRunTest, CrawlGetsTheSourceAsTypedAndTheOutputWithItsSeparator) {
  crawlPages = 3;
  state.m_pageCount = 42;  // left from an earlier run
  Start("HTTP://server/a", "");
  EXPECT_EQ(state.m_readPath, "HTTP://server/a");
  EXPECT_EQ(state.m_writePath, "/");  // an empty output becomes the root folder
  EXPECT_EQ(pageCountAtCrawl, 1);
  EXPECT_EQ(controls.messages, std::vector<std::string>{Sjis("処理終了")});
  EXPECT_EQ(controls.status(), Sjis("3件のHTMLを処理しました"));
}

TEST_F(ConversionRunTest, FolderRunCompletesBothPathsWalksAndReports) {
  WriteFile(folder / "pages/a.htm", "");
  WriteFile(folder / "pages/b.html", "");
  Start(folder / "pages", folder / "out");
  EXPECT_EQ(state.m_readPath, folder / "pages/");
  EXPECT_EQ(state.m_writePath, folder / "out/");
  EXPECT_EQ(renderer.pages.size(), 2u);
  EXPECT_EQ(controls.messages, std::vector<std::string>{Sjis("処理終了")});
  EXPECT_EQ(controls.status(), Sjis("2件のHTMLを処理しました"));

  // A folder with nothing to convert ends the same way, with 0.
  Start(folder / "nowhere/", folder / "out/");
  EXPECT_EQ(controls.messages.size(), 2u);
  EXPECT_EQ(controls.status(), Sjis("0件のHTMLを処理しました"));
}

TEST_F(ConversionRunTest, RelativeFoldersAreTakenFromTheFolderCurrentAtStart) {
  WriteFile(folder / "pages/a.htm", "");
  WriteFile(folder / "pages/sub/b.htm", "");
  controls.checks[Field::kSub] = true;
  Start("pages", "out");
  EXPECT_EQ(state.m_readPath, folder / "pages/");
  ASSERT_EQ(renderer.pages.size(), 2u);
  for (const auto& page : renderer.pages) {
    EXPECT_EQ(page.outputFolder, page.name == "a.htm" ? folder / "out/" : folder / "out/sub/");
  }
  EXPECT_TRUE(base::IsDirectory(folder / "out/sub"));
}

TEST_F(ConversionRunTest, StopEndsTheWalkWithTheCountSoFar) {
  for (const char* name : {"1.htm", "2.htm", "3.htm", "4.htm"}) WriteFile(folder / "p/" + name, "");
  state.m_stop.Request();  // a Stop from before this run is forgotten
  renderer.onRender = [&](const auto&) {
    if (renderer.pages.size() == 2) state.m_stop.Request();
  };
  EXPECT_EQ(Start(folder / "p", folder / "out").result, convert::RunResult::kStopped);
  EXPECT_EQ(renderer.pages.size(), 2u);
  EXPECT_EQ(controls.messages, std::vector<std::string>{Sjis("処理終了")});
  EXPECT_EQ(controls.status(), Sjis("2件のHTMLを処理しました"));
}

TEST_F(ConversionRunTest, StartDuringARunStartsNothing) {
  for (const char* name : {"1.htm", "2.htm"}) WriteFile(folder / "p/" + name, "");
  std::vector<convert::RunResult> nested;
  renderer.onRender = [&](const auto&) {
    nested.push_back(run.OnStart().result);  // Start pressed while rendering
  };
  EXPECT_EQ(Start(folder / "p", folder / "out").result, convert::RunResult::kRan);
  EXPECT_EQ(nested, std::vector<convert::RunResult>(2, convert::RunResult::kAlreadyRunning));
  EXPECT_EQ(renderer.pages.size(), 2u);
  EXPECT_EQ(controls.messages.size(), 1u);
  EXPECT_FALSE(state.m_running);
  Start(folder / "p", folder / "out");  // and a later Start runs again
  EXPECT_EQ(renderer.pages.size(), 4u);
}

TEST_F(ConversionRunTest, ClosingWindowEndsTheRunWithoutItsReport) {
  for (const char* name : {"1.htm", "2.htm", "3.htm"}) WriteFile(folder / "p/" + name, "");
  renderer.onRender = [&](const auto&) { state.m_closing = true; };
  EXPECT_EQ(Start(folder / "p", folder / "out").result, convert::RunResult::kStopped);
  EXPECT_EQ(renderer.pages.size(), 1u);
  EXPECT_TRUE(controls.messages.empty());
  EXPECT_FALSE(state.m_running);
}

// The outcome names the check that refused the run, so that a front end needs no message text.
TEST_F(ConversionRunTest, ARefusedRunNamesItsCheck) {
  WriteFile(folder / "file", "");
  const convert::RunOutcome walk = Start(folder.path(), folder / "file/out");
  EXPECT_EQ(walk.result, convert::RunResult::kRefused);
  EXPECT_EQ(walk.refusal, resources::TextId::kCannotCreateFolder);

  crawlOutcome = convert::RunOutcome::Refused(resources::TextId::kCountTooSmall);
  const convert::RunOutcome crawl = Start("http://s/", folder / "out");
  EXPECT_EQ(crawl.result, convert::RunResult::kRefused);
  EXPECT_EQ(crawl.refusal, resources::TextId::kCountTooSmall);
}

}  // namespace
