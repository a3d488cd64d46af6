// The folder walk over real temporary trees: which entries render, where, descent and Stop; pipes,
// sockets, link loops, the output inside the source and names outside code page 932.
#include "convert/folder_walk.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "base/file_system.h"
#include "base/tools.h"
#include "convert/view_page_renderer.h"
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
      {"a.htm", true},
      {"B.HTML", true},
      {"c.shtml", true},
      {"d.Html", true},
      {"e.txt", false},
      {"html_notes.txt", true},
      {"x.htm.bak", true},
      {"html", true},
      {"ht.m", false},
      {Sjis("ページ.html"), true},
      {Sjis("表.HtM"), true},
      {Sjis("ォ") + "TML.txt", false},  // ォ is 0x83 0x48: its trail byte is an 'H'
      {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(convert::IsPageName(c.name), c.page) << c.name;
}

// The recording controls, keeping the run's report as well.
class ReportingControls : public testing_support::FakeRunControls {
 public:
  void RecordEntry(const convert::EntryRecord& record) override { records.push_back(record); }
  std::vector<convert::EntryRecord> records;
};

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
  ReportingControls controls;
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
      {"a.htm", ""},
      {"B.HTML", ""},
      {"c.shtml", ""},
      {"d.Html", ""},
      {"html_notes.txt", ""},
      {"x.htm.bak", ""},
      {"html", ""},
      {"html/inner.htm", "html/"},
      {"sub/deep/z.htm", "sub/deep/"},
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
    if (renderer.pages.size() == 3) state.m_stop.Request();
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
    if (renderer.pages.size() == 3) state.m_stop.Request();
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
  std::set<std::pair<std::string, std::string>> expected = {{"a.htm", ""}, {"sub2/c.htm", "sub2/"}};
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

// The walk on trees that fight back: entries that are no files, link loops, its own output
// inside the source, a folder too large to list at once, names outside code page 932.
class HostileTreeTest : public FolderWalkTest {
 protected:
  HostileTreeTest() {
    controls.checks[Field::kSub] = true;
    // A walk that runs away is stopped here, so that it fails instead of running for ever.
    renderer.onRender = [&](const auto&) {
      if (renderer.pages.size() > 200) state.m_stop.Request();
    };
  }
  ~HostileTreeTest() override {
    for (const int fd : m_descriptors) ::close(fd);
  }

  std::string Native(const std::string& relative) const { return src() + relative; }
  void Link(const std::string& target, const std::string& name) {
    ASSERT_EQ(::symlink(target.c_str(), Native(name).c_str()), 0) << name;
  }
  void Fifo(const std::string& name) {
    ASSERT_EQ(::mkfifo(Native(name).c_str(), 0644), 0) << name;
    // A writer holds the pipe open: whoever reads it would wait for data for ever.
    m_descriptors.push_back(::open(Native(name).c_str(), O_RDWR | O_NONBLOCK));
  }
  void Socket(const std::string& name) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    m_descriptors.push_back(fd);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    Native(name).copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0) << name;
  }
  // How often each source page (below src) was rendered.
  std::map<std::string, int> RenderCounts() const {
    std::map<std::string, int> counts;
    for (const auto& page : renderer.pages) ++counts[page.location.substr(src().size())];
    return counts;
  }

  std::vector<int> m_descriptors;
};

