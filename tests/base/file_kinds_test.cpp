// The file-system layer on hostile entries (pipes, devices, sockets, dangling links, link loops)
// and on names without a code-page-932 form, with real fixtures in a temporary folder.
#include "base/file_system.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <future>
#include <map>

#include "base/encoding.h"
#include "support/temp_folder.h"

namespace {

using base::EntryKind;
using testing_support::WriteFile;

class FileKindsTest : public testing::Test {
 protected:
  ~FileKindsTest() override {
    if (m_fifoWriter >= 0) ::close(m_fifoWriter);
    if (m_socket >= 0) ::close(m_socket);
  }

  std::string Native(const std::string& name) const { return folder / name; }

  // A regular file, a folder, a pipe that a writer holds open (a read would wait for data for
  // ever), a listening socket, a link to /dev/zero and links of every kind.
  void MakeEntries() {
    WriteFile(folder / "page.html", "<p>");
    WriteFile(folder / "big.html", std::string(100000, 'x'));
    ASSERT_EQ(::mkdir(Native("dir.html").c_str(), 0777), 0);
    ASSERT_EQ(::mkfifo(Native("p.html").c_str(), 0644), 0);
    m_fifoWriter = ::open(Native("p.html").c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(m_fifoWriter, 0);
    m_socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = Native("s.html");
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    socketPath.copy(address.sun_path, socketPath.size());
    ASSERT_EQ(::bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    const std::pair<const char*, const char*> links[] = {
        {"/dev/zero", "z.html"},      {"page.html", "to-page.html"}, {"dir.html", "to-dir"},
        {"nowhere", "dangling.html"}, {"loop.html", "loop.html"},
    };
    for (const auto& [target, name] : links) {
      ASSERT_EQ(::symlink(target, Native(name).c_str()), 0) << name;
    }
  }

  // Reads through `read` and gives up after a few seconds: then the pipe's writer is closed,
  // which ends a read that waits on it, and the test fails instead of hanging.
  std::optional<std::string> ReadWithin(std::function<std::optional<std::string>()> read) {
    auto result = std::async(std::launch::async, std::move(read));
    if (result.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
      ADD_FAILURE() << "the read waited on a pipe";
      ::close(m_fifoWriter);
      m_fifoWriter = -1;
    }
    return result.get();
  }

  testing_support::TempFolder folder;
  int m_fifoWriter = -1;
  int m_socket = -1;
};

TEST_F(FileKindsTest, KindsFollowLinksAndNameEverythingElseOther) {
  MakeEntries();
  const std::map<std::string, std::optional<EntryKind>> kinds = {
      {"page.html", EntryKind::kFile},     {"to-page.html", EntryKind::kFile},
      {"dir.html", EntryKind::kDirectory}, {"to-dir", EntryKind::kDirectory},
      {"p.html", EntryKind::kOther},       {"s.html", EntryKind::kOther},
      {"z.html", EntryKind::kOther},       {"dangling.html", EntryKind::kOther},
      {"loop.html", EntryKind::kOther},    {"missing.html", std::nullopt},
      {"big.html", EntryKind::kFile},
  };
  for (const auto& [name, kind] : kinds) EXPECT_EQ(base::KindOf(folder / name), kind) << name;

  // The listing tells the same kinds apart, "." and ".." included.
  std::map<std::string, EntryKind> listed;
  for (const base::DirEntry& entry : base::ListDirectory(folder.path())) {
    EXPECT_EQ(entry.path, folder / entry.name);
    listed[entry.name] = entry.kind;
  }
  EXPECT_EQ(listed.size(), kinds.size() - 1 + 2);
  EXPECT_EQ(listed["."], EntryKind::kDirectory);
  EXPECT_EQ(listed[".."], EntryKind::kDirectory);
  for (const auto& [name, kind] : kinds) {
    if (kind) {
      EXPECT_EQ(listed[name], *kind) << name;
    }
  }
}

TEST_F(FileKindsTest, ReadsOnlyRegularFilesAndOnlyTheBytesAskedFor) {
  MakeEntries();
  struct Case {
    std::string name;
    std::size_t limit;
    std::optional<std::string> head;
  } cases[] = {
      {"page.html", 65536, "<p>"},
      {"to-page.html", 65536, "<p>"},
      {"big.html", 65536, std::string(65536, 'x')},
      {"big.html", 0, ""},
      {"p.html", 65536, std::nullopt},
      {"z.html", 65536, std::nullopt},
      {"s.html", 65536, std::nullopt},
      {"dir.html", 65536, std::nullopt},
      {"dangling.html", 65536, std::nullopt},
      {"missing.html", 65536, std::nullopt},
  };
  for (const auto& c : cases) {
    const std::string path = folder / c.name;
    EXPECT_EQ(ReadWithin([&] { return base::ReadFileHead(path, c.limit); }), c.head) << c.name;
  }
  EXPECT_EQ(base::ReadWholeFile(folder / "big.html"), std::string(100000, 'x'));
  EXPECT_EQ(ReadWithin([&] { return base::ReadWholeFile(folder / "p.html"); }), std::nullopt);
  ASSERT_EQ(::symlink("/dev/null", Native("null.html").c_str()), 0);
  EXPECT_EQ(base::ReadWholeFile(folder / "null.html"), std::nullopt) << "a device is no file";
}

TEST_F(FileKindsTest, LinksToOneFolderShareItsIdentity) {
  MakeEntries();
  const auto folderId = base::IdentifyFile(folder / "dir.html");
  ASSERT_TRUE(folderId.has_value());
  EXPECT_EQ(base::IdentifyFile(folder / "to-dir"), folderId);
  EXPECT_EQ(base::IdentifyFile(folder / "to-dir/"), folderId);
  EXPECT_NE(base::IdentifyFile(folder / "page.html"), folderId);
  EXPECT_NE(base::IdentifyFile(folder.path()), folderId);
  EXPECT_EQ(base::IdentifyFile(folder / "missing"), std::nullopt);
  EXPECT_EQ(base::IdentifyFile(folder / "loop.html"), std::nullopt);
}

TEST_F(FileKindsTest, ListingCanBeEndedAfterAnyEntry) {
  for (int i = 0; i < 10; ++i) WriteFile(folder / (std::to_string(i) + ".htm"), "");
  int asked = 0;
  const auto entries = base::ListDirectory(folder.path(), [&] { return ++asked < 4; });
  EXPECT_EQ(entries.size(), 4u);
  EXPECT_EQ(asked, 4);
  EXPECT_EQ(base::ListDirectory(folder.path(), [] { return true; }).size(), 12u);
}

// Names that the file system holds but code page 932 cannot spell are listed, named, opened and
// made current under their own bytes.
TEST_F(FileKindsTest, NamesOutsideTheCodePageKeepTheirBytes) {
  const std::string names[] = {"café.html",         "Straße.htm",  "한국어.html",
                               "\xFF\xFE-raw.html", "ページ.html", "¥.html"};
  for (const std::string& name : names) {
    const int fd = ::open(Native(name).c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0) << name;
    ASSERT_EQ(::write(fd, name.data(), name.size()), static_cast<ssize_t>(name.size()));
    ::close(fd);
  }
  std::map<std::string, std::string> listed;  // native name -> bytes read through the listing
  for (const base::DirEntry& entry : base::ListDirectory(folder.path())) {
    if (entry.IsDots()) continue;
    EXPECT_EQ(entry.kind, EntryKind::kFile) << entry.name;
    const auto native = base::ToNativePath(entry.name);
    ASSERT_TRUE(native.has_value()) << entry.name;
    listed[native->native()] = base::ReadWholeFile(entry.path).value_or("unreadable");
  }
  ASSERT_EQ(listed.size(), std::size(names));
  for (const std::string& name : names) EXPECT_EQ(listed[name], name);

  const std::string start = base::GetCurrentDirectory();
  const std::string odd = "caf\xC3\xA9-\xFF";
  ASSERT_EQ(::mkdir(Native(odd).c_str(), 0777), 0);
  ASSERT_TRUE(base::SetCurrentDirectory(folder / base::FromNativeName(odd)));
  const std::string current = base::GetCurrentDirectory();
  base::SetCurrentDirectory(start);
  EXPECT_EQ(base::ToNativePath(current).value_or("").native(), folder / odd);
}

constexpr const char* kAnswerVariable = "RENDORA_PROGRAM_FILE_ANSWER";

// The child half of the test below: writes the program file's native name where it is told.
TEST(ProgramFile, WrittenWhenTheParentAsks) {
  const char* answer = std::getenv(kAnswerVariable);
  if (!answer) GTEST_SKIP() << "runs only as the child of ProgramFile.InAFolderNamedOutside...";
  const auto native = base::ToNativePath(base::GetProgramFile());
  ASSERT_TRUE(native.has_value());
  ASSERT_TRUE(base::WriteFileAtomically(answer, native->native()));
}

// A copy of this test program in a folder named café (and a byte that is not UTF-8) finds its
// own file, so the program folder's settings are found there too.
TEST(ProgramFile, InAFolderNamedOutsideTheCodePageIsFoundUnderItsOwnName) {
  testing_support::TempFolder folder;
  const std::string programFolder = folder / "caf\xC3\xA9-\xFF/";
  ASSERT_EQ(::mkdir(programFolder.c_str(), 0777), 0);
  const std::string program = programFolder + "program";
  std::filesystem::copy_file("/proc/self/exe", program);
  std::filesystem::permissions(program, std::filesystem::perms::owner_all);
  const std::string answer = folder / "answer";

  std::string filter = "--gtest_filter=ProgramFile.WrittenWhenTheParentAsks";
  char* argv[] = {const_cast<char*>(program.c_str()), filter.data(), nullptr};
  std::string variable = std::string(kAnswerVariable) + "=" + answer;
  char* envp[] = {variable.data(), nullptr};
  posix_spawn_file_actions_t quiet;  // the child's own test report is of no interest here
  ::posix_spawn_file_actions_init(&quiet);
  ::posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
  pid_t child = 0;
  const int spawned = ::posix_spawn(&child, program.c_str(), &quiet, nullptr, argv, envp);
  ::posix_spawn_file_actions_destroy(&quiet);
  ASSERT_EQ(spawned, 0);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(testing_support::ReadFile(answer), program);
}

}  // namespace
