// Help, the about box and the application icon: the help path and its message, the built help
// file beside the program, and the home-page button that leaves the box open.
#include "dialogs/about_dialog.h"
#include "dialogs/app_icon.h"
#include "dialogs/help_commands.h"
#include "dialogs/help_viewer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/image.h>
#include <wx/listbox.h>
#include <wx/utils.h>
#include <wx/webview.h>

#include "base/file_system.h"
#include "base/tools.h"
#include "browser/event_pump.h"
#include "dialogs/wx_text.h"
#include "resources/control_ids.h"
#include "resources/texts.h"
#include "support/temp_folder.h"
#include "support_gui/message_recorder.h"
#include "window_driver.h"

namespace dialogs {
namespace {

using testing_support::MessageRecorder;
using testing_support::Sjis;
using testing_support::TempFolder;

class HelpTest : public ::testing::Test {
 protected:
  void SetUp() override { MessageRecorder::Clear(); }

  // An opener that records what it was asked to open and answers `m_opens`.
  DesktopOpener Recorder() {
    return [this](const std::string& target) {
      m_opened.push_back(target);
      return m_opens;
    };
  }
  std::vector<std::string> m_opened;
  bool m_opens = true;
};

TEST_F(HelpTest, OpensTheHelpFileBelowTheProgramFolderOrNamesThePathTried) {
  enum class Help { kFile, kMissing, kFolder };
  enum class Says { kNothing, kMissing, kNoViewer };
  struct Case {
    Help help;
    bool opens;
    bool expectOpened;
    Says says;
  };
  const Case cases[] = {
      {Help::kFile, true, true, Says::kNothing},      // present: opened, no message
      {Help::kMissing, true, false, Says::kMissing},  // missing: never handed to the desktop
      {Help::kFolder, true, false, Says::kMissing},   // a folder in its place is no help file
      {Help::kFile, false, false, Says::kNoViewer},   // present but nothing can show it
  };
  for (const Case& c : cases) {
    TempFolder temp;
    const std::string folder = temp / Sjis("プログラム/");  // a folder with Japanese in its path
    const std::string target = folder + "help/Rendora.chm";
    if (c.help == Help::kFile) testing_support::WriteFile(target, "ITSF");
    if (c.help == Help::kFolder) base::CreateFolderPath(target + "/");
    base::CreateDirectory(folder);
    MessageRecorder::Clear();
    m_opened.clear();
    m_opens = c.opens;

    EXPECT_EQ(HelpFilePath(folder), target);
    EXPECT_EQ(OpenHelpFile(nullptr, folder, Recorder()), c.expectOpened);
    const bool handedOn = c.help == Help::kFile;
    EXPECT_EQ(m_opened, handedOn ? std::vector<std::string>{target} : std::vector<std::string>{});
    if (c.says == Says::kNothing) {
      EXPECT_TRUE(MessageRecorder::Messages().empty());
    } else if (c.says == Says::kMissing) {
      EXPECT_THAT(
          MessageRecorder::Messages(),
          testing::ElementsAre(resources::Text(resources::TextId::kHelpMissingPrefix) + target));
    } else {
      EXPECT_THAT(MessageRecorder::Messages(),
                  testing::ElementsAre(resources::HelpNoViewerMessage(target)));
    }
  }
}

TEST_F(HelpTest, TheBuildPutsACompiledHelpFileBesideTheProgram) {
  // The program is <build>/rendora, so its help file is <build>/help/Rendora.chm.
  const std::string buildFolder = base::WithTrailingSeparator(RENDORA_BINARY_DIR);
  const auto bytes = base::ReadWholeFile(HelpFilePath(buildFolder));
  ASSERT_TRUE(bytes.has_value()) << HelpFilePath(buildFolder);
  EXPECT_EQ(bytes->substr(0, 4), "ITSF");  // the compiled help file's signature
  EXPECT_GT(bytes->size(), 4000u);
  EXPECT_TRUE(OpenHelpFile(nullptr, buildFolder, Recorder()));
  EXPECT_TRUE(MessageRecorder::Messages().empty());
  // The pages and their contents beside it, for the program's own viewer.
  const std::vector<HelpTopic> topics =
      ReadHelpContents(base::ReadWholeFile(HelpFolder(buildFolder) + "Rendora.hhc").value_or(""));
  ASSERT_GE(topics.size(), 8u);
  EXPECT_EQ(topics[0].page, "index.htm");
  for (const HelpTopic& topic : topics) {
    EXPECT_TRUE(base::FileExists(HelpFolder(buildFolder) + topic.page)) << topic.page;
  }
}

TEST(HelpContentsTest, ReadsEveryTopicWithItsPageAndDepth) {
  const std::string contents =
      "<HTML><BODY><OBJECT type=\"text/site properties\"><param name=\"ImageType\" "
      "value=\"Folder\"></OBJECT>\n<UL>\n<LI><OBJECT type=\"text/sitemap\">"
      "<param name=\"Name\" value=\"トップ\"><param name=\"Local\" value=\"index.htm\">"
      "</OBJECT>\n<UL><LI><object type=\"text/sitemap\"><PARAM NAME=\"name\" "
      "VALUE=\"Main Window\"><PARAM name=\"local\" value=\"Main.htm\"></object>"
      "<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"no page\"></OBJECT>"
      "</UL>\n<LI><OBJECT type=\"text/sitemap\"><param name=\"Local\" value=\"x.htm\">"
      "<param name=\"Name\" value=\"Last\"></OBJECT></UL></BODY></HTML>";
  struct Expected {
    const char* title;
    const char* page;
    int depth;
  } expected[] = {{"トップ", "index.htm", 0}, {"Main Window", "Main.htm", 1}, {"Last", "x.htm", 0}};
  const std::vector<HelpTopic> topics = ReadHelpContents(contents);
  ASSERT_EQ(topics.size(), std::size(expected));
  for (std::size_t i = 0; i < topics.size(); ++i) {
    EXPECT_EQ(topics[i].title, expected[i].title) << i;
    EXPECT_EQ(topics[i].page, expected[i].page) << i;
    EXPECT_EQ(topics[i].depth, expected[i].depth) << i;
  }
}

// Pumps until `done` holds or 20 seconds pass (a bound, not a measurement).
template <typename Condition>
bool PumpUntil(Condition done) {
  for (int i = 0; i < 10000 && !done(); ++i) {
    browser::PumpPendingEvents();
    wxMilliSleep(2);
  }
  return done();
}

TEST(HelpViewerTest, ShowsTheHelpPagesWithTheirContentsWithoutAnyOtherProgram) {
  const std::string buildFolder = base::WithTrailingSeparator(RENDORA_BINARY_DIR);
  // Nothing to show without the pages.
  TempFolder empty;
  EXPECT_FALSE(ShowHelpViewer(nullptr, empty.path() + "/"));

  HelpViewer viewer(nullptr, HelpFolder(buildFolder), "index.htm");
  viewer.Show();
  ASSERT_NE(viewer.View(), nullptr);
  const std::vector<HelpTopic>& topics = viewer.Topics();
  ASSERT_GE(topics.size(), 8u);
  EXPECT_EQ(viewer.Contents()->GetCount(), topics.size());
  EXPECT_EQ(viewer.Contents()->GetString(1), wxString::FromUTF8("  " + topics[1].title));
  // A page is shown when the view stands at it and has its title, the one its file names.
  const auto shows = [&](const std::string& page) {
    const std::string html = base::ReadWholeFile(HelpFolder(buildFolder) + page).value_or("");
    const std::size_t open = html.find("<title>");
    const std::size_t close = html.find("</title>");
    if (open == std::string::npos || close == std::string::npos) return false;
    const wxString title = wxString::FromUTF8(html.substr(open + 7, close - open - 7));
    return PumpUntil([&] {
      return !viewer.View()->IsBusy() &&
             viewer.View()->GetCurrentURL().EndsWith(wxString::FromUTF8("/" + page)) &&
             viewer.View()->GetCurrentTitle() == title;
    });
  };
  EXPECT_TRUE(shows("index.htm"));
  // Choosing a topic in the list shows its page.
  for (std::size_t i : {std::size_t{2}, topics.size() - 1}) {
    viewer.Contents()->SetSelection(static_cast<int>(i));
    wxCommandEvent chosen(wxEVT_LISTBOX, viewer.Contents()->GetId());
    chosen.SetInt(static_cast<int>(i));
    chosen.SetEventObject(viewer.Contents());
    viewer.Contents()->HandleWindowEvent(chosen);
    EXPECT_TRUE(shows(topics[i].page)) << topics[i].page;
  }
  EXPECT_FALSE(viewer.ShowPage("missing.htm"));
}

TEST_F(HelpTest, OnHelpLooksBesideTheRunningProgramNotInTheCurrentFolder) {
  const std::string programFolder = base::GetProgramFolder();
  if (base::FileExists(HelpFilePath(programFolder))) {
    GTEST_SKIP() << "a help file beside the test program would be opened for real";
  }
  // A help file in the current folder must not be taken instead.
  TempFolder temp;
  testing_support::WriteFile(temp / "help/Rendora.chm", "ITSF");
  const std::string before = base::GetCurrentDirectory();
  ASSERT_TRUE(base::SetCurrentDirectory(temp.path()));
  OnHelp(nullptr);
  base::SetCurrentDirectory(before);
  EXPECT_THAT(MessageRecorder::Messages(),
              testing::ElementsAre(resources::HelpMissingMessage(HelpFilePath(programFolder))));
}

TEST(AboutDialogTest, ShowsVersionAndHomePageAndStaysOpenWhenTheAddressIsOpened) {
  int homePageOpened = 0;
  AboutDialog dialog(nullptr, [&] { ++homePageOpened; });
  EXPECT_EQ(dialog.GetTitle(), WxText(resources::TextId::kAboutTitle));
  auto* homePage = testing_support::Control<wxButton>(&dialog, ids::kHomePageButton);
  const std::string_view address = resources::kHomePageAddress;
  EXPECT_EQ(homePage->GetLabel(), wxString::FromUTF8(address.data(), address.size()));
  testing_support::ExpectLaidOut(&dialog, 235, 55);

  int result = 0;
  testing_support::WithModal<AboutDialog>([&] { result = dialog.ShowModal(); },
                                          [&](AboutDialog& shown) {
                                            testing_support::Click(&shown, ids::kHomePageButton);
                                            EXPECT_EQ(homePageOpened, 1);
                                            EXPECT_TRUE(shown.IsModal());
                                            testing_support::PressKey(&shown, WXK_ESCAPE);
                                          });
  EXPECT_EQ(result, wxID_OK);
  EXPECT_EQ(homePageOpened, 1);
}

TEST(AppIconTest, IsAnOpaquePageOnATransparentGround) {
  for (const int size : {16, 32, 48}) {
    const wxImage image = AppIconBitmap(size).ConvertToImage();
    ASSERT_EQ(image.GetWidth(), size);
    ASSERT_TRUE(image.HasAlpha());
    EXPECT_EQ(image.GetAlpha(0, 0), 0) << size;                      // outside the page
    EXPECT_EQ(image.GetAlpha(size / 2, size * 3 / 4), 255) << size;  // the picture
  }
  EXPECT_TRUE(AppIcon().IsOk());
  EXPECT_EQ(AppIcons().GetIconCount(), 3u);
}

}  // namespace
}  // namespace dialogs