TEST_F(HostileTreeTest, EntriesThatAreNoFilesArePassedOverWithAWordAndARecord) {
  WriteFile(src() + "a.htm", "");
  WriteFile(src() + "sub/b.htm", "");
  Fifo("p.html");
  Fifo("sub/q.htm");
  Fifo("notes.txt");  // not named like a page: passed over without a word, as any such name
  Socket("s.html");
  Link("/dev/zero", "z.html");
  Link("nowhere.html", "dangling.html");
  Link("a.htm", "to-a.html");
  walk.ConvertFolder(src(), out());

  EXPECT_EQ(RenderCounts(),
            (std::map<std::string, int>{{"a.htm", 1}, {"sub/b.htm", 1}, {"to-a.html", 1}}));
  EXPECT_EQ(state.m_pageCount, 4) << "passed-over entries are not counted";
  const std::set<std::string> skipped = {"p.html", "sub/q.htm", "s.html", "z.html",
                                         "dangling.html"};
  std::set<std::string> recorded;
  for (const convert::EntryRecord& record : controls.records) {
    if (record.outcome == convert::EntryOutcome::kWritten) continue;  // a rendered page's
    recorded.insert(record.source.substr(src().size()));
    EXPECT_EQ(record.outcome, convert::EntryOutcome::kSkipped);
    EXPECT_EQ(record.reason, convert::EntryReason::kNotRegularFile);
    EXPECT_FALSE(record.output.has_value());
  }
  EXPECT_EQ(recorded, skipped);
  for (const char* name : {"p.html", "q.htm", "s.html", "z.html", "dangling.html"}) {
    const std::string word = resources::NotRegularFileText(name);
    EXPECT_EQ(std::count(controls.statusTexts.begin(), controls.statusTexts.end(), word), 1)
        << name;
  }
  EXPECT_EQ(resources::NotRegularFileText("p.html"),
            "p.html" + Sjis(" は通常のファイルではないため飛ばしました"));
  EXPECT_TRUE(controls.messages.empty());
}

