// The real main window running: Start's routing and closing report, a folder conversion from
// end to end, the start-up choice of the settings file and the settings-file commands.
#include "app/main_dialog.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/textctrl.h>

#include <string>
#include <vector>

#include "app/app_tools.h"
#include "browser/event_pump.h"
#include "base/file_system.h"
#include "dialogs/download_options_dialog.h"
#include "dialogs/wx_text.h"
#include "resources/control_ids.h"
#include "resources/texts.h"
#include "support/temp_folder.h"
#include "support_gui/message_recorder.h"

namespace {

using resources::Text;
using resources::TextId;
using settings::Field;
using testing_support::MessageRecorder;
using testing_support::ReadFile;
using testing_support::Sjis;
using testing_support::TempFolder;
using testing_support::WriteFile;

// A settings file in code page 932 with CRLF lines, written from UTF-8 lines.
std::string SettingsFile(const std::vector<std::string>& lines) {
  std::string text = "[初期表示]\r\n";
  for (const auto& line : lines) text += line + "\r\n";
  return Sjis(text);
}

class MainWindowRunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MessageRecorder::Clear();
    m_startFolder = base::GetCurrentDirectory();
  }
  void TearDown() override {
    AppTools::SetFileChooser({});
    AppTools::SetFolderChooser({});
    if (m_dialog && !wxTheApp->IsScheduledForDestruction(m_dialog)) m_dialog->Destroy();
    browser::PumpPendingEvents();
    wxTheApp->ProcessIdle();
    base::SetCurrentDirectory(m_startFolder);
  }
  MainDialog& Open() {
    m_dialog = new MainDialog(m_program.path());
    m_dialog->Show();
    browser::PumpPendingEvents();
    return *m_dialog;
  }

  // The window set to convert m_work/pages into m_work/out quickly, 400 pixels wide.
  MainDialog& OpenForPages() {
    MainDialog& dialog = Open();
    dialog.SetOptionText(Field::kReadPath, m_work / "pages");
    dialog.SetOptionText(Field::kWritePath, m_work / "out");
    dialog.SetOptionText(Field::kSize, "400");
    dialog.SetOptionText(Field::kWait, "2");
    dialog.SetOptionText(Field::kPercent, "100");
    return dialog;
  }

  TempFolder m_program;
  TempFolder m_work;
  MainDialog* m_dialog = nullptr;
  std::string m_startFolder;
};

TEST_F(MainWindowRunTest, StartUpWithoutPointerFileUsesCorvaneAndLoadsNothing) {
  MainDialog& dialog = Open();
  EXPECT_EQ(dialog.SettingsPath(), m_program / "Corvane.ini");
  EXPECT_EQ(dialog.GetOptionText(Field::kReadPath), "");
  EXPECT_EQ(dialog.GetOptionText(Field::kSize), "");
  EXPECT_EQ(dialog.GetOptionText(Field::kLinkCount), "500");
  EXPECT_TRUE(dialog.IsOptionChecked(Field::kAnotherUrl));
  EXPECT_FALSE(dialog.IsOptionChecked(Field::kServer));
  EXPECT_FALSE(base::FileExists(m_program / "Corvane.ini")) << "nothing is written at start-up";
}

TEST_F(MainWindowRunTest, StartUpWithPointerFileLoadsItsSettingsIntoBothWindows) {
  const std::string settings = m_work / (Sjis("設定") + ".ini");
  WriteFile(settings,
            SettingsFile({"ReadPath=/pages/ページ/", "Size=640", "Sub=1", "Cgi3=off", "From3=1",
                          "Cgi4=on", "From4=7", "To4=9", "Step4=1", "Count=25", "SAME=on"}));
  WriteFile(m_program / "set.ini", Sjis("[初期表示]\r\nINI=") + settings + "\r\n");
  MainDialog& dialog = Open();
  EXPECT_EQ(dialog.SettingsPath(), settings);
  EXPECT_EQ(dialog.GetOptionText(Field::kReadPath), Sjis("/pages/ページ/"));
  EXPECT_EQ(dialog.GetOptionText(Field::kSize), "640");
  EXPECT_TRUE(dialog.IsOptionChecked(Field::kSub));
  EXPECT_EQ(dialog.GetOptionText(Field::kCount), "25");
  EXPECT_TRUE(dialog.IsOptionChecked(Field::kSame));
  auto* options = dialog.DownloadOptions();
  ASSERT_NE(options, nullptr);
  EXPECT_FALSE(options->IsShown()) << "the options window starts hidden";
  for (Field field : {Field::kFrom3, Field::kTo3, Field::kStep3}) {
    EXPECT_FALSE(options->ControlOf(field)->IsEnabled()) << settings::KeyName(field);
  }
  for (Field field : {Field::kFrom4, Field::kTo4, Field::kStep4}) {
    EXPECT_TRUE(options->ControlOf(field)->IsEnabled()) << settings::KeyName(field);
  }
  EXPECT_EQ(dialog.GetOptionText(Field::kFrom3), "1") << "a disabled row still shows its text";
}

