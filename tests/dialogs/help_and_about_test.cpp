// Help, the about box and the application icon: the help path and its message, the built help
// file beside the program, and the home-page button that leaves the box open.
#include "dialogs/about_dialog.h"
#include "dialogs/app_icon.h"
#include "dialogs/help_commands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/image.h>

#include "base/file_system.h"
#include "base/tools.h"
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
  struct Case {
    Help help;
    bool opens;
    bool expectOpened;
  };
  const Case cases[] = {
      {Help::kFile, true, true},       // present: opened, no message
      {Help::kMissing, true, false},   // missing: never handed to the desktop
      {Help::kFolder, true, false},    // a folder in its place is no help file
      {Help::kFile, false, false},     // present but no program takes it
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
    if (c.expectOpened) {
      EXPECT_TRUE(MessageRecorder::Messages().empty());
    } else {
      EXPECT_THAT(MessageRecorder::Messages(),
                  testing::ElementsAre(resources::Text(resources::TextId::kHelpMissingPrefix) + target));
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
}

TEST_F(HelpTest, OnHelpLooksBesideTheRunningProgramNotInTheCurrentFolder) {
  const std::string programFolder = base::GetModuleFolder("rendora");
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
    EXPECT_EQ(image.GetAlpha(0, 0), 0) << size;             // outside the page
    EXPECT_EQ(image.GetAlpha(size / 2, size * 3 / 4), 255) << size;  // the picture
  }
  EXPECT_TRUE(AppIcon().IsOk());
  EXPECT_EQ(AppIcons().GetIconCount(), 3u);
}

}  // namespace
}  // namespace dialogs
