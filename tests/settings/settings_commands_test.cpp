// New, Open, Save and Save As with a recording chooser: the reserved name, cancelling, the modes
// asked for and the confirmation after a save.
#include "settings/settings_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/fake_run_controls.h"
#include "support/temp_folder.h"

namespace {

using settings::Field;
using settings::SettingsCommands;
using testing_support::FakeRunControls;
using testing_support::ReadFile;
using testing_support::Sjis;
using testing_support::TempFolder;
using testing_support::WriteFile;
using Strings = std::vector<std::string>;

const std::string kSection = Sjis("初期表示");

// A main window's worth of settings with a chooser that answers `answer` and records its calls.
struct Window {
  Window()
      : record(controls, lists), commands(record, [this](int mode, const std::string& initial) {
          asked.emplace_back(mode, initial);
          return answer;
        }) {
    record.SetProgramFolder(folder.path());
    record.SetSettingsPath(folder / "current.ini");
    controls.SetOptionText(Field::kSize, "1234");
  }
  TempFolder folder;
  FakeRunControls controls;
  settings::FilterLists lists;
  settings::SettingsRecord record;
  SettingsCommands commands;
  std::string answer;
  std::vector<std::pair<int, std::string>> asked;
};

using Command = void (SettingsCommands::*)();
struct NamedCommand {
  const char* name;
  Command command;
  int mode;
};
const NamedCommand kChoosingCommands[] = {
    {"New", &SettingsCommands::OnSettingsNew, settings::kChooseNew},
    {"Open", &SettingsCommands::OnSettingsOpen, settings::kChooseExisting},
    {"SaveAs", &SettingsCommands::OnSettingsSaveAs, settings::kChooseExisting},
};

TEST(IsReservedSettingsName, RefusesSetIniInAnyCaseAndFolderOnly) {
  struct Case {
    std::string path;
    bool reserved;
  } cases[] = {
      {"/home/u/set.ini", true},      {"/other/SET.INI", true}, {"Set.Ini", true},
      {Sjis("/表/set.ini"), true},    {"/a/myset.ini", false},  {"/a/set.ini.bak", false},
      {"/a/set.ini/", false},         {"/a/set.in", false},     {"", false},
      {Sjis("/a/ｓｅｔ.ini"), false},  // full-width letters are other characters
  };
  for (const auto& c : cases)
    EXPECT_EQ(settings::IsReservedSettingsName(c.path), c.reserved) << c.path;
}

TEST(SettingsCommands, CancelOrTheReservedNameChangesNothing) {
  for (const auto& named : kChoosingCommands) {
    for (const std::string& answer : {std::string(), std::string("/elsewhere/SET.ini")}) {
      Window window;
      window.answer = answer;
      (window.commands.*named.command)();
      ASSERT_EQ(window.asked.size(), 1u) << named.name;
      EXPECT_EQ(window.asked[0].first, named.mode) << named.name;
      EXPECT_EQ(window.asked[0].second, window.folder / "current.ini") << named.name;
      const Strings expected =
          answer.empty() ? Strings{}
                         : Strings{"set.ini" + Sjis("は設定ファイルとして使用できません")};
      EXPECT_EQ(window.controls.messages, expected) << named.name << answer;
      EXPECT_EQ(window.record.SettingsPath(), window.folder / "current.ini") << named.name;
      EXPECT_EQ(window.controls.GetOptionText(Field::kSize), "1234") << named.name;
      EXPECT_FALSE(std::filesystem::exists(window.record.PointerFilePath())) << named.name;
      EXPECT_FALSE(std::filesystem::exists(window.folder / "current.ini")) << named.name;
    }
  }
}

TEST(SettingsCommands, NewResetsTheRecordAndLeavesTheChosenFileAlone) {
  Window window;
  const std::string chosen = window.folder / Sjis("新規作成.ini");
  const std::string existing = "[Mine]\r\nKeep=1\r\n[" + kSection + "]\r\nSize=640\r\n";
  WriteFile(chosen, existing);
  window.answer = chosen;
  window.commands.OnSettingsNew();
  EXPECT_EQ(window.record.SettingsPath(), chosen);
  EXPECT_EQ(window.controls.GetOptionText(Field::kSize), "800");
  EXPECT_EQ(ReadFile(chosen), existing);
  EXPECT_FALSE(std::filesystem::exists(window.record.PointerFilePath()));

  // A later Save replaces the values of its keys and keeps the rest.
  window.commands.OnSettingsSave();
  EXPECT_EQ(window.controls.messages, Strings{chosen + Sjis("を保存しました")});
  const std::string saved = ReadFile(chosen);
  EXPECT_EQ(saved.rfind("[Mine]\r\nKeep=1\r\n[" + kSection + "]\r\nSize=800\r\nReadPath=/\r\n", 0),
            0u);
  EXPECT_NE(saved.find("DisableListCount=0\r\n"), std::string::npos);
  EXPECT_EQ(ReadFile(window.record.PointerFilePath()),
            "[" + kSection + "]\r\nINI=" + chosen + "\r\n");
}

TEST(SettingsCommands, OpenOfAMissingFileLoadsFromNothing) {
  Window window;
  window.answer = window.folder / "Typed.INI";
  window.commands.OnSettingsOpen();
  EXPECT_EQ(window.record.SettingsPath(), window.folder / "Typed.INI");
  EXPECT_EQ(window.controls.GetOptionText(Field::kSize), "");
  EXPECT_EQ(window.controls.GetOptionText(Field::kLinkCount), "500");
  EXPECT_TRUE(window.controls.IsOptionChecked(Field::kAnotherUrl));
  EXPECT_FALSE(window.controls.IsOptionChecked(Field::kServer));
  EXPECT_TRUE(window.controls.messages.empty());
}

TEST(SettingsCommands, SaveConfirmsOnlyASuccessfulSave) {
  Window window;
  window.commands.OnSettingsSave();
  EXPECT_TRUE(window.asked.empty());
  EXPECT_EQ(window.controls.messages,
            Strings{window.folder / "current.ini" + Sjis("を保存しました")});

  // Save As keeps the new path even when its save fails, and a failed Save confirms nothing.
  window.controls.messages.clear();
  window.answer = window.folder / "gone/my.ini";
  window.commands.OnSettingsSaveAs();
  EXPECT_EQ(window.record.SettingsPath(), window.folder / "gone/my.ini");
  window.commands.OnSettingsSave();
  EXPECT_EQ(window.controls.messages, Strings(2, Sjis("読み込みパスの書き込みに失敗しました。")));
}

}  // namespace
