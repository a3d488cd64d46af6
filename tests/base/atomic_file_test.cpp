// Atomic file writes on real files: through symbolic links, with modes and owners kept, and the
// refusals of what the user may not write.
#include "base/file_system.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using testing_support::ReadFile;
using testing_support::Sjis;
using testing_support::TempFolder;
using testing_support::WriteFile;

const std::string kOld = "[S]\r\nk=old\r\n";
const std::string kNew = "[S]\r\nk=new\r\n";

// Links are made under the native names the file-system layer gives the code-page-932 paths.
fs::path Native(const std::string& cp932) { return base::ToNativePath(cp932).value(); }

mode_t ModeOf(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

// The save follows every link to the real file and leaves the links as they were.
TEST(WriteFileAtomically, WritesThroughLinksToTheRealFile) {
  struct Case {
    std::string name;
    std::string target;  // the real file, relative to the folder
    std::vector<std::pair<std::string, std::string>> links;  // link -> what it points at
    std::string saved;                                       // the path handed to the save
  } cases[] = {
      {"absolute link", "real/set.ini", {{"set.ini", "@/real/set.ini"}}, "set.ini"},
      {"relative link", "real/set.ini", {{"set.ini", "real/set.ini"}}, "set.ini"},
      {"chain of links",
       "real/set.ini",
       {{"a.ini", "b.ini"}, {"b.ini", "sub/c.ini"}, {"sub/c.ini", "../real/set.ini"}},
       "a.ini"},
      {"Japanese names",
       Sjis("実体/設定.ini"),
       {{Sjis("設定.ini"), Sjis("実体/設定.ini")}},
       Sjis("設定.ini")},
      {"link to a missing file", "real/new.ini", {{"new.ini", "real/new.ini"}}, "new.ini"},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    const bool missing = c.name == "link to a missing file";
    if (missing) {
      fs::create_directories(fs::path(folder / "real"));
    } else {
      WriteFile(folder / c.target, kOld);
    }
    for (const auto& [link, target] : c.links) {
      const fs::path native = Native(folder / link);
      fs::create_directories(native.parent_path());
      fs::create_symlink(
          target.starts_with("@/") ? Native(folder / target.substr(2)) : Native(target), native);
    }
    ASSERT_TRUE(base::WriteFileAtomically(folder / c.saved, kNew)) << c.name;
    EXPECT_EQ(ReadFile(folder / c.target), kNew) << c.name;
    for (const auto& [link, target] : c.links) {
      EXPECT_TRUE(fs::is_symlink(Native(folder / link))) << c.name << ": " << link;
    }
  }
}

TEST(WriteFileAtomically, KeepsTheModeOfTheFile) {
  for (const mode_t mode : {0600, 0640, 0644, 0664, 0400 | 0200, 0606}) {
    TempFolder folder;
    const std::string path = folder / "set.ini";
    WriteFile(path, kOld);
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    ASSERT_TRUE(base::WriteFileAtomically(path, kNew)) << std::oct << mode;
    EXPECT_EQ(ReadFile(path), kNew);
    EXPECT_EQ(ModeOf(path), mode) << std::oct << mode;
  }
}

TEST(WriteFileAtomically, KeepsTheOwnerOfTheFile) {
  TempFolder folder;
  const std::string path = folder / "set.ini";
  WriteFile(path, kOld);
  if (::chown(path.c_str(), 4321, 4321) != 0)
    GTEST_SKIP() << "only the administrator can hand out files";
  ASSERT_TRUE(base::WriteFileAtomically(path, kNew));
  struct stat status {};
  ASSERT_EQ(::stat(path.c_str(), &status), 0);
  EXPECT_EQ(status.st_uid, 4321u);
  EXPECT_EQ(status.st_gid, 4321u);
}

// Each refusal leaves the file as it was and no temporary file beside it.
TEST(WriteFileAtomically, RefusesWhatTheUserMayNotWrite) {
  struct Case {
    std::string name;
    mode_t mode;
  } cases[] = {{"read-only for all", 0444},
               {"no permission at all", 0000},
               {"read-only for the owner", 0400}};
  for (const auto& c : cases) {
    TempFolder folder;
    const std::string path = folder / "set.ini";
    WriteFile(path, kOld);
    ASSERT_EQ(::chmod(path.c_str(), c.mode), 0);
    EXPECT_FALSE(base::WriteFileAtomically(path, kNew)) << c.name;
    ::chmod(path.c_str(), 0600);
    EXPECT_EQ(ReadFile(path), kOld) << c.name;
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1)
        << c.name;
  }
  TempFolder folder;
  fs::create_symlink("loop-b.ini", folder / "loop-a.ini");
  fs::create_symlink("loop-a.ini", folder / "loop-b.ini");
  EXPECT_FALSE(base::WriteFileAtomically(folder / "loop-a.ini", kNew)) << "a loop of links";
  fs::create_directories(fs::path(folder / "dir.ini"));
  EXPECT_FALSE(base::WriteFileAtomically(folder / "dir.ini", kNew)) << "a folder";
  const std::string fifo = folder / "pipe.ini";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(base::WriteFileAtomically(fifo, kNew)) << "a pipe";
}

}  // namespace