TEST_F(MainWindowRunTest, EditsGiveBackTheExactBytesTheyWereGivenUntilTheUserTypes) {
  MainDialog& dialog = Open();
  // A character with two codes, a byte with no character, a lead byte cut from its trail.
  const std::string odd =
      "/pages/\xED\x40/a\x80"
      "b/\x88";
  for (Field field : {Field::kReadPath, Field::kCount, Field::kFrom6}) {
    dialog.SetOptionText(field, odd);
    EXPECT_EQ(dialog.GetOptionText(field), odd) << settings::KeyName(field);
  }
  auto* edit = dynamic_cast<wxTextCtrl*>(dialog.FindWindow(ids::kReadPathEdit));
  edit->ChangeValue(dialogs::ToWx(Sjis("/新しい/")));
  EXPECT_EQ(dialog.GetOptionText(Field::kReadPath), Sjis("/新しい/")) << "typed text is read";
}

TEST_F(MainWindowRunTest, StartRoutesAddressesToTheCrawlAndCompletesTheOutputPath) {
  MainDialog& dialog = Open();
  for (const std::string source : {"http://127.0.0.1:9/index.html", "HTTP://127.0.0.1:9/a.html"}) {
    MessageRecorder::Clear();
    const std::string output = m_work / source.substr(0, 4);
    dialog.SetOptionText(Field::kReadPath, source);
    dialog.SetOptionText(Field::kWritePath, output);
    dialog.SetOptionText(Field::kCount, "");  // the crawl refuses an empty count
    dialog.OnStart();
    EXPECT_EQ(dialog.m_run.m_writePath, output + "/");
    EXPECT_EQ(dialog.m_run.m_readPath, source) << "an address gets no '/'";
    EXPECT_EQ(MessageRecorder::Messages(),
              (std::vector<std::string>{Text(TextId::kFolderMissing), Text(TextId::kCountTooSmall),
                                        Text(TextId::kRunFinished)}))
        << source;
    EXPECT_TRUE(base::IsDirectory(output + "/")) << "the crawl made the output folder";
    EXPECT_EQ(dialog.GetOptionText(Field::kReadPath), source);
  }
}

TEST_F(MainWindowRunTest, StartWalksFoldersAndReportsTheCount) {
  MainDialog& dialog = Open();
  base::CreateDirectory(m_work / "empty");
  dialog.SetOptionText(Field::kReadPath, m_work / "empty");
  dialog.SetOptionText(Field::kWritePath, m_work / "bitmaps");
  dialog.OnStart();
  EXPECT_EQ(dialog.m_run.m_readPath, m_work / "empty/");
  EXPECT_EQ(dialog.m_run.m_writePath, m_work / "bitmaps/");
  EXPECT_EQ(MessageRecorder::Messages(), std::vector<std::string>{Text(TextId::kRunFinished)});
  EXPECT_EQ(dialog.FindWindow(ids::kStatus)->GetLabel(),
            dialogs::ToWx(resources::ProcessedCountText(0)));
  EXPECT_EQ(resources::ProcessedCountText(0), Sjis("0件のHTMLを処理しました"));
}

