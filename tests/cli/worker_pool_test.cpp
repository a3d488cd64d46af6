// The worker pool with stand-in workers that answer, misbehave, hang, die or flood: every page
// ends with a record that names it, its picture where the record says, and the run goes on.
#include "cli/worker_pool.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <cstdlib>
#include <string>
#include <vector>

#include "cli/cli_controls.h"
#include "cli/run_report.h"
#include "convert/picture_file.h"
#include "support/temp_folder.h"

namespace cli {
namespace {

using convert::EntryOutcome;
using convert::EntryReason;
using testing_support::ReadFile;
using testing_support::TempFolder;

class WorkerPoolTest : public ::testing::Test {
 protected:
  WorkerPoolTest()
      : m_report(/*quiet=*/true, /*live=*/false), m_controls(m_options, m_state, m_report) {
    // The stand-in workers need no display, but the pool wants one named.
    setenv("DISPLAY", ":stand-in", 1);
    m_state.m_writePath = m_folder.path();
    m_pool.jobs = 3;
    m_pool.display.useCurrentDisplay = true;
    m_pool.pageTimeout = std::chrono::milliseconds(500);
    m_pool.workerCommand = {RENDORA_BINARY_DIR "/tests/fake_render_worker"};
  }

  // Hands each page to a pool and waits for the end.
  void Render(const std::vector<std::string>& pages) {
    WorkerPool pool(m_state, m_controls, m_pool,
                    [this](const convert::EntryRecord& record) { m_records.push_back(record); });
    for (const std::string& page : pages) {
      convert::PageJob job{m_folder / "in/" + page, page + ".html", m_folder.path(), 1, {}};
      job.known.kind = "url";  // what the crawl knew of the page travels with it
      const convert::PageResult result = pool.RenderPage(job);
      // Records come only through the callback, never with the hand-over.
      EXPECT_FALSE(result.record) << page;
      if (result.taken == convert::PageTaken::kRunStops) break;
      EXPECT_EQ(result.taken, convert::PageTaken::kHandedOn) << page;
    }
    pool.Finish();
  }

  TempFolder m_folder;
  convert::RunState m_state;
  settings::OptionValues m_options;
  RunReport m_report;
  CliControls m_controls;
  PoolOptions m_pool;
  std::vector<convert::EntryRecord> m_records;
};

struct Expected {
  const char* page;
  EntryOutcome outcome;
  convert::EntryReason reason;
};

TEST_F(WorkerPoolTest, EveryPageEndsWithItsRecordAndThePictureWhereTheRecordSays) {
  const std::vector<Expected> cases = {
      {"written", EntryOutcome::kWritten, EntryReason::kNone},
      {"loading", EntryOutcome::kIncomplete, EntryReason::kNone},
      {"fails", EntryOutcome::kFailed, EntryReason::kNotLoaded},
      {"silent", EntryOutcome::kFailed, EntryReason::kTimeout},
      {"dies", EntryOutcome::kFailed, EntryReason::kRendererEnded},
      {"garbage", EntryOutcome::kFailed, EntryReason::kRendererEnded},
      {"flood", EntryOutcome::kFailed, EntryReason::kRendererEnded},
      // Announced waits are the page's own: longer than the timeout, yet no timeout.
      {"slow", EntryOutcome::kWritten, EntryReason::kNone},
      {"after", EntryOutcome::kWritten, EntryReason::kNone},
  };
  std::vector<std::string> pages;
  for (const Expected& c : cases) pages.push_back(c.page);
  Render(pages);

  ASSERT_EQ(m_records.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Expected& c = cases[i];
    SCOPED_TRACE(c.page);
    // Records come through the callback in the order the pages were handed over, whoever
    // finished first.
    EXPECT_EQ(m_records[i].source, m_folder / "in/" + c.page);
    EXPECT_EQ(m_records[i].outcome, c.outcome);
    EXPECT_EQ(m_records[i].reason, c.reason);
    EXPECT_EQ(m_records[i].kind, "url");
    const std::string picture = m_folder / std::string(c.page) + ".bmp";
    const bool pictured =
        c.outcome == EntryOutcome::kWritten || c.outcome == EntryOutcome::kIncomplete;
    EXPECT_EQ(m_records[i].output.has_value(), pictured);
    if (pictured) {
      EXPECT_EQ(m_records[i].output.value_or(""), picture);
    }
    EXPECT_EQ(ReadFile(picture), pictured ? "picture of " + (m_folder / "in/") + c.page : "");
  }
  // Nothing of the workers' folders is left in the output folder.
  EXPECT_EQ(ReadFile(m_folder / ".rendora-work-" + std::to_string(getpid())), "");
}

TEST_F(WorkerPoolTest, SplitPicturesComeOverPartByPartOrNotAtAll) {
  Render({"parts", "lostpart"});
  ASSERT_EQ(m_records.size(), 2u);
  const std::string first = m_folder / "parts.bmp";
  ASSERT_EQ(m_records[0].parts.size(), 3u);
  EXPECT_EQ(m_records[0].output, convert::PartPath(first, 1));
  for (int number = 1; number <= 3; ++number) {
    EXPECT_EQ(m_records[0].parts[number - 1].output, convert::PartPath(first, number));
    EXPECT_EQ(ReadFile(convert::PartPath(first, number)), "part " + std::to_string(number));
  }
  // A part that does not come takes the others away: no half set in the output folder.
  EXPECT_EQ(m_records[1].outcome, EntryOutcome::kFailed);
  EXPECT_EQ(m_records[1].reason, EntryReason::kWrite);
  EXPECT_TRUE(m_records[1].parts.empty());
  for (int number = 1; number <= 3; ++number) {
    EXPECT_FALSE(std::filesystem::exists(convert::PartPath(m_folder / "lostpart.bmp", number)));
  }
}

TEST_F(WorkerPoolTest, AWorkerProgramThatCannotRunFailsEachPageWithoutLosingOne) {
  m_pool.workerCommand = {"/nonexistent/render-worker"};
  Render({"one", "two", "three", "four", "five"});
  ASSERT_EQ(m_records.size(), 5u);
  for (const convert::EntryRecord& record : m_records) {
    EXPECT_EQ(record.outcome, EntryOutcome::kFailed);
    EXPECT_EQ(record.reason, EntryReason::kRendererEnded);
  }
}

}  // namespace
}  // namespace cli
