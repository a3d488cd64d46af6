// The folder walk over real temporary trees: which entries render, where, descent and Stop.
#include "convert/folder_walk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "base/file_system.h"
#include "resources/texts.h"
#include "support/fake_run_controls.h"
#include "support/recording_renderer.h"
#include "support/temp_folder.h"

namespace {

using settings::Field;
using testing_support::Sjis;
using testing_support::WriteFile;

TEST(IsPageName, FindsHtmAnywhereInAnyCaseButNeverFromATrailByte) {
  struct Case {
    std::string name;
    bool page;
  } cases[] = {
      {"a.htm", true},          {"B.HTML", true},          {"c.shtml", true},
      {"d.Html", true},         {"e.txt", false},          {"html_notes.txt", true},
      {"x.htm.bak", true},      {"html", true},            {"ht.m", false},
      {Sjis("ページ.html"), true}, {Sjis("表.HtM"), true},
      {Sjis("ォ") + "TML.txt", false},  // ォ is 0x83 0x48: its trail byte is an 'H'
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(convert::IsPageName(c.name), c.page) << c.name;
}

class FolderWalkTest : public testing::Test {
 protected:
  FolderWalkTest() : walk(state, controls, renderer) { state.m_pageCount = 1; }
  ~FolderWalkTest() override { base::SetCurrentDirectory(m_startFolder); }

  // The tree of names the walk must tell apart.
  void MakeTree() {
    for (const char* name : {"a.htm", "B.HTML", "c.shtml", "d.Html", "e.txt", "html_notes.txt",
                             "x.htm.bak", "html/inner.htm", "sub/deep/z.htm"}) {
      WriteFile(src() + name, "<html></html>");
    }
    WriteFile(src() + "sub/" + Sjis("ページ.html"), "<html></html>");
    base::CreateDirectory(src() + "empty");
  }
  std::string src() const { return folder / "src/"; }
  std::string out() const { return folder / "out/"; }

  // (path below src, output folder below out) of every rendered entry, in any order.
  std::set<std::pair<std::string, std::string>> Rendered() const {
    std::set<std::pair<std::string, std::string>> pages;
    for (const auto& page : renderer.pages) {
      pages.emplace(page.location.substr(src().size()), page.outputFolder.substr(out().size()));
    }
    return pages;
  }

  std::string m_startFolder = base::GetCurrentDirectory();
  testing_support::TempFolder folder;
  testing_support::FakeRunControls controls;
  testing_support::RecordingRenderer renderer;
  convert::RunState state;
  convert::FolderWalk walk;
};

TEST_F(FolderWalkTest, WithoutSubfoldersRendersPageNamesOfTheTopFolderOnly) {
  MakeTree();
  walk.ConvertFolder(src(), out());
  const std::set<std::pair<std::string, std::string>> expected = {
      {"a.htm", ""},          {"B.HTML", ""},    {"c.shtml", ""}, {"d.Html", ""},
      {"html_notes.txt", ""}, {"x.htm.bak", ""}, {"html", ""},  // the folder named html itself
  };
  EXPECT_EQ(Rendered(), expected);
  EXPECT_EQ(state.m_pageCount, 8);
  EXPECT_TRUE(base::IsDirectory(out()));
  EXPECT_FALSE(base::FileExists(out() + "html"));
  EXPECT_FALSE(base::FileExists(out() + "empty"));
  EXPECT_FALSE(base::FileExists(out() + "sub"));
  for (const auto& page : renderer.pages) EXPECT_EQ(page.location, src() + page.name);
  EXPECT_TRUE(controls.messages.empty());
}

TEST_F(FolderWalkTest, WithSubfoldersMirrorsTheTreeAndRendersAFolderAfterItsContents) {
  MakeTree();
  controls.checks[Field::kSub] = true;
  walk.ConvertFolder(src(), out());
  const std::set<std::pair<std::string, std::string>> expected = {
      {"a.htm", ""},          {"B.HTML", ""},      {"c.shtml", ""}, {"d.Html", ""},
      {"html_notes.txt", ""}, {"x.htm.bak", ""},   {"html", ""},
      {"html/inner.htm", "html/"},                 {"sub/deep/z.htm", "sub/deep/"},
      {"sub/" + Sjis("ページ.html"), "sub/"},
  };
  EXPECT_EQ(Rendered(), expected);
  EXPECT_EQ(state.m_pageCount, 11);
  EXPECT_TRUE(base::IsDirectory(out() + "empty"));  // an empty source folder still gets its own
  EXPECT_TRUE(base::IsDirectory(out() + "sub/deep"));
  const auto at = [&](const std::string& location) {
    return std::find_if(renderer.pages.begin(), renderer.pages.end(),
                        [&](const auto& page) { return page.location == location; });
  };
  EXPECT_LT(at(src() + "html/inner.htm"), at(src() + "html"));
}

TEST_F(FolderWalkTest, StopDuringTheThirdPageStartsNoFurtherEntry) {
  for (const char* name : {"1.htm", "2.htm", "3.htm", "4.htm", "5.htm", "6.htm"}) {
    WriteFile(src() + name, "");
  }
  renderer.onRender = [&](const auto&) {
    if (renderer.pages.size() == 3) state.m_stopWalk = 1;
  };
  walk.ConvertFolder(src(), out());
  EXPECT_EQ(renderer.pages.size(), 3u);
  EXPECT_EQ(state.m_pageCount, 4);
}

TEST_F(FolderWalkTest, FolderCutShortByStopIsStillRenderedWhenNamedLikeAPage) {
  for (const char* name : {"1.htm", "2.htm", "3.htm", "4.htm"}) {
    WriteFile(src() + "html/" + name, "");
  }
  controls.checks[Field::kSub] = true;
  renderer.onRender = [&](const auto&) {
    if (renderer.pages.size() == 3) state.m_stopWalk = 1;
  };
  walk.ConvertFolder(src(), out());
  ASSERT_EQ(renderer.pages.size(), 4u);
  EXPECT_EQ(renderer.pages.back().location, src() + "html");
  EXPECT_EQ(state.m_pageCount, 5);
}

TEST_F(FolderWalkTest, OutputFolderThatCannotBeMadeIsReportedAndSkipped) {
  WriteFile(src() + "a.htm", "");
  WriteFile(src() + "sub/b.htm", "");
  WriteFile(src() + "sub2/c.htm", "");
  WriteFile(out() + "sub", "a file where the folder should go");
  controls.checks[Field::kSub] = true;
  walk.ConvertFolder(src(), out());
  EXPECT_EQ(controls.messages,
            std::vector<std::string>{Sjis("ディレクトリを作成できません。処理を終了します。")});
  std::set<std::pair<std::string, std::string>> expected = {{"a.htm", ""},
                                                            {"sub2/c.htm", "sub2/"}};
  EXPECT_EQ(Rendered(), expected);

  // At the top: nothing of the source is converted.
  renderer.pages.clear();
  controls.messages.clear();
  walk.ConvertFolder(src(), out() + "sub/x/");
  EXPECT_TRUE(renderer.pages.empty());
  EXPECT_EQ(controls.messages.size(), 1u);
}

TEST_F(FolderWalkTest, MissingSourceFolderYieldsNoPagesAndNoMessage) {
  walk.ConvertFolder(folder / "nowhere/", out());
  EXPECT_TRUE(renderer.pages.empty());
  EXPECT_TRUE(controls.messages.empty());
  EXPECT_EQ(base::GetCurrentDirectory() + "/", out());  // the output folder was made current
}

}  // namespace
