// The file-system layer: every path here is a code-page-932 text, converted to the native
// UTF-8 name at this one boundary.
#pragma once

#include <compare>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace base {

// The native name of a code-page-932 path: byte escapes give back their raw bytes (see
// BytesToCp932); nullopt only when the text holds a sequence that has no form.
std::optional<std::filesystem::path> ToNativePath(std::string_view cp932);
// The code-page-932 form of a native name. Never fails: bytes without a form travel as escapes,
// so that ToNativePath gives the same name back.
std::string FromNativeName(std::string_view native);

// One plain create-directory call (no parents); false when it failed (it exists, or cannot be).
bool CreateDirectory(std::string_view path);
bool SetCurrentDirectory(std::string_view path);
std::string GetCurrentDirectory();
bool FileExists(std::string_view path);
bool IsDirectory(std::string_view path);
// Removes a file (a link itself, not its target); false when there was none or it stays.
bool RemoveFile(std::string_view path);
// True when `path` is a folder in which this process may create files.
bool IsWritableFolder(std::string_view path);
// Whether `path` is a regular file (links followed) that holds at least one byte: an output that
// a run with no-clobber keeps.
bool IsNonEmptyFile(std::string_view path);
// The bytes of a regular file (links followed). Anything else (a pipe, a device, a socket, a
// folder) gives nullopt without being read, so that no read can block or run without end.
std::optional<std::string> ReadWholeFile(std::string_view path);
// At most the first `limit` bytes of a regular file, as ReadWholeFile.
std::optional<std::string> ReadFileHead(std::string_view path, std::size_t limit);

// What a name stands for, links followed: a dangling link, a pipe, a device or a socket is kOther.
enum class EntryKind { kFile, kDirectory, kOther };
std::optional<EntryKind> KindOf(std::string_view path);

// The device and inode of a file or folder, links followed: two paths with the same identity are
// the same file.
struct FileIdentity {
  unsigned long long device = 0;
  unsigned long long inode = 0;
  auto operator<=>(const FileIdentity&) const = default;
};
std::optional<FileIdentity> IdentifyFile(std::string_view path);

// The running program's file, as a code-page-932 path.
std::string GetProgramFile();

// One entry of a folder, in the order the file system returns them; "." and ".." included.
struct DirEntry {
  std::string name;  // name with extension, no folder
  std::string path;  // folder + name
  EntryKind kind = EntryKind::kOther;
  bool IsDots() const { return name == "." || name == ".."; }
  bool IsDirectory() const { return kind == EntryKind::kDirectory; }
};

// The entries of `folder` (ending in a separator); every name the file system holds is listed
// under its own name (FromNativeName). A missing folder gives no entries. `keepGoing`, when
// given, is asked after each entry read; false ends the listing there (with what was read).
std::vector<DirEntry> ListDirectory(std::string_view folder,
                                    const std::function<bool()>& keepGoing = {});

// A file written unnamed (or, where the file system has no unnamed files, under a temporary name)
// in its own folder and renamed over `path` by Commit, so that a failed or interrupted write
// never leaves a truncated file in place of a good one, and a killed one leaves nothing. The
// file written is the real one: a symbolic link is followed (and stays a link), an existing file
// keeps its permission bits, owner and group, and a file the user may not write (no write
// permission, or none for anybody), a path that is not a regular file, and a loop of links are
// refused by Open.
class AtomicFile {
 public:
  AtomicFile() = default;
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  bool Open(std::string_view path);
  bool Write(const void* data, std::size_t size);
  bool Write(std::string_view bytes) { return Write(bytes.data(), bytes.size()); }
  // Closes and renames; false (and the old file untouched) when any step failed.
  bool Commit();

 private:
  void Discard();
  bool NameUnnamedFile();

  int m_fd = -1;
  unsigned m_names = 0;
  bool m_failed = false;
  bool m_replaces = false;  // an existing file is replaced: its mode and owner are kept
  std::filesystem::path m_target;
  std::filesystem::path m_temporary;
};

// Writes `bytes` to `path` through an AtomicFile.
bool WriteFileAtomically(std::string_view path, std::string_view bytes);

}  // namespace base
