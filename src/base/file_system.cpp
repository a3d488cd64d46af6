// The file-system layer: every path here is a code-page-932 text, converted to the native
// UTF-8 name at this one boundary.
#include "base/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <memory>

#include "base/encoding.h"

namespace base {

std::optional<std::filesystem::path> ToNativePath(std::string_view cp932) {
  auto bytes = Cp932ToBytes(cp932);
  if (!bytes) return std::nullopt;
  return std::filesystem::path(*bytes);
}

std::string FromNativeName(std::string_view native) { return BytesToCp932(native); }

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
  return FromNativeName(current.native());
}

bool FileExists(std::string_view path) {
  auto native = ToNativePath(path);
  struct stat info;
  return native && ::stat(native->c_str(), &info) == 0;
}

bool IsNonEmptyFile(std::string_view path) {
  auto native = ToNativePath(path);
  struct stat info;
  return native && ::stat(native->c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0;
}

bool IsDirectory(std::string_view path) {
  auto native = ToNativePath(path);
  struct stat info;
  return native && ::stat(native->c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool RemoveFile(std::string_view path) {
  auto native = ToNativePath(path);
  return native && ::unlink(native->c_str()) == 0;
}

bool IsWritableFolder(std::string_view path) {
  auto native = ToNativePath(path);
  // The effective rights decide, as they do when a file is created.
  return native && IsDirectory(path) &&
         ::faccessat(AT_FDCWD, native->c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

namespace {

// Holds one open file descriptor.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : m_fd(fd) {}
  ~FileDescriptor() {
    if (m_fd >= 0) ::close(m_fd);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return m_fd; }

 private:
  int m_fd;
};

// Up to `limit` bytes of a regular file. The name is checked before it is opened (opening a
// device can have effects of its own) and the opened file again, since the name may have been
// replaced in between; O_NONBLOCK keeps the open of a pipe without a writer from waiting.
std::optional<std::string> ReadRegularFile(std::string_view path, std::size_t limit) {
  const auto native = ToNativePath(path);
  if (!native || KindOf(path) != EntryKind::kFile) return std::nullopt;
  FileDescriptor file(::open(native->c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  struct stat info;
  if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return std::nullopt;
  }
  std::string bytes;
  bytes.reserve(std::min(static_cast<std::size_t>(info.st_size), limit));
  char buffer[65536];
  while (bytes.size() < limit) {
    const std::size_t wanted = std::min(sizeof buffer, limit - bytes.size());
    const ssize_t got = ::read(file.get(), buffer, wanted);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::nullopt;
    if (got == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  return bytes;
}

}  // namespace

std::optional<std::string> ReadWholeFile(std::string_view path) {
  return ReadRegularFile(path, std::string().max_size());
}

std::optional<std::string> ReadFileHead(std::string_view path, std::size_t limit) {
  return ReadRegularFile(path, limit);
}

std::optional<EntryKind> KindOf(std::string_view path) {
  const auto native = ToNativePath(path);
  if (!native) return std::nullopt;
  struct stat info;
  if (::stat(native->c_str(), &info) != 0) {
    // A name that is there but leads nowhere (a dangling link or a link loop) is an entry too.
    if (::lstat(native->c_str(), &info) == 0) return EntryKind::kOther;
    return std::nullopt;
  }
  if (S_ISREG(info.st_mode)) return EntryKind::kFile;
  if (S_ISDIR(info.st_mode)) return EntryKind::kDirectory;
  return EntryKind::kOther;
}

std::optional<FileIdentity> IdentifyFile(std::string_view path) {
  const auto native = ToNativePath(path);
  struct stat info;
  if (!native || ::stat(native->empty() ? "." : native->c_str(), &info) != 0) return std::nullopt;
  return FileIdentity{static_cast<unsigned long long>(info.st_dev),
                      static_cast<unsigned long long>(info.st_ino)};
}

std::string GetProgramFile() {
  std::error_code error;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  return FromNativeName(self.native());
}

std::vector<DirEntry> ListDirectory(std::string_view folder,
                                    const std::function<bool()>& keepGoing) {
  std::vector<DirEntry> entries;
  auto native = ToNativePath(folder);
  if (!native) return entries;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(native->empty() ? "." : native->c_str()),
                                          ::closedir);
  if (!dir) return entries;
  while (const dirent* item = ::readdir(dir.get())) {
    DirEntry entry;
    entry.name = FromNativeName(item->d_name);
    entry.path = std::string(folder) + entry.name;
    if (item->d_type == DT_DIR) {
      entry.kind = EntryKind::kDirectory;
    } else if (item->d_type == DT_REG) {
      entry.kind = EntryKind::kFile;
    } else if (item->d_type == DT_UNKNOWN || item->d_type == DT_LNK) {
      entry.kind = KindOf(entry.path).value_or(EntryKind::kOther);
    }
    entries.push_back(std::move(entry));
    if (keepGoing && !keepGoing()) break;
  }
  return entries;
}

AtomicFile::~AtomicFile() { Discard(); }

namespace {

// Links followed before a chain counts as a loop (the kernel's own limit for one path).
constexpr int kMostLinks = 40;

// The real file behind `path`: every symbolic link followed, relative targets read from the
// link's own folder. The last name need not exist (a new file, or a link to a missing file).
// nullopt for a loop of links or a link that cannot be read.
std::optional<std::filesystem::path> RealFile(std::filesystem::path path) {
  for (int links = 0; links <= kMostLinks; ++links) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
    std::error_code error;
    const std::filesystem::path target = std::filesystem::read_symlink(path, error);
    if (error) return std::nullopt;
    path = target.is_absolute() ? target : path.parent_path() / target;
  }
  return std::nullopt;
}

// Gives the new file the mode and owner of the file it replaces. The owner can only be given
// where the user may (the same user, or the administrator); the group where the user belongs
// to it.
void TakeModeAndOwner(int fd, const struct stat& old) {
  if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
    [[maybe_unused]] const int ignored = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
  }
  ::fchmod(fd, old.st_mode & 07777);
}

}  // namespace

bool AtomicFile::Open(std::string_view path) {
  Discard();
  const std::optional<std::filesystem::path> native = ToNativePath(path);
  if (!native || native->empty()) return false;
  const std::optional<std::filesystem::path> real = RealFile(*native);
  if (!real) return false;
  struct stat old {};
  m_replaces = ::stat(real->c_str(), &old) == 0;
  if (m_replaces) {
    // A file marked read-only is refused even where the administrator could write it.
    if (!S_ISREG(old.st_mode) || (old.st_mode & 0222) == 0) return false;
    if (::access(real->c_str(), W_OK) != 0) return false;
  }
  m_target = *real;
  // An unnamed file in the target's folder gets a name only when it is committed, so that a
  // process killed while writing leaves nothing behind; a file system without unnamed files
  // gets a named temporary.
  const std::filesystem::path folder =
      m_target.has_parent_path() ? m_target.parent_path() : std::filesystem::path(".");
  m_fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (m_fd < 0) {
    std::string pattern = m_target.string() + ".XXXXXX";
    m_fd = ::mkstemp(pattern.data());
    if (m_fd < 0) return false;
    m_temporary = pattern;
  }
  if (m_replaces) {
    TakeModeAndOwner(m_fd, old);
  } else {
    ::fchmod(m_fd, 0644);
  }
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
  if (ok && m_temporary.empty()) ok = NameUnnamedFile();
  ok = (::close(m_fd) == 0) && ok;
  m_fd = -1;
  if (ok) ok = ::rename(m_temporary.c_str(), m_target.c_str()) == 0;
  if (!ok && !m_temporary.empty()) ::unlink(m_temporary.c_str());
  m_temporary.clear();
  return ok;
}

// Links the unnamed file under a free temporary name beside the target (a link cannot replace
// a name; the rename that follows does).
bool AtomicFile::NameUnnamedFile() {
  const std::string self = "/proc/self/fd/" + std::to_string(m_fd);
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    const std::string name = m_target.string() + "." + std::to_string(::getpid()) + "." +
                             std::to_string(++m_names) + "." + std::to_string(attempt);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      m_temporary = name;
      return true;
    }
    if (errno != EEXIST) return false;
  }
  return false;
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
