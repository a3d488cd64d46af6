// The file-system layer: every path here is a code-page-932 text, converted to the native
// UTF-8 name at this one boundary.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace base {

// The native name of a code-page-932 path; nullopt when the path has no UTF-8 form.
std::optional<std::filesystem::path> ToNativePath(std::string_view cp932);
// The code-page-932 form of a native name; nullopt when the name has none.
std::optional<std::string> FromNativeName(std::string_view native);

// One plain create-directory call (no parents); false when it failed (it exists, or cannot be).
bool CreateDirectory(std::string_view path);
bool SetCurrentDirectory(std::string_view path);
std::string GetCurrentDirectory();
bool FileExists(std::string_view path);
bool IsDirectory(std::string_view path);
std::optional<std::string> ReadWholeFile(std::string_view path);

// The running program's file, as a code-page-932 path.
std::string GetProgramFile();

// One entry of a folder, in the order the file system returns them; "." and ".." included.
struct DirEntry {
  std::string name;  // name with extension, no folder
  std::string path;  // folder + name
  bool isDirectory = false;
  bool IsDots() const { return name == "." || name == ".."; }
};

// The entries of `folder` (ending in a separator). Entries whose names have no code-page-932
// form are passed over: they could not be named. A missing folder gives no entries.
std::vector<DirEntry> ListDirectory(std::string_view folder);

// A file written under a temporary name in its own folder and renamed over `path` by Commit, so
// that a failed or interrupted write never leaves a truncated file in place of a good one.
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

  int m_fd = -1;
  bool m_failed = false;
  std::filesystem::path m_target;
  std::filesystem::path m_temporary;
};

// Writes `bytes` to `path` through an AtomicFile.
bool WriteFileAtomically(std::string_view path, std::string_view bytes);

}  // namespace base
