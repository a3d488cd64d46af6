// The shared text and folder tools: fields, splitting, folder creation, with CP932 texts.
#include "base/tools.h"

#include <gtest/gtest.h>

#include <fstream>

#include "base/file_system.h"
#include "support/temp_folder.h"

namespace {

using testing_support::Sjis;

// The kanji coded 0x95 0x5C: its trail byte is the backslash byte.
const std::string kTrail5C = "\x95\x5C";

TEST(CountFields, CountsSeparatorsFromPositionOne) {
  struct Case {
    std::string text, separator;
    int fields;
  } cases[] = {
      {"C:\\a\\b\\", "\\", 4},
      {"\\a", "\\", 1},
      {"", "\\", 1},
      {"/out/new/", "/", 3},
      {"a,b,c", ",", 3},
      {"a", ",", 1},
      {"x" + kTrail5C + "y\\z", "\\", 2},
  };
  for (const auto& c : cases) EXPECT_EQ(base::CountFields(c.text, c.separator), c.fields) << c.text;
}

TEST(GetField, ReturnsFieldOrEmpty) {
  struct Case {
    std::string text;
    int index;
    std::string field;
  } cases[] = {
      {"C:\\a\\b\\", 0, "C:"},
      {"C:\\a\\b\\", 1, "a"},
      {"C:\\a\\b\\", 2, "b"},
      {"C:\\a\\b\\", 3, ""},
      {"C:\\a\\b\\", 9, ""},
      {"a\\\\b", 1, ""},
      {"a\\\\b", 2, "b"},
      {"\\a", 0, ""},
      {"", 0, ""},
      // A trail byte 0x5C is no separator: the character stays inside its field.
      {"x" + kTrail5C + "y\\z", 0, "x" + kTrail5C + "y"},
      {"x" + kTrail5C + "y\\z", 1, "z"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(base::GetField(c.text, "\\", c.index), c.field) << c.text << " #" << c.index;
  }
  EXPECT_EQ(base::GetField("img,src", ",", 1), "src");
  EXPECT_EQ(base::GetField("/out/new/", "/", 1), "out");
}

TEST(SplitAtLast, SplitsAtTheLastSeparator) {
  struct Case {
    std::string text;
    char ch;
    std::string left, right;
  } cases[] = {
      {"C:\\a\\b.htm", '\\', "C:\\a\\", "b.htm"},
      {"/a/b.htm", '/', "/a/", "b.htm"},
      {"page.html", '.', "page.", "html"},
      {"readme", '.', "", "readme"},
      {".htm", '.', "", "htm"},
      {"folder/", '/', "folder/", ""},
      {"a.b.html", '.', "a.b.", "html"},
      {"http://server/a/", '/', "http://server/a/", ""},
      {"http://server", '/', "http:/", "server"},
      // The trail byte 0x5C is not found as a separator...
      {"a\\" + kTrail5C + "b", '\\', "a\\", kTrail5C + "b"},
      {kTrail5C + "b", '\\', "", kTrail5C + "b"},
      // ...but a text whose last byte is 0x5C counts as ending in a backslash.
      {"a\\b" + kTrail5C, '\\', "a\\b" + kTrail5C, ""},
  };
  for (const auto& c : cases) {
    std::string left = "junk", right = "junk";
    EXPECT_EQ(base::SplitAtLast(c.text, left, right, c.ch), 1);
    EXPECT_EQ(left, c.left) << c.text;
    EXPECT_EQ(right, c.right) << c.text;
  }
}

TEST(CreateFolderPath, CreatesMissingFoldersOnly) {
  testing_support::TempFolder temp;
  const std::string target = temp / (Sjis("出力") + "/new/deep/");
  EXPECT_EQ(base::CreateFolderPath(target), 1);
  EXPECT_TRUE(base::IsDirectory(target));
  EXPECT_EQ(base::CreateFolderPath(target), 0) << "everything exists: nothing created";
  EXPECT_EQ(base::CreateFolderPath(temp / "a\\b\\", '\\'), 1) << "any separator works";
  EXPECT_TRUE(base::IsDirectory(temp / "a\\b\\"));
}

TEST(CreateFolderPath, LongPathsAreHandledWhole) {
  testing_support::TempFolder temp;
  std::string target = temp.path();
  while (target.size() < 1500) target += "folder_with_a_long_name/";
  EXPECT_EQ(base::CreateFolderPath(target), 1);
  EXPECT_TRUE(base::IsDirectory(target));
}

TEST(MakeFolderCurrent, CreatesAMissingFolderAfterSayingSoAndFailsWhereNoneCanBe) {
  testing_support::TempFolder temp;
  ASSERT_TRUE(base::CreateDirectory(temp / "there/"));
  { std::ofstream file(*base::ToNativePath(temp / "file")); }
  const std::string before = base::GetCurrentDirectory();
  struct Case {
    std::string folder;
    bool current;
    int announced;  // how often the folder was announced as missing
  } cases[] = {
      {temp / "there/", true, 0},
      {temp / (Sjis("新しい") + "/" + Sjis("表") + "/"), true, 1},
      {temp / "file/below/", false, 1},  // a file stands where a folder must be made
  };
  for (const auto& c : cases) {
    int announced = 0;
    const bool current = base::MakeFolderCurrent(c.folder, [&] {
      ++announced;
      EXPECT_FALSE(base::IsDirectory(c.folder)) << "announced after creating " << c.folder;
    });
    EXPECT_EQ(current, c.current) << c.folder;
    EXPECT_EQ(announced, c.announced) << c.folder;
    if (c.current) {
      EXPECT_EQ(base::WithTrailingSeparator(base::GetCurrentDirectory()), c.folder) << c.folder;
    }
  }
  ASSERT_TRUE(base::SetCurrentDirectory(before));
}

TEST(GetProgramFolder, IsTheProgramsFolder) {
  const std::string folder = base::GetProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), '/');
  EXPECT_TRUE(base::FileExists(folder + "test_base"));
}

}  // namespace
