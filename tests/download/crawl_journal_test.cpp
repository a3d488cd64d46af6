// The crawl journal on a real file: what is written comes back, a seed in flight is produced
// again, and a continued journal drops a cut line before appending (cuts at every byte are the
// fuzzing harness's).
#include "download/crawl_journal.h"

#include <gtest/gtest.h>

#include "resources/texts.h"
#include "support/fake_run_controls.h"
#include "support/temp_folder.h"

namespace {

using download::JournalEntry;
using download::QueueKind;
using testing_support::ReadFile;
using testing_support::Sjis;
using testing_support::WriteFile;

const download::CrawlShape kShape = {{"template", "http://s/p@a@.html"}, {"count", "9"}};

// A journal of a crawl that seeded two pages, finished one, queued a link and a Japanese file
// name with a tab and a backslash in it.
std::vector<JournalEntry> WriteSample(download::CrawlJournal& journal) {
  const std::vector<JournalEntry> entries = {
      {"http://s/p1.html", QueueKind::kUrl, -1},
      {"http://s/p2.html", QueueKind::kUrl, -1},
      {"http://s/" + Sjis("表\t\\x.png"), QueueKind::kSrc, 0},
  };
  journal.Queued(entries[0]);
  journal.Seeded({1, 1, 1, 1, 1, 1});
  journal.Queued(entries[1]);
  journal.Seeded({2, 1, 1, 1, 1, 1});
  journal.SeedingDone("http://s/p2.html");
  journal.Queued(entries[2]);
  journal.Finished(0, 1);
  return entries;
}

TEST(CrawlJournal, ReadsBackWhatWasWritten) {
  testing_support::TempFolder temp;
  const std::string path = temp / "state";
  download::CrawlJournal journal;
  ASSERT_TRUE(journal.Create(path, kShape));
  const std::vector<JournalEntry> entries = WriteSample(journal);
  EXPECT_FALSE(journal.Failed());

  const std::string bytes = ReadFile(path);
  const download::JournalContents whole = download::ReadJournal(bytes);
  EXPECT_TRUE(whole.recognised);
  EXPECT_EQ(whole.shape, kShape);
  EXPECT_EQ(whole.queue, entries);
  EXPECT_EQ(whole.finished, (std::vector<bool>{true, false, false}));
  EXPECT_EQ(whole.successes, 1);
  EXPECT_TRUE(whole.seedingDone);
  EXPECT_EQ(whole.lastSeeded, "http://s/p2.html");
  EXPECT_EQ(whole.wholeBytes, bytes.size());
  EXPECT_FALSE(whole.Complete(9));

  // Cut after the second seed's entry, before its values: that seed is produced again.
  const std::size_t secondSeed = bytes.find("Q\turl\t-1\thttp://s/p2.html");
  const download::JournalContents seeding =
      download::ReadJournal(bytes.substr(0, bytes.find('\n', secondSeed) + 1));
  EXPECT_EQ(seeding.queue, std::vector<JournalEntry>{entries[0]});
  EXPECT_EQ(seeding.wholeBytes, secondSeed);
}

TEST(CrawlJournal, AContinuedJournalLosesTheCutLineAndKeepsAppending) {
  testing_support::TempFolder temp;
  const std::string path = temp / "state";
  {
    download::CrawlJournal journal;
    ASSERT_TRUE(journal.Create(path, kShape));
    WriteSample(journal);
  }
  const std::string bytes = ReadFile(path);
  // A power cut in the middle of the last line, and garbage a crash left behind it.
  WriteFile(path, bytes.substr(0, bytes.size() - 4) + std::string(8, '\0'));
  const auto cut = download::ReadJournalFile(path);
  ASSERT_TRUE(cut.has_value());
  EXPECT_EQ(cut->finished, (std::vector<bool>{false, false, false}));

  download::CrawlJournal journal;
  ASSERT_TRUE(journal.Continue(path, cut->wholeBytes));
  journal.Finished(0, 1);
  journal.Finished(2, 1);
  const auto continued = download::ReadJournalFile(path);
  EXPECT_EQ(continued->finished, (std::vector<bool>{true, false, true}));
  EXPECT_EQ(continued->successes, 2);
  EXPECT_EQ(continued->wholeBytes, ReadFile(path).size());
}

TEST(CrawlShape, TheFirstDifferenceIsNamedWithTheWindowsLabel) {
  testing_support::FakeRunControls controls;
  controls.texts[settings::Field::kCount] = "100";
  settings::FilterLists filters;
  filters.m_disableList = {"ad"};
  const download::CrawlShape before =
      download::DescribeCrawlShape("http://s/p@a@.html", controls, filters);
  EXPECT_FALSE(download::CompareShapes(before, before));

  controls.texts[settings::Field::kCount] = " 100";  // the same number
  filters.m_disableList = {"ad", "banner"};
  controls.checks[settings::Field::kCgi2] = true;
  controls.texts[settings::Field::kFrom2] = "1";
  const download::CrawlShape now =
      download::DescribeCrawlShape("http://s/p@a@.html", controls, filters);
  const auto difference = download::CompareShapes(before, now);
  ASSERT_TRUE(difference);
  EXPECT_EQ(download::ShapeLabel(difference->key), "@b@");
  EXPECT_EQ(difference->before, "off");
  EXPECT_EQ(difference->now, "1::");

  controls.checks[settings::Field::kCgi2] = false;
  const auto filter = download::CompareShapes(
      before, download::DescribeCrawlShape("http://s/p@a@.html", controls, filters));
  ASSERT_TRUE(filter);
  EXPECT_EQ(download::ShapeLabel(filter->key),
            resources::Text(resources::TextId::kDisableListColumn));
  EXPECT_EQ(resources::ResumeDiffersText("x", filter->before, filter->now),
            Sjis("前回と条件が違うため再開できません: x（前回: on, ad、今回: on, ad, banner）"));
}

}  // namespace
