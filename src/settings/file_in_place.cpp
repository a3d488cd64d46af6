// Saving a settings file in place: through its symbolic links, with its mode and owner kept.
#include "settings/file_in_place.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>

#include "base/file_system.h"

namespace settings {
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

// Gives the replaced file the mode and owner of the file it replaced. The owner can only be
// given back where the user may (the same user, or the administrator); the group where the
// user belongs to it.
void RestoreModeAndOwner(const std::filesystem::path& file, const struct stat& old) {
  const int fd = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return;
  if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
    [[maybe_unused]] const int ignored = ::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
  }
  ::fchmod(fd, old.st_mode & 07777);
  ::close(fd);
}

}  // namespace

bool SaveFileInPlace(std::string_view path, std::string_view bytes) {
  const std::optional<std::filesystem::path> native = base::ToNativePath(path);
  if (!native || native->empty()) return false;
  const std::optional<std::filesystem::path> file = RealFile(*native);
  if (!file) return false;

  struct stat old {};
  const bool exists = ::stat(file->c_str(), &old) == 0;
  if (exists) {
    // A file marked read-only is refused even where the administrator could write it.
    if (!S_ISREG(old.st_mode) || (old.st_mode & 0222) == 0) return false;
    if (::access(file->c_str(), W_OK) != 0) return false;
  }
  if (!base::WriteFileAtomically(base::FromNativeName(file->string()), bytes)) return false;
  if (exists) RestoreModeAndOwner(*file, old);
  return true;
}

}  // namespace settings
