// The bytes where code page 932 and plain Shift_JIS part ways, held at every boundary: "~" and
// "\" are ASCII (not an overline and a yen sign), 0x81 0x60 is the fullwidth tilde (not the wave
// dash) and 0x87 0x40 is the circled digit one (which plain Shift_JIS lacks).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/encoding.h"
#include "base/file_system.h"
#include "base/text.h"
#include "support/temp_folder.h"

namespace {

using testing_support::TempFolder;

struct Name {
  std::string cp932;
  std::string utf8;  // the native name
};

const Name kNames[] = {
    {"~user.html", "~user.html"},
    {"a\\b.html", "a\\b.html"},
    {"\x81\x60.html", "\xEF\xBD\x9E.html"},  // fullwidth tilde U+FF5E
    {"\x87\x40.html", "\xE2\x91\xA0.html"},  // circled one U+2460
    {"\x87\x40\x81\x60~\\.htm", "\xE2\x91\xA0\xEF\xBD\x9E~\\.htm"},
    {"\x95\x5C\x87\x40", "\xE8\xA1\xA8\xE2\x91\xA0"},  // a trail byte 0x5C, then ①
};

TEST(CodePage932, ConvertsTheDifferingBytesBothWays) {
  for (const Name& name : kNames) {
    EXPECT_EQ(base::Cp932ToUtf8(name.cp932), name.utf8) << name.utf8;
    EXPECT_EQ(base::Utf8ToCp932(name.utf8), name.cp932) << name.utf8;
    const auto native = base::ToNativePath(name.cp932);
    ASSERT_TRUE(native.has_value()) << name.utf8;
    EXPECT_EQ(native->string(), name.utf8);
    EXPECT_EQ(base::FromNativeName(name.utf8), name.cp932) << name.utf8;
  }
}

// Files made under the native names are found, listed and read under the code-page-932 names.
TEST(CodePage932, FileNamesTravelThroughTheFileSystem) {
  TempFolder folder;
  for (const Name& name : kNames) {
    std::ofstream(std::filesystem::path(folder.path()) / name.utf8) << name.utf8;
  }
  std::vector<std::string> listed;
  for (const base::DirEntry& entry : base::ListDirectory(folder.path())) {
    if (!entry.IsDots()) listed.push_back(entry.name);
  }
  for (const Name& name : kNames) {
    EXPECT_EQ(std::count(listed.begin(), listed.end(), name.cp932), 1) << name.utf8;
    EXPECT_TRUE(base::FileExists(folder / name.cp932)) << name.utf8;
    EXPECT_EQ(base::ReadWholeFile(folder / name.cp932), name.utf8);
  }
  // And a file written under a code-page-932 name gets the native name.
  ASSERT_TRUE(base::WriteFileAtomically(folder / "\x87\x40\x81\x60.ini", "x"));
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(folder.path()) /
                                      "\xE2\x91\xA0\xEF\xBD\x9E.ini"));
}

// Case changes leave both bytes of a double-byte character, and searches never match at a trail
// byte: 0x40 ("@") in ①, 0x60 ("`") in ～, 0x5C ("\") in 表.
TEST(CodePage932, CaseAndSearchesKeepDoubleByteCharacters) {
  const std::string text = "A\x87\x40\x81\x60\x95\x5C~\\z";
  EXPECT_EQ(base::ToLower(text), "a\x87\x40\x81\x60\x95\x5C~\\z");
  EXPECT_EQ(base::ToUpper(text), "A\x87\x40\x81\x60\x95\x5C~\\Z");
  struct Case {
    std::string what;
    int found;
  } cases[] = {{"@", -1},       {"`", -1},       {"\\", 8},        {"~", 7},
               {"\x87\x40", 1}, {"\x81\x60", 3}, {"\x40\x81", -1}, {"\x5C~", -1}};
  for (const auto& c : cases) EXPECT_EQ(base::Find(text, c.what), c.found) << c.what;
  EXPECT_EQ(base::ReverseFindChar(text, '\\'), 8);
  EXPECT_EQ(base::ReplaceAll(text, "\\", "/"), "A\x87\x40\x81\x60\x95\x5C~/z");
}

}  // namespace