TEST_F(MainWindowRunTest, FolderRunConvertsEveryPageIntoABitmap) {
  WriteFile(m_work / "pages/a.html",
            "<html><body style='margin:0;background:#00ff00'><div style='height:300px'></div>"
            "</body></html>");
  WriteFile(m_work / (Sjis("pages/sub/ページ") + ".htm"),
            "<html><body style='margin:0;background:#0000ff'><div style='height:900px'></div>"
            "</body></html>");
  WriteFile(m_work / "pages/notes.txt", "not a page");
  MainDialog& dialog = Open();
  dialog.SetOptionText(Field::kReadPath, m_work / "pages");
  dialog.SetOptionText(Field::kWritePath, m_work / "out");
  dialog.SetOptionText(Field::kSize, "400");
  dialog.SetOptionText(Field::kWait, "20");  // about a second for each page to load
  dialog.SetOptionText(Field::kPercent, "100");
  dialog.SetOptionChecked(Field::kSub, true);
  dialog.OnStart();
  EXPECT_EQ(dialog.FindWindow(ids::kStatus)->GetLabel(),
            dialogs::ToWx(resources::ProcessedCountText(2)));

  struct Expected {
    std::string path;
    int width, height;
    unsigned char blue, green, red;
  } expected[] = {
      // The view is the page's width here (400), and a page lower than the view gets 10 rows.
      {m_work / "out/a.bmp", 400, 300 + 10, 0, 255, 0},
      {m_work / (Sjis("out/sub/ページ") + ".bmp"), 400, 900, 255, 0, 0},
  };
  for (const auto& e : expected) {
    const std::string bitmap = ReadFile(e.path);
    ASSERT_GT(bitmap.size(), 54u) << e.path;
    auto number = [&](int offset) {
      return static_cast<int>(static_cast<unsigned char>(bitmap[offset]) |
                              static_cast<unsigned char>(bitmap[offset + 1]) << 8 |
                              static_cast<unsigned char>(bitmap[offset + 2]) << 16 |
                              static_cast<unsigned char>(bitmap[offset + 3]) << 24);
    };
    EXPECT_EQ(bitmap.substr(0, 2), "BM");
    EXPECT_EQ(number(2), static_cast<int>(bitmap.size()));
    EXPECT_EQ(number(18), e.width) << e.path;
    EXPECT_EQ(number(22), e.height) << e.path;
    // The middle pixel shows the page's colour (rows are stored bottom row first).
    const int offset = number(10) + ((e.height / 2) * e.width + e.width / 2) * 4;
    EXPECT_EQ(static_cast<unsigned char>(bitmap[offset]), e.blue) << e.path;
    EXPECT_EQ(static_cast<unsigned char>(bitmap[offset + 1]), e.green) << e.path;
    EXPECT_EQ(static_cast<unsigned char>(bitmap[offset + 2]), e.red) << e.path;
  }
  EXPECT_FALSE(base::FileExists(m_work / "out/notes.bmp"));
}

// The settings file's ReportHtml makes the window's run write its report to look at, here in the
// output folder.
TEST_F(MainWindowRunTest, ARunWritesTheReportItsSettingsFileNames) {
  WriteFile(m_work / "pages/a.html", "<p>a</p>");
  WriteFile(m_program / "Corvane.ini", SettingsFile({"ReportHtml=seen.html"}));
  MainDialog& dialog = OpenForPages();
  dialog.OnStart();
  const std::string report = ReadFile(m_work / "out/seen.html");
  EXPECT_NE(report.find("href=\"a.bmp\""), std::string::npos) << report;
  EXPECT_NE(report.find("data:image/png;base64,"), std::string::npos);
}

TEST_F(MainWindowRunTest, PagesThatPrintOrAskForThingsNeverHoldUpTheWindowsRun) {
  const char* pages[][2] = {
      {"print.html", "<p>a</p><script>print();</script>"},
      {"timer.html", "<p>b</p><script>setTimeout(print, 10);</script>"},
      {"frame.html", "<iframe src='inner.htm'></iframe>"},
      {"inner.htm", "<script>print();</script>"},
      {"where.html", "<script>navigator.geolocation.getCurrentPosition(Date, Date);</script>"},
      {"close.html", "<p>c</p><script>window.close();</script>"},
  };
  for (const auto& page : pages) WriteFile(m_work / "pages/" + page[0], page[1]);
  MainDialog& dialog = OpenForPages();
  const std::size_t windows = wxTopLevelWindows.GetCount();
  dialog.OnStart();
  // Every page was converted, and no page opened a window of its own.
  EXPECT_EQ(dialog.FindWindow(ids::kStatus)->GetLabel(),
            dialogs::ToWx(resources::ProcessedCountText(std::size(pages))));
  for (const auto& page : pages) {
    const std::string name = page[0];
    EXPECT_TRUE(base::FileExists(m_work / "out/" + name.substr(0, name.find('.')) + ".bmp"))
        << name;
  }
  EXPECT_EQ(wxTopLevelWindows.GetCount(), windows);
}

