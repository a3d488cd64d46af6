// The settings record on real files: defaults, load rules, the first save's bytes, lists, save
// failures with their stop-or-continue rule, and the start-up choice of the settings file.
#include "settings/settings_record.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "base/file_system.h"
#include "base/locations.h"
#include "resources/texts.h"
#include "support/fake_run_controls.h"
#include "support/read_only_folder.h"
#include "support/temp_folder.h"

namespace {

using settings::Field;
using settings::FilterLists;
using settings::SettingsRecord;
using testing_support::FakeRunControls;
using testing_support::ReadFile;
using testing_support::Sjis;
using testing_support::TempFolder;
using testing_support::WriteFile;
using Strings = std::vector<std::string>;

const std::string kSection = Sjis("初期表示");

// Real profile files, except that writes of the chosen keys fail; records every key tried.
class FailingProfile : public settings::ProfileFile {
 public:
  bool WritePrivateProfileString(std::string_view section, std::string_view key,
                                 std::string_view value, std::string_view path) const override {
    tried.emplace_back(key);
    if (failing.count(std::string(key))) return false;
    return ProfileFile::WritePrivateProfileString(section, key, value, path);
  }
  std::set<std::string> failing;
  mutable Strings tried;
};

// A record whose settings file and program folder lie in a temporary folder.
struct Bench {
  explicit Bench(const settings::ProfileFile* profile = nullptr)
      : record(profile ? SettingsRecord(controls, lists, *profile)
                       : SettingsRecord(controls, lists)) {
    record.SetProgramFolder(folder.path());
    record.SetSettingsPath(folder / "my.ini");
  }
  TempFolder folder;
  FakeRunControls controls;
  FilterLists lists;
  SettingsRecord record;
};

// The record state whose first save is tests/settings/golden/first_save.ini.
void FillForGolden(FakeRunControls& controls, FilterLists& lists) {
  controls.SetOptionText(Field::kReadPath, Sjis("/データ/入力/"));  // ー ends in the byte '['
  controls.SetOptionText(Field::kWritePath, "/out/");
  controls.SetOptionText(Field::kSize, "1024");
  controls.SetOptionText(Field::kWait, "20");
  controls.SetOptionText(Field::kPercent, "50");
  controls.SetOptionChecked(Field::kSub, false);
  controls.SetOptionText(Field::kCount, "300");
  controls.SetOptionText(Field::kLinkCount, "");
  controls.SetOptionChecked(Field::kAnotherUrl, true);
  controls.SetOptionChecked(Field::kServer, false);
  controls.SetOptionChecked(Field::kSame, true);
  controls.SetOptionChecked(Field::kFilter, false);
  controls.SetOptionChecked(Field::kCgi1, true);
  controls.SetOptionText(Field::kFrom1, "1");
  controls.SetOptionText(Field::kTo1, "10");
  controls.SetOptionText(Field::kStep1, "1");
  controls.SetOptionText(Field::kStep4, " 2");
  lists.m_enable = true;
  lists.m_disable = false;
  lists.m_enableList = {"http://a/", Sjis("表")};
  lists.m_disableList = {"ad"};
}

std::string ReadGolden(const std::string& name) {
  return ReadFile(std::string(RENDORA_SOURCE_DIR) + "/tests/settings/golden/" + name);
}

std::string PointerValue(const Bench& bench) {
  std::string value;
  settings::ProfileFile().GetPrivateProfileString(kSection, "INI", "", value, 4096,
                                                  bench.record.PointerFilePath());
  return value;
}

void ExpectTexts(const FakeRunControls& controls,
                 const std::vector<std::pair<Field, std::string>>& texts) {
  for (const auto& [field, text] : texts) {
    EXPECT_EQ(controls.GetOptionText(field), text) << settings::KeyName(field);
  }
}

void ExpectChecks(const FakeRunControls& controls,
                  const std::vector<std::pair<Field, bool>>& checks) {
  for (const auto& [field, checked] : checks) {
    EXPECT_EQ(controls.IsOptionChecked(field), checked) << settings::KeyName(field);
  }
}

TEST(ResetSettings, SetsTheDefaultsAndDisablesThePlaceholderRows) {
  Bench bench;
  FillForGolden(bench.controls, bench.lists);
  bench.controls.rowEnabled.fill(true);
  bench.controls.SetStatusText("old");
  bench.record.ResetSettings();
  ExpectTexts(bench.controls, {{Field::kReadPath, "/"},
                               {Field::kWritePath, "/"},
                               {Field::kSize, "800"},
                               {Field::kWait, "10"},
                               {Field::kPercent, "100"},
                               {Field::kCount, "1000"},
                               {Field::kLinkCount, "500"},
                               {Field::kFrom1, ""},
                               {Field::kStep4, ""}});
  ExpectChecks(bench.controls, {{Field::kSub, true},
                                {Field::kAnotherUrl, false},
                                {Field::kServer, true},
                                {Field::kSame, false},
                                {Field::kFilter, false},
                                {Field::kCgi1, false}});
  EXPECT_EQ(bench.controls.status(), "");
  for (bool enabled : bench.controls.rowEnabled) EXPECT_FALSE(enabled);
  EXPECT_TRUE(bench.lists.m_enableList.empty());
  EXPECT_TRUE(bench.lists.m_disableList.empty());
  EXPECT_FALSE(bench.lists.m_enable);
  EXPECT_TRUE(bench.lists.m_disable);
}

TEST(LoadSettings, ReadsSwitchesOnlyFromTheirExactSpelling) {
  Bench bench;
  WriteFile(bench.record.SettingsPath(),
            "[" + kSection +
                "]\r\nReadPath=\r\nSize=640\r\nCount=\r\nLinkCount=\r\n"
                "ANOTHERURL=OFF\r\nServer=ON\r\nSAME=on\r\nFILTER=On\r\nCgi1=on\r\nFrom1=1\r\n"
                "Cgi3=ON\r\nTo3=9\r\nENABLE=on\r\nDISABLE=yes\r\nWait=" +
                std::string(1500, '7') + "\r\n");
  bench.record.LoadSettings();
  ExpectTexts(bench.controls, {{Field::kReadPath, ""},
                               {Field::kWritePath, ""},
                               {Field::kSize, "640"},
                               {Field::kWait, std::string(999, '7')},
                               {Field::kPercent, ""},
                               {Field::kCount, ""},
                               {Field::kLinkCount, "500"},
                               {Field::kFrom1, "1"},
                               {Field::kTo3, "9"}});
  ExpectChecks(bench.controls, {{Field::kAnotherUrl, true},
                                {Field::kServer, false},
                                {Field::kSame, true},
                                {Field::kFilter, false},
                                {Field::kCgi1, true},
                                {Field::kCgi3, false}});
  EXPECT_EQ(bench.controls.rowEnabled,
            (std::array<bool, 6>{true, false, false, false, false, false}));
  EXPECT_TRUE(bench.lists.m_enable);
  EXPECT_FALSE(bench.lists.m_disable);
}

TEST(LoadSettings, SubIsOnForAnyNumberButZero) {
  struct Case {
    std::string line;
    bool on;
  } cases[] = {{"Sub=1", true}, {"Sub=0", false},  {"Sub=", false},  {"Sub=abc", false},
               {"Sub=2", true}, {"Sub= -1", true}, {"Sub=1x", true}, {"", false}};
  for (const auto& c : cases) {
    Bench bench;
    WriteFile(bench.record.SettingsPath(), "[" + kSection + "]\r\n" + c.line + "\r\n");
    bench.record.LoadSettings();
    EXPECT_EQ(bench.controls.IsOptionChecked(Field::kSub), c.on) << c.line;
  }
}

TEST(LoadSettings, ReadsListEntriesUpToTheStoredCount) {
  struct Case {
    std::string lines;
    Strings enable;
  } cases[] = {
      {"EnableListCount=3\nEnableURL1=a\nEnableURL3=c\nEnableURL4=d\n", {"a", "c"}},
      {"EnableListCount=3\nEnableURL1=a\nEnableURL2=\nEnableURL3=" + Sjis("表") + "\n",
       {"a", Sjis("表")}},
      {"EnableListCount=2x\nenableurl2=b\nEnableURL1=a\n", {"a", "b"}},
      {"EnableListCount=2\nEnableURL02=b\nEnableURL2=c\nEnableURL2=d\n", {"c"}},
      {"EnableListCount=abc\nEnableURL1=a\n", {}},
      {"EnableListCount=-2\nEnableURL1=a\n", {}},
      {"EnableURL1=a\n", {}},
      // A huge count reads what is there without a read per number.
      {"EnableListCount=2147483647\nEnableURL7=g\nEnableURL1=a\n", {"a", "g"}},
      {"EnableListCount=99999999999\nEnableURL1=a\n", {"a"}},
  };
  for (const auto& c : cases) {
    Bench bench;
    WriteFile(bench.record.SettingsPath(),
              "[" + kSection + "]\n" + c.lines + "DisableListCount=1\nDisableURL1=x\n");
    bench.record.LoadSettings();
    EXPECT_EQ(bench.lists.m_enableList, c.enable) << c.lines;
    EXPECT_EQ(bench.lists.m_disableList, Strings{"x"}) << c.lines;
  }
}

TEST(SaveSettings, AFirstSaveWritesEveryKeyInOrder) {
  Bench bench;
  FillForGolden(bench.controls, bench.lists);
  ASSERT_TRUE(bench.record.SaveSettings());
  EXPECT_EQ(ReadFile(bench.record.SettingsPath()), ReadGolden("first_save.ini"));
  EXPECT_EQ(ReadFile(bench.record.PointerFilePath()),
            "[" + kSection + "]\r\nINI=" + bench.record.SettingsPath() + "\r\n");
  EXPECT_TRUE(bench.controls.messages.empty());
}

TEST(SaveSettings, WhatIsSavedLoadsBackAndOtherContentStays) {
  Bench bench;
  WriteFile(bench.record.SettingsPath(),
            "; mine\n[Other]\nSize=1\n[" + kSection + "]\nSize=2\nUnknown=kept\n");
  FillForGolden(bench.controls, bench.lists);
  bench.controls.SetOptionText(Field::kWritePath, Sjis(" \"出力\" "));
  bench.controls.SetOptionText(Field::kTo6, std::string(1500, 't'));
  bench.controls.SetOptionChecked(Field::kCgi6, true);
  bench.record.Output() = {"webp", 40, 2000, 100};
  ASSERT_TRUE(bench.record.SaveSettings());

  FakeRunControls loaded;
  FilterLists lists;
  SettingsRecord other(loaded, lists);
  other.SetSettingsPath(bench.record.SettingsPath());
  other.LoadSettings();
  for (int field = 0; field <= static_cast<int>(Field::kStep6); ++field) {
    const auto f = static_cast<Field>(field);
    std::string expected = bench.controls.GetOptionText(f);
    if (f == Field::kLinkCount) expected = "500";  // saved empty
    if (f == Field::kTo6) expected.resize(999);
    EXPECT_EQ(loaded.GetOptionText(f), expected) << settings::KeyName(f);
    EXPECT_EQ(loaded.IsOptionChecked(f), bench.controls.IsOptionChecked(f)) << settings::KeyName(f);
  }
  EXPECT_EQ(lists.m_enableList, bench.lists.m_enableList);
  EXPECT_EQ(lists.m_disableList, bench.lists.m_disableList);
  EXPECT_TRUE(lists.m_enable);
  EXPECT_FALSE(lists.m_disable);
  EXPECT_EQ(other.Output(), bench.record.Output());

  const std::string file = ReadFile(bench.record.SettingsPath());
  EXPECT_EQ(file.rfind("; mine\n[Other]\nSize=1\n[" + kSection +
                           "]\nSize=1024\r\nUnknown=kept\n"
                           "ReadPath=",
                       0),
            0u);
}

TEST(SaveSettings, AShorterListLeavesOldKeysThatLoadIgnores) {
  Bench bench;
  bench.lists.m_enableList = {"1", "2", "3", "4", "5"};
  ASSERT_TRUE(bench.record.SaveSettings());
  bench.lists.m_enableList = {"a", "", "c"};
  ASSERT_TRUE(bench.record.SaveSettings());
  const std::string file = ReadFile(bench.record.SettingsPath());
  for (const std::string line :
       {"EnableListCount=3\r\n", "EnableURL2=\r\n", "EnableURL4=4\r\n", "EnableURL5=5\r\n"}) {
    EXPECT_NE(file.find(line), std::string::npos) << line;
  }
  bench.record.LoadSettings();
  EXPECT_EQ(bench.lists.m_enableList, (Strings{"a", "c"}));  // the empty entry is dropped
}

TEST(SaveSettings, ReportsEveryFailedKeyAndStopsOnlyForTheFirstFields) {
  const auto utf8 = [](const std::string& key) { return key + "の書き込みに失敗しました。"; };
  struct Case {
    std::set<std::string> failing;
    Strings messages;  // UTF-8
    bool result;
    std::string lastTried;
  } cases[] = {
      {{"INI"}, {"初期設定ファイルの書き込みに失敗しました。"}, false, "INI"},
      {{"ReadPath", "Size"}, {"読み込みパスの書き込みに失敗しました。"}, false, "ReadPath"},
      {{"WritePath"}, {"書き込みパスの書き込みに失敗しました。"}, false, "WritePath"},
      {{"Size"}, {"サイズの書き込みに失敗しました。"}, false, "Size"},
      {{"Wait", "Sub"}, {"待ち時間の書き込みに失敗しました。"}, false, "Wait"},
      {{"Percent"}, {"比率の書き込みに失敗しました。"}, false, "Percent"},
      {{"Sub", "Count", "LinkCount", "ANOTHERURL", "Server", "SAME", "FILTER", "Cgi1", "From2",
        "To3", "Step6", "ENABLE", "DISABLE", "EnableListCount", "EnableURL2", "DisableListCount",
        "DisableURL1", "Quality", "PerServer"},
       {"サブディレクトリの書き込みに失敗しました。", utf8("Count"), utf8("LinkCount"),
        utf8("ANOTHERURL"), utf8("Server"), utf8("SAME"), utf8("FILTER"), utf8("Cgi1"),
        utf8("From2"), utf8("To3"), utf8("Step6"), utf8("ENABLE"), utf8("DISABLE"),
        utf8("EnableListCount"), utf8("EnableURL2"), utf8("DisableListCount"), utf8("DisableURL1"),
        utf8("Quality"), utf8("PerServer")},
       true,
       "StateFile"},
  };
  for (const auto& c : cases) {
    FailingProfile profile;
    profile.failing = c.failing;
    Bench bench(&profile);
    FillForGolden(bench.controls, bench.lists);
    EXPECT_EQ(bench.record.SaveSettings(), c.result) << c.lastTried;
    Strings expected;
    for (const auto& message : c.messages) expected.push_back(Sjis(message));
    EXPECT_EQ(bench.controls.messages, expected) << c.lastTried;
    EXPECT_EQ(profile.tried.back(), c.lastTried);
    // Every key but the failed ones reached the file.
    if (c.result) {
      // INI, fixed keys, two lists, the pictures' keys, the connection keys with an empty
      // header list, the three keys that keep work from being done twice
      EXPECT_EQ(profile.tried.size(), 1u + 38u + 5u + 4u + 13u + 3u);
      std::string value;
      settings::ProfileFile().GetPrivateProfileString(kSection, "EnableURL1", "", value, 1000,
                                                      bench.record.SettingsPath());
      EXPECT_EQ(value, "http://a/");
    }
  }
}

TEST(SaveSettings, AMissingFolderStopsAtReadPathWithThePointerAlreadyWritten) {
  Bench bench;
  bench.record.SetSettingsPath(bench.folder / Sjis("無い/設定.ini"));
  EXPECT_FALSE(bench.record.SaveSettings());
  EXPECT_EQ(bench.controls.messages, Strings{Sjis("読み込みパスの書き込みに失敗しました。")});
  EXPECT_EQ(PointerValue(bench), bench.folder / Sjis("無い/設定.ini"));
  EXPECT_FALSE(std::filesystem::exists(bench.folder.path() + "無い"));
}

TEST(LoadStartupSettings, FollowsThePointerFileOrFallsBackToTheDefaultFile) {
  const std::string longName = std::string(120, 'd') + "/" + Sjis("長い名前のフォルダ") + "/" +
                               std::string(150, 'e') + "/s.ini";
  struct Case {
    std::string pointer;       // the INI line, or "" for no pointer file
    std::string settingsName;  // relative to the folder; "" means the default file
    bool fileExists;
    std::string size;  // the Size field afterwards
  } cases[] = {
      {"", "", false, "800"},
      {"INI=", "", false, "800"},
      {"INI=@", "chosen.ini", true, "640"},
      {"INI=@", "absent.ini", false, ""},  // a load from nothing
      {"INI=@", "LONG", true, "640"},      // longer than 260 bytes, kept whole
  };
  for (const auto& c : cases) {
    Bench bench;
    std::string settingsPath = bench.folder / c.settingsName;
    if (c.settingsName == "LONG") {
      settingsPath = bench.folder / longName;
      ASSERT_GT(settingsPath.size(), 300u);
    }
    if (c.fileExists) WriteFile(settingsPath, "[" + kSection + "]\r\nSize=640\r\n");
    if (!c.pointer.empty()) {
      std::string line = c.pointer;
      if (line == "INI=@") line = "INI=" + settingsPath;
      WriteFile(bench.record.PointerFilePath(), "[" + kSection + "]\r\n" + line + "\r\n");
    }
    bench.record.SetSettingsPath("");
    bench.record.LoadStartupSettings();
    const std::string expectedPath =
        c.settingsName.empty() ? bench.folder / "Corvane.ini" : settingsPath;
    EXPECT_EQ(bench.record.SettingsPath(), expectedPath) << c.pointer << c.settingsName;
    EXPECT_EQ(bench.controls.GetOptionText(Field::kSize), c.size) << c.pointer << c.settingsName;
    EXPECT_FALSE(std::filesystem::exists(bench.folder / "Corvane.ini"));
  }
}

// Installed, the program's folder may not be written: set.ini and the first-run settings file
// go to the user's config folder, which the first save makes and the next start reads back.
TEST(LoadStartupSettings, AReadOnlyProgramFolderKeepsItsSettingsInTheConfigFolder) {
  TempFolder home;
  const std::string program = home / "lib/rendora/";
  WriteFile(program + "rendora", "");
  // The environment holds the native (UTF-8) name.
  testing_support::ScopedEnvironment config("XDG_CONFIG_HOME", home.path() + "設定");
  // A build or a copied folder keeps them beside the program.
  EXPECT_EQ(base::SettingsFolder(program), program);

  testing_support::ReadOnlyFolder readOnly(program);
  const std::string folder = base::SettingsFolder(program);
  EXPECT_EQ(folder, home / Sjis("設定/rendora/"));
  for (const bool firstStart : {true, false}) {
    Bench start;
    start.record.SetProgramFolder(folder);
    start.record.LoadStartupSettings();
    EXPECT_EQ(start.record.SettingsPath(), folder + "Corvane.ini");
    if (firstStart) {
      start.controls.SetOptionText(Field::kSize, "1234");
      EXPECT_TRUE(start.record.SaveSettings());
      EXPECT_TRUE(start.controls.messages.empty());
      EXPECT_FALSE(base::FileExists(program + "set.ini"));
    } else {
      EXPECT_EQ(start.controls.GetOptionText(Field::kSize), "1234");
    }
  }

  // A relative XDG_CONFIG_HOME is ignored, as the base directory rules say: ~/.config is taken.
  testing_support::ScopedEnvironment relative("XDG_CONFIG_HOME", "config");
  testing_support::ScopedEnvironment user("HOME", home / "user");
  EXPECT_EQ(base::UserConfigFolder(), home / "user/.config/rendora/");
}

}  // namespace
