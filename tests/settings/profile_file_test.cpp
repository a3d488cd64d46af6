// Profile files on real files: lookup, trimming and quotes, in-place edits, cuts and failed writes.
#include "settings/profile_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ReadFile;
using testing_support::Sjis;
using testing_support::TempFolder;
using testing_support::WriteFile;

const settings::ProfileFile kProfile;

mode_t ModeOf(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

std::string Get(std::string_view section, std::string_view key, const std::string& path,
                int bufferSize = 1000) {
  std::string out;
  kProfile.GetPrivateProfileString(section, key, "", out, bufferSize, path);
  return out;
}

bool Put(std::string_view section, std::string_view key, std::string_view value,
         const std::string& path) {
  return kProfile.WritePrivateProfileString(section, key, value, path);
}

// A file with everything a user or another program may leave in it.
std::string MixedFile(const std::string& eol) {
  return "; written by hand" + eol + "[Other]" + eol + "ReadPath=other" + eol + eol + "[" +
         Sjis("初期表示") + "]" + eol + "ReadPath = /in/" + eol + "  Size=800  " + eol + "# note" +
         eol + eol + "[Tail]" + eol + "x=1" + eol;
}

TEST(ProfileFileLookup, MatchesNamesWithoutAsciiCase) {
  TempFolder folder;
  const std::string path = folder / "a.ini";
  const std::string section = Sjis("初期表示");
  WriteFile(path,
            "top=before any section\r\n[Main]\r\nKey=main\r\n;Hidden=comment\r\n"
            "[" +
                section +
                "]\r\nReadPath=first\r\nreadpath=second\r\n"
                "[main]\r\nKey=duplicate section\r\nOnlyHere=x\r\n");
  struct Case {
    std::string section, key, value;
  } cases[] = {
      {"Main", "Key", "main"},  {"MAIN", "KEY", "main"},
      {"mAiN", "key", "main"},  {section, "READPATH", "first"},  // the first of two keys
      {"Main", "OnlyHere", ""},  // a later section of the same name is never seen
      {"Main", "top", ""},       // keys before any section belong to none
      {"Main", ";Hidden", ""},  {"Main", "Hidden", ""},  // comments hold no keys
      {"Missing", "Key", ""},   {Sjis("初期"), "ReadPath", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Get(c.section, c.key, path), c.value) << c.key;
}

TEST(ProfileFileLookup, TrimsValuesAndRemovesMatchingQuotes) {
  TempFolder folder;
  const std::string path = folder / "a.ini";
  struct Case {
    std::string stored, read;
  } cases[] = {
      {"  a b \t", "a b"},
      {"\"x\"", "x"},
      {"'x'", "x"},
      {"\" padded \"", " padded "},
      {"\"x'", "\"x'"},
      {"\"", "\""},
      {"\"\"", ""},
      {"a=b", "a=b"},
      {Sjis(" 表示 "), Sjis("表示")},
      {Sjis("\"ソ\""), Sjis("ソ")},  // ソ ends in the byte 0x5C
  };
  for (const auto& c : cases) {
    WriteFile(path, "[S]\nk=" + c.stored + "\n");
    EXPECT_EQ(Get("S", "k", path), c.read) << c.stored;
  }
}

TEST(ProfileFileLookup, ReadsLfAndCrlfAlike) {
  TempFolder folder;
  WriteFile(folder / "lf.ini", MixedFile("\n"));
  WriteFile(folder / "crlf.ini", MixedFile("\r\n"));
  for (const std::string name : {"lf.ini", "crlf.ini"}) {
    EXPECT_EQ(Get(Sjis("初期表示"), "ReadPath", folder / name), "/in/") << name;
    EXPECT_EQ(Get(Sjis("初期表示"), "Size", folder / name), "800") << name;
    EXPECT_EQ(Get("Tail", "x", folder / name), "1") << name;
  }
}

TEST(ProfileFileLookup, ResultIsBytesCopiedCutToBufferSizeLessOne) {
  TempFolder folder;
  const std::string path = folder / "a.ini";
  const std::string long1500(1500, 'v');
  WriteFile(path, "[S]\r\nlong=" + long1500 + "\r\nempty=\r\nshort=abc\r\n");
  struct Case {
    std::string key, defaultValue;
    int bufferSize;
    int copied;
    std::string out;
  } cases[] = {
      {"long", "", 1000, 999, long1500.substr(0, 999)},
      {"short", "", 1000, 3, "abc"},
      {"short", "", 3, 2, "ab"},
      {"short", "", 1, 0, ""},
      {"short", "", 0, 0, ""},
      {"empty", "dflt", 1000, 0, ""},  // an empty value is found: no default
      {"missing", "dflt", 1000, 4, "dflt"},
      {"missing", "", 1000, 0, ""},
  };
  for (const auto& c : cases) {
    std::string out = "stale";
    EXPECT_EQ(kProfile.GetPrivateProfileString("S", c.key, c.defaultValue, out, c.bufferSize, path),
              c.copied)
        << c.key << " " << c.bufferSize;
    EXPECT_EQ(out, c.out) << c.key << " " << c.bufferSize;
  }
  std::string out;
  EXPECT_EQ(kProfile.GetPrivateProfileString("S", "k", "", out, 1000, folder / "none.ini"), 0);
}

TEST(ProfileFileWrite, ReplacesAnExistingKeyInPlaceAndKeepsEveryOtherByte) {
  TempFolder folder;
  const std::string path = folder / "a.ini";
  const std::string section = Sjis("初期表示");
  WriteFile(path, MixedFile("\n"));
  ASSERT_TRUE(Put(section, "readpath", Sjis("/出力/"), path));
  ASSERT_TRUE(Put(section, "SIZE", "1024", path));
  EXPECT_EQ(ReadFile(path), "; written by hand\n[Other]\nReadPath=other\n\n[" + section +
                                "]\nreadpath=" + Sjis("/出力/") +
                                "\r\nSIZE=1024\r\n# note\n\n"
                                "[Tail]\nx=1\n");
}

TEST(ProfileFileWrite, AppendsKeysToTheirSectionAndSectionsToTheFile) {
  TempFolder folder;
  const std::string path = folder / "a.ini";
  const std::string section = Sjis("初期表示");
  WriteFile(path, "[" + section + "]\r\nReadPath=/\r\n\r\n[Tail]\r\nx=1");  // no final line end
  ASSERT_TRUE(Put(section, "Wait", "10", path));
  ASSERT_TRUE(Put("Tail", "y", "2", path));
  ASSERT_TRUE(Put("New", "z", "3", path));
  EXPECT_EQ(ReadFile(path), "[" + section +
                                "]\r\nReadPath=/\r\nWait=10\r\n\r\n[Tail]\r\nx=1\r\n"
                                "y=2\r\n[New]\r\nz=3\r\n");

  const std::string fresh = folder / "fresh.ini";
  ASSERT_TRUE(Put(section, "INI", "/home/a.ini", fresh));
  EXPECT_EQ(ReadFile(fresh), "[" + section + "]\r\nINI=/home/a.ini\r\n");
}

TEST(ProfileFileWrite, ReadsBackEveryValueItWrote) {
  TempFolder folder;
  const std::string path = folder / "a.ini";
  const std::vector<std::string> values = {
      "",
      "plain",
      " lead",
      "trail ",
      "\tboth\t",
      "\"quoted\"",
      "'single'",
      "\"",
      "'",
      "a\"",
      "\"a",
      "x = y",
      ";not a comment",
      "[not a section]",
      Sjis("日本語のパス"),
      Sjis(" 表 "),
      Sjis("ソ"),
      std::string(1200, 'w'),
  };
  for (const auto& value : values) {
    ASSERT_TRUE(Put("S", "k", value, path)) << value;
    ASSERT_TRUE(Put("S", "after", "kept", path));
    std::string out;
    kProfile.GetPrivateProfileString("S", "k", "", out, 2000, path);
    EXPECT_EQ(out, value);
    EXPECT_EQ(Get("S", "after", path), "kept") << value;
  }
}

// A last line ended by a lone CR: writing another key ends that line properly and leaves its
// value as it read before.
TEST(ProfileFileWrite, AWriteNeverChangesAValueItDidNotTouch) {
  TempFolder folder;
  const std::string path = folder / "a.ini";
  struct Case {
    std::string before, section, key, after;
  } cases[] = {
      {"[s]\r\na=b\r", "s", "c", "[s]\r\na=b\r\nc=v\r\n"},
      {"[s]\r\na=b\r", "t", "c", "[s]\r\na=b\r\n[t]\r\nc=v\r\n"},
      {"[s]\na=b\r", "s", "c", "[s]\na=b\r\nc=v\r\n"},
      {"[s]\r", "s", "c", "[s]\r\nc=v\r\n"},
      {"[s]\r\na=" + Sjis("表") + "\r", "s", "c", "[s]\r\na=" + Sjis("表") + "\r\nc=v\r\n"},
  };
  for (const auto& c : cases) {
    WriteFile(path, c.before);
    const std::string a = Get("s", "a", path);
    ASSERT_TRUE(Put(c.section, c.key, "v", path)) << c.before;
    EXPECT_EQ(ReadFile(path), c.after) << c.before;
    EXPECT_EQ(Get("s", "a", path), a) << c.before;
    ASSERT_TRUE(Put(c.section, c.key, "w", path)) << "a second write finds the key";
    EXPECT_EQ(kProfile.GetPrivateProfileSection(c.section, path).size(),
              c.section == "s" && c.before.find("a=") != std::string::npos ? 2u : 1u);
  }
}

TEST(ProfileFileWrite, AFailedWriteLeavesTheOldFileIntact) {
  TempFolder folder;
  const std::string path = folder / "a.ini";
  const std::string old = "[S]\nk=old\n";
  WriteFile(path, old);
  struct Case {
    std::string section, key, value, path;
  } cases[] = {
      {"S", "k", "two\nlines", path},  // a line break would inject a line of its own
      {"S", "k", std::string("nul\0", 4), path},
      {"S", "k=v", "x", path},  // could never be found again
      {"S", "[k", "x", path},
      {"S", " ", "x", path},
      {"S]", "k", "x", path},
      // Names that would be written but never found again, each write adding another copy.
      {" S", "k", "x", path},
      {"S\t", "k", "x", path},
      {"S", " k", "x", path},
      {"S", "k\t", "x", path},
      {"S\x83", "k", "x", path},  // a last lead byte joins the "]" into one character
      {Sjis("表") + "\x81", "k", "x", path},
      {"S", "k", "new", folder / "missing/a.ini"},
      {"S", "k", "new", folder.path()},  // a folder where the file should be
      {"S", "k", "new", ""},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(Put(c.section, c.key, c.value, c.path)) << c.key << " " << c.path;
    EXPECT_EQ(ReadFile(path), old);
  }
  EXPECT_FALSE(std::filesystem::exists(folder / "missing"));
  // No temporary file is left behind beside the settings file.
  int entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path())) {
    ++entries;
  }
  EXPECT_EQ(entries, 1);
}

// A save goes through the atomic writer: a linked, private settings file stays both, and a
// read-only one is refused.
TEST(ProfileFileWrite, KeepsTheSettingsFilesLinkAndMode) {
  TempFolder folder;
  WriteFile(folder / "real.ini", "[S]\r\nk=old\r\n");
  ASSERT_EQ(::chmod((folder / "real.ini").c_str(), 0600), 0);
  fs::create_symlink("real.ini", folder / "set.ini");
  const settings::ProfileFile profile;
  ASSERT_TRUE(profile.WritePrivateProfileString("S", "k", "new", folder / "set.ini"));
  EXPECT_TRUE(fs::is_symlink(fs::path(folder / "set.ini")));
  EXPECT_EQ(ReadFile(folder / "real.ini"), "[S]\r\nk=new\r\n");
  EXPECT_EQ(ModeOf(folder / "real.ini"), 0600u);
  ASSERT_EQ(::chmod((folder / "real.ini").c_str(), 0444), 0);
  EXPECT_FALSE(profile.WritePrivateProfileString("S", "k", "newer", folder / "set.ini"));
  EXPECT_EQ(ReadFile(folder / "real.ini"), "[S]\r\nk=new\r\n");
}

}  // namespace