TEST_F(HostileTreeTest, EveryRealFolderIsEnteredOnceWhateverLinksLeadToIt) {
  struct Case {
    const char* what;
    std::vector<std::pair<std::string, std::string>> links;  // (target, name below src)
    std::map<std::string, int> renders;
  } cases[] = {
      {"a link up to the parent", {{"..", "sub/up"}}, {{"a.htm", 1}, {"sub/b.htm", 1}}},
      {"two links to the folder itself",
       {{".", "x"}, {".", "y"}},
       {{"a.htm", 1}, {"sub/b.htm", 1}}},
      {"a link to the top from deep down",
       {{"../../..", "sub/deep/er/top"}},
       {{"a.htm", 1}, {"sub/b.htm", 1}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    renderer.pages.clear();
    state.m_stop.Clear();
    WriteFile(src() + "a.htm", "");
    WriteFile(src() + "sub/b.htm", "");
    base::CreateFolderPath(src() + "sub/deep/er/");
    for (const auto& [target, name] : c.links) Link(target, name);
    walk.ConvertFolder(src(), out());
    EXPECT_EQ(RenderCounts(), c.renders);
    for (const auto& [target, name] : c.links) ::unlink(Native(name).c_str());
  }
  // A second name for a real folder: its pages are rendered once, under whichever name came first.
  renderer.pages.clear();
  Link("sub", "alias");
  walk.ConvertFolder(src(), out());
  int bRenders = 0;
  for (const auto& page : renderer.pages) bRenders += page.name == "b.htm";
  EXPECT_EQ(bRenders, 1);
  EXPECT_TRUE(controls.messages.empty());
}

TEST_F(HostileTreeTest, TheOutputFolderIsNeverEnteredWhereverItLies) {
  for (const std::string output : {"out/", "sub/out/", "sub/deep/"}) {
    SCOPED_TRACE(output);
    renderer.pages.clear();
    WriteFile(src() + "a.htm", "");
    WriteFile(src() + "sub/b.htm", "");
    walk.ConvertFolder(src(), src() + output);
    EXPECT_EQ(RenderCounts(), (std::map<std::string, int>{{"a.htm", 1}, {"sub/b.htm", 1}}));
    EXPECT_FALSE(base::FileExists(src() + output + output)) << "no output nested in itself";
    EXPECT_TRUE(controls.messages.empty());
    if (HasFailure()) return;  // a nested output tree would make the next walk run for ages
  }
  // Reached through a link, it is still the output folder.
  renderer.pages.clear();
  Link("../out", "to-out");
  WriteFile(out() + "old.htm", "");
  walk.ConvertFolder(src(), out());
  EXPECT_EQ(RenderCounts().count("to-out/old.htm"), 0u);
}

TEST_F(HostileTreeTest, ListingALargeFolderKeepsTheWindowAliveAndSeesStop) {
  constexpr int kFiles = 3000;
  for (int i = 0; i < kFiles; ++i) WriteFile(src() + "f" + std::to_string(i) + ".txt", "");
  WriteFile(src() + "page.htm", "");
  walk.ConvertFolder(src(), out());
  EXPECT_EQ(renderer.pages.size(), 1u);
  // The window has its events at least every kEntriesPerPump entries, while the folder is
  // listed and while its entries are gone through (more often is as good).
  EXPECT_GE(controls.pumps, 2 * (kFiles / convert::FolderWalk::kEntriesPerPump));

  // Stop pressed at the first pump is seen within that round: no further round of entries is
  // listed or gone through (it would end with a pump), and nothing is rendered.
  renderer.pages.clear();
  int pumpsAfterStop = 0;
  controls.onPump = [&] {
    pumpsAfterStop += state.m_stop.Requested();
    state.m_stop.Request();
  };
  EXPECT_EQ(walk.ConvertFolder(src(), out()), convert::FolderWalk::FolderEnd::kStopped);
  EXPECT_EQ(pumpsAfterStop, 0);
  EXPECT_TRUE(renderer.pages.empty());
}

TEST_F(HostileTreeTest, NamesOutsideTheCodePageAreConvertedUnderTheirOwnNames) {
  const std::string names[] = {"café.html",   "Straße.htm", "한국어.html",   "\xFF\xFE-raw.html",
                               "ページ.html", "plain.html", "café/inner.htm"};
  base::CreateFolderPath(src());
  ASSERT_EQ(::mkdir(Native("café").c_str(), 0777), 0);
  for (const std::string& name : names) {
    const int fd = ::open(Native(name).c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0) << name;
    ASSERT_EQ(::write(fd, name.data(), name.size()), static_cast<ssize_t>(name.size()));
    ::close(fd);
  }
  walk.ConvertFolder(src(), out());

  std::set<std::string> rendered;  // native names below src, read back through the page paths
  for (const auto& page : renderer.pages) {
    const std::string native = base::ToNativePath(page.location).value_or("?").native();
    const std::string relative = native.substr(src().size());
    rendered.insert(relative);
    EXPECT_EQ(base::ReadWholeFile(page.location), relative) << relative;
    EXPECT_EQ(base::ToNativePath(page.name).value_or("?").native(),
              relative.substr(relative.rfind('/') + 1));
    const std::string outputFolder = base::ToNativePath(page.outputFolder).value_or("?").native();
    EXPECT_EQ(outputFolder, relative.starts_with("café/") ? out() + "café/" : out()) << relative;
  }
  EXPECT_EQ(rendered, std::set<std::string>(std::begin(names), std::end(names)));
  EXPECT_TRUE(base::IsDirectory(out() + base::FromNativeName("café")));
  EXPECT_EQ(controls.records.size(), renderer.pages.size()) << "one record for each page";
}

}  // namespace

TEST_F(FolderWalkTest, NoClobberRendersOnlyThePagesWhosePictureIsMissingOrEmpty) {
  MakeTree();
  controls.checks[Field::kSub] = true;
  // Each rendered page leaves a picture, as the real renderer does.
  renderer.onRender = [](const convert::PageJob& page) {
    WriteFile(
        *convert::OutputPathFor(page.outputFolder, page.name, convert::DefaultPictureFormat()),
        "BM");
  };
  walk.ConvertFolder(src(), out());
  const std::size_t pages = renderer.pages.size();
  ASSERT_EQ(::unlink(base::ToNativePath(out() + "sub/deep/z.bmp")->c_str()), 0);
  WriteFile(out() + "a.bmp", "");  // an empty picture is no picture

  renderer.pages.clear();
  controls.records.clear();
  state.m_noClobber = true;
  walk.ConvertFolder(src(), out());
  const std::set<std::pair<std::string, std::string>> rendered = {{"a.htm", ""},
                                                                  {"sub/deep/z.htm", "sub/deep/"}};
  EXPECT_EQ(Rendered(), rendered);
  std::size_t kept = 0;
  for (const convert::EntryRecord& record : controls.records) {
    if (record.outcome != convert::EntryOutcome::kSkipped) continue;
    ++kept;
    EXPECT_STREQ(convert::ReasonToken(record.reason), "exists") << record.source;
    EXPECT_TRUE(base::IsNonEmptyFile(record.output.value())) << record.source;
  }
  EXPECT_EQ(kept, pages - rendered.size());
}
