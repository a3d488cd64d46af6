// The table of settings keys: one key per field, what missing and empty keys read as, and the
// parse rules of the keys new options add (integers with a range, long texts kept as @FILE).
#include "settings/settings_keys.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "base/text.h"
#include "settings/settings_record.h"
#include "support/fake_run_controls.h"
#include "support/temp_folder.h"

namespace {

using settings::Field;
using settings::Key;
using settings::KeyDefinition;
using settings::KeyFile;
using settings::Rule;
using testing_support::ReadFile;
using testing_support::Sjis;
using testing_support::TempFolder;
using testing_support::WriteFile;

const std::string kSection = Sjis("初期表示");

TEST(SettingsKeys, EveryFieldHasExactlyOneKeyOfItsOwn) {
  std::set<std::string> names;
  for (const KeyDefinition& definition : settings::AllKeys()) {
    EXPECT_EQ(&settings::DefinitionOf(definition.key), &definition);
    EXPECT_FALSE(definition.name.empty());
    // Names match without letter case in a profile file, so they must differ without it too.
    EXPECT_TRUE(names.insert(base::ToLower(definition.name)).second) << definition.name;
    if (!definition.entryName.empty()) {
      EXPECT_TRUE(names.insert(base::ToLower(definition.entryName)).second) << definition.entryName;
    }
  }
  for (int i = 0; i < settings::kFieldCount; ++i) {
    const auto field = static_cast<Field>(i);
    Field back{};
    ASSERT_TRUE(settings::FieldOf(settings::KeyOf(field), back));
    EXPECT_EQ(back, field);
  }
  for (const auto& [field, name] : {std::pair{Field::kSub, "Sub"},
                                    {Field::kAnotherUrl, "ANOTHERURL"},
                                    {Field::kCgi1, "Cgi1"},
                                    {Field::kFrom2, "From2"},
                                    {Field::kTo6, "To6"},
                                    {Field::kStep6, "Step6"}}) {
    EXPECT_EQ(settings::KeyName(field), name);
  }
}

// What the window reads for a key that is missing and for one stored empty, field by field.
TEST(SettingsKeys, MissingAndEmptyKeysReadAsTheWindowAlwaysRead) {
  std::string everyKeyEmpty = "[" + kSection + "]\r\n";
  for (const KeyDefinition& definition : settings::AllKeys())
    everyKeyEmpty += std::string(definition.name) + "=\r\n";
  for (const std::string& content : {std::string(), everyKeyEmpty}) {
    TempFolder folder;
    if (!content.empty()) WriteFile(folder / "s.ini", content);
    testing_support::FakeRunControls controls;
    settings::FilterLists lists;
    settings::SettingsRecord record(controls, lists);
    record.SetSettingsPath(folder / "s.ini");
    controls.rowEnabled.fill(true);
    record.LoadSettings();
    for (bool enabled : controls.rowEnabled) EXPECT_FALSE(enabled);
    EXPECT_TRUE(controls.messages.empty());
    for (int i = 0; i < settings::kFieldCount; ++i) {
      const auto field = static_cast<Field>(i);
      if (settings::IsSwitch(field)) {
        EXPECT_EQ(controls.IsOptionChecked(field), field == Field::kAnotherUrl)
            << settings::KeyName(field);
      } else {
        EXPECT_EQ(controls.GetOptionText(field), field == Field::kLinkCount ? "500" : "")
            << settings::KeyName(field);
      }
    }
    EXPECT_FALSE(lists.m_enable);
    EXPECT_FALSE(lists.m_disable);
    EXPECT_TRUE(lists.m_enableList.empty());
    const settings::ProfileFile profile;
    EXPECT_FALSE(
        KeyFile(profile, folder / "s.ini").Switch(settings::DefinitionOf(Key::kUntilLoaded)));
  }
}

TEST(SettingsKeys, UntilLoadedIsOnForOnOrOne) {
  for (const auto& [stored, on] : {std::pair{"on", true},
                                   {"1", true},
                                   {"ON", false},
                                   {"2", false},
                                   {"off", false},
                                   {"yes", false}}) {
    TempFolder folder;
    WriteFile(folder / "s.ini", "[" + kSection + "]\r\nUntilLoaded=" + stored + "\r\n");
    const settings::ProfileFile profile;
    EXPECT_EQ(KeyFile(profile, folder / "s.ini").Switch(settings::DefinitionOf(Key::kUntilLoaded)),
              on)
        << stored;
  }
}

// The rules for keys that options beyond the window's add.
constexpr KeyDefinition kTimeout{
    Key::kCount_, resources::TextId::kSettingsSection, "Timeout", "", Rule::kInteger, "30", "30", 1,
    3600};
constexpr KeyDefinition kHeaders{
    Key::kCount_, resources::TextId::kSettingsSection, "Headers", "", Rule::kLongText, "", ""};

TEST(SettingsKeys, AnIntegerOutsideItsRangeOrNotWholeReadsAsMissing) {
  for (const auto& [stored, value] : {std::pair<std::string, int>{"45", 45},
                                      {"1", 1},
                                      {"3600", 3600},
                                      {"0", 30},
                                      {"3601", 30},
                                      {"-5", 30},
                                      {"12s", 30},
                                      {"", 30},
                                      {"99999999999", 30},
                                      {Sjis("１２"), 30}}) {
    TempFolder folder;
    WriteFile(folder / "s.ini", "[" + kSection + "]\r\nTimeout=" + stored + "\r\n");
    const settings::ProfileFile profile;
    EXPECT_EQ(KeyFile(profile, folder / "s.ini").Integer(kTimeout), value) << stored;
  }
}

TEST(SettingsKeys, ALongTextIsKeptInAFileTheKeyNames) {
  const std::string line = Sjis("X-表: 1");
  const std::string twoLines = line + "\r\n" + line;
  for (const std::string& text : {line, std::string(998, 'a'), std::string(999, 'b'),
                                  std::string(1000, 'c'), twoLines, std::string("@home")}) {
    TempFolder folder;
    const std::string path = folder / Sjis("設定.ini");
    const settings::ProfileFile profile;
    const KeyFile file(profile, path);
    ASSERT_TRUE(file.WriteText(kHeaders, text));
    EXPECT_EQ(file.Text(kHeaders), text) << text.size();
    const bool inFile = text.size() > 999 || text == twoLines || text[0] == '@';
    const std::string stored = inFile ? "@" + Sjis("設定.ini") + ".Headers.txt" : text;
    EXPECT_EQ(ReadFile(path), "[" + kSection + "]\r\nHeaders=" + stored + "\r\n") << text.size();
  }
  TempFolder folder;
  WriteFile(folder / "s.ini", "[" + kSection + "]\r\nHeaders=@missing.txt\r\n");
  const settings::ProfileFile profile;
  EXPECT_EQ(KeyFile(profile, folder / "s.ini").Text(kHeaders), "");
}

}  // namespace
