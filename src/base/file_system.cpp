// The file-system layer: every path here is a code-page-932 text, converted to the native
// UTF-8 name at this one boundary.
#include "base/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <fstream>
#include <memory>
#include <sstream>

#include "base/encoding.h"

namespace base {

std::optional<std::filesystem::path> ToNativePath(std::string_view cp932) {
  auto utf8 = Cp932ToUtf8(cp932);
  if (!utf8) return std::nullopt;
  return std::filesystem::path(*utf8);
}

std::optional<std::string> FromNativeName(std::string_view native) {
  return Utf8ToCp932(native);
}

bool CreateDirectory(std::string_view path) {
  auto native = ToNativePath(path);
  return native && ::mkdir(native->c_str(), 0777) == 0;
}

bool SetCurrentDirectory(std::string_view path) {
  auto native = ToNativePath(path);
  return native && !native->empty() && ::chdir(native->c_str()) == 0;
}

std::string GetCurrentDirectory() {
  std::error_code error;
  const auto current = std::filesystem::current_path(error);
  if (error) return {};
  return FromNativeName(current.string()).value_or(std::string());
}

bool FileExists(std::string_view path) {
  auto native = ToNativePath(path);
  struct stat info;
  return native && ::stat(native->c_str(), &info) == 0;
}

bool IsDirectory(std::string_view path) {
  auto native = ToNativePath(path);
  struct stat info;
  return native && ::stat(native->c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::optional<std::string> ReadWholeFile(std::string_view path) {
  auto native = ToNativePath(path);
  if (!native) return std::nullopt;
  std::ifstream in(*native, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return std::move(bytes).str();
}

std::string GetProgramFile() {
  std::error_code error;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  return FromNativeName(self.string()).value_or(std::string());
}

std::vector<DirEntry> ListDirectory(std::string_view folder) {
  std::vector<DirEntry> entries;
  auto native = ToNativePath(folder);
  if (!native) return entries;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(native->empty() ? "." : native->c_str()),
                                          ::closedir);
  if (!dir) return entries;
  while (const dirent* item = ::readdir(dir.get())) {
    auto name = FromNativeName(item->d_name);
    if (!name) continue;
    DirEntry entry;
    entry.name = *name;
    entry.path = std::string(folder) + *name;
    if (item->d_type == DT_DIR) {
      entry.isDirectory = true;
    } else if (item->d_type == DT_UNKNOWN || item->d_type == DT_LNK) {
      entry.isDirectory = IsDirectory(entry.path);
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

AtomicFile::~AtomicFile() { Discard(); }

bool AtomicFile::Open(std::string_view path) {
  Discard();
  auto native = ToNativePath(path);
  if (!native || native->empty()) return false;
  m_target = *native;
  std::string pattern = m_target.string() + ".XXXXXX";
  m_fd = ::mkstemp(pattern.data());
  if (m_fd < 0) return false;
  m_temporary = pattern;
  ::fchmod(m_fd, 0644);
  m_failed = false;
  return true;
}

bool AtomicFile::Write(const void* data, std::size_t size) {
  if (m_fd < 0 || m_failed) return false;
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t written = ::write(m_fd, bytes, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      m_failed = true;
      return false;
    }
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

bool AtomicFile::Commit() {
  if (m_fd < 0) return false;
  bool ok = !m_failed;
  ok = (::close(m_fd) == 0) && ok;
  m_fd = -1;
  if (ok) ok = ::rename(m_temporary.c_str(), m_target.c_str()) == 0;
  if (!ok) ::unlink(m_temporary.c_str());
  m_temporary.clear();
  return ok;
}

void AtomicFile::Discard() {
  if (m_fd >= 0) {
    ::close(m_fd);
    m_fd = -1;
  }
  if (!m_temporary.empty()) {
    ::unlink(m_temporary.c_str());
    m_temporary.clear();
  }
}

bool WriteFileAtomically(std::string_view path, std::string_view bytes) {
  AtomicFile file;
  return file.Open(path) && file.Write(bytes) && file.Commit();
}

}  // namespace base