TEST_F(MainWindowRunTest, TheCommandLineRunOfASavedFileWritesTheWindowsPicturesByteForByte) {
  WriteFile(m_work / "pages/text.html",
            Sjis("<html><body><h1>見出し Heading</h1><p>本文のテキスト。</p>"
                 "<div style='height:1500px;background:linear-gradient(#c33,#33c)'></div>"
                 "</body></html>"));
  WriteFile(m_work / "pages/sub/short.htm", "<p style='font:20px serif'>A short page.</p>");
  // The window's bitmaps, and pictures of another format split into parts.
  struct Case {
    std::vector<std::string> keys;
    std::vector<std::string> names;
  } cases[] = {
      // Read by Start from the file: the window has no control for what is asked of every page.
      {{"RemoveCount=1", "Remove1=div"}, {"text.bmp", "sub/short.bmp"}},
      {{"Format=webp", "Quality=100", "SplitHeight=700", "SplitOverlap=30"},
       {"text-001.webp", "text-002.webp", "sub/short.webp"}},
  };
  for (const Case& c : cases) {
    const std::string settings = m_work / "job.ini";
    std::vector<std::string> lines = {"ReadPath=" + m_work.path() + "pages/",
                                      "WritePath=" + m_work.path() + "out/",
                                      "Size=640",
                                      "Wait=10",
                                      "Percent=75",
                                      "Sub=1"};
    lines.insert(lines.end(), c.keys.begin(), c.keys.end());
    WriteFile(settings, SettingsFile(lines));
    WriteFile(m_program / "set.ini", Sjis("[初期表示]\r\nINI=") + settings + "\r\n");
    MainDialog& dialog = Open();
    dialog.OnStart();
    std::vector<std::string> window;
    for (const std::string& name : c.names) window.push_back(ReadFile(m_work / ("out/" + name)));
    ASSERT_GT(window[0].size(), 54u) << c.names[0];
    if (c.names[0] == "text.bmp") {
      const auto height = reinterpret_cast<const unsigned char*>(window[0].data() + 22);
      EXPECT_LT(height[0] | height[1] << 8, 1500 * 3 / 4) << "the 1,500 rows removed";
    }
    for (const std::string& name : c.names) std::remove((m_work / ("out/" + name)).c_str());
    dialog.Destroy();
    m_dialog = nullptr;

    const std::string command =
        std::string(RENDORA_BINARY_DIR) + "/rendora run " + settings + " --quiet 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (std::size_t i = 0; i < c.names.size(); ++i) {
      EXPECT_TRUE(ReadFile(m_work / ("out/" + c.names[i])) == window[i]) << c.names[i];
    }
  }
}

TEST_F(MainWindowRunTest, SettingsFileCommandsRefuseSetIniAndKeepTheCurrentFolder) {
  MainDialog& dialog = Open();
  const std::string before = dialog.SettingsPath();
  std::vector<int> modes;
  AppTools::SetFileChooser([&](int mode, const std::string&) {
    modes.push_back(mode);
    base::SetCurrentDirectory(m_program.path());  // a dialog may wander through folders
    return m_work / "other/SET.INI";
  });
  const std::string current = base::GetCurrentDirectory();
  dialog.OnSettingsOpen();
  dialog.OnSettingsSaveAs();
  dialog.OnSettingsNew();
  EXPECT_EQ(modes, (std::vector<int>{settings::kChooseExisting, settings::kChooseExisting,
                                     settings::kChooseNew}));
  EXPECT_EQ(MessageRecorder::Messages(),
            std::vector<std::string>(3, resources::ReservedNameMessage()));
  EXPECT_EQ(resources::ReservedNameMessage(), Sjis("set.iniは設定ファイルとして使用できません"));
  EXPECT_EQ(dialog.SettingsPath(), before);
  EXPECT_EQ(base::GetCurrentDirectory(), current) << "the current folder is restored";
}

TEST_F(MainWindowRunTest, BrowseButtonsPutTheChosenFolderWithASeparatorIntoTheirEdit) {
  MainDialog& dialog = Open();
  const std::string current = base::GetCurrentDirectory();
  std::string chosen;
  AppTools::SetFolderChooser([&] {
    base::SetCurrentDirectory(m_work.path());
    return chosen;
  });
  chosen = m_work / Sjis("入力");
  dialog.OnBrowseRead();
  EXPECT_EQ(dialog.GetOptionText(Field::kReadPath), chosen + "/");
  chosen = m_work / "out/";
  dialog.OnBrowseWrite();
  EXPECT_EQ(dialog.GetOptionText(Field::kWritePath), chosen) << "no second separator";
  chosen = "";  // cancelled: the edit keeps its text
  dialog.OnBrowseWrite();
  EXPECT_EQ(dialog.GetOptionText(Field::kWritePath), m_work / "out/");
  EXPECT_EQ(base::GetCurrentDirectory(), current);
}

TEST_F(MainWindowRunTest, NewThenSaveWritesEveryKeyAndPointsSetIniAtTheFile) {
  MainDialog& dialog = Open();
  const std::string chosen = m_work / (Sjis("新しい設定") + ".ini");
  AppTools::SetFileChooser([&](int, const std::string&) { return chosen; });
  dialog.OnSettingsNew();
  EXPECT_EQ(dialog.SettingsPath(), chosen);
  EXPECT_EQ(dialog.GetOptionText(Field::kSize), "800") << "New resets to the defaults";
  dialog.OnSettingsSave();
  EXPECT_EQ(MessageRecorder::Messages(), std::vector<std::string>{resources::SavedMessage(chosen)});
  const std::string saved = ReadFile(chosen);
  EXPECT_NE(saved.find("Size=800\r\n"), std::string::npos);
  EXPECT_NE(saved.find("DisableListCount=0\r\n"), std::string::npos);
  EXPECT_NE(ReadFile(m_program / "set.ini").find("INI=" + chosen), std::string::npos);
}

}  // namespace
