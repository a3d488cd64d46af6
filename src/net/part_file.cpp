// A download that can be continued: NAME.part, its validator, and NAME when whole.
#include "net/part_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>

#include "base/file_system.h"

namespace net {
namespace {

constexpr const char* kValidatorAttribute = "user.rendora.validator";
constexpr std::size_t kLongestValidator = 512;

std::string ReadValidator(int fd) {
  char buffer[kLongestValidator];
  const ssize_t size = ::fgetxattr(fd, kValidatorAttribute, buffer, sizeof buffer);
  return size > 0 ? std::string(buffer, static_cast<std::size_t>(size)) : std::string();
}

}  // namespace

bool PartFile::Open(const std::string& cp932Path) {
  const auto native = base::ToNativePath(cp932Path);
  if (!native || native->empty()) return false;
  m_final = *native;
  m_part = m_final;
  m_part += ".part";
  // The final name holds an empty file from now until the body is whole.
  const base::UniqueFd empty(
      ::open(m_final.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (!empty.Valid()) return false;
  m_fd.Reset(::open(m_part.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
  if (!m_fd.Valid()) return false;
  struct stat status {};
  if (::fstat(m_fd.Get(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
  m_size = static_cast<std::uint64_t>(status.st_size);
  m_validator = ReadValidator(m_fd.Get());
  return true;
}

bool PartFile::StartAt(std::uint64_t offset, const std::string& validator) {
  if (!m_fd.Valid() || offset > m_size) return false;
  if (::ftruncate(m_fd.Get(), static_cast<off_t>(offset)) != 0 ||
      ::lseek(m_fd.Get(), static_cast<off_t>(offset), SEEK_SET) < 0) {
    m_failed = true;
    return false;
  }
  m_size = offset;
  if (validator != m_validator) {
    m_validator = validator;
    // Without the attribute the part is only started over next time, never joined wrongly.
    if (validator.empty() || validator.size() > kLongestValidator ||
        ::fsetxattr(m_fd.Get(), kValidatorAttribute, validator.data(), validator.size(), 0) != 0) {
      ::fremovexattr(m_fd.Get(), kValidatorAttribute);
    }
  }
  return true;
}

bool PartFile::Write(const char* data, std::size_t size) {
  while (size > 0 && !m_failed) {
    const ssize_t written = ::write(m_fd.Get(), data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      m_failed = true;
      break;
    }
    data += written;
    size -= static_cast<std::size_t>(written);
    m_size += static_cast<std::uint64_t>(written);
  }
  return !m_failed;
}

bool PartFile::Finish(End end) {
  if (!m_fd.Valid()) return false;
  bool ok = !m_failed;
  switch (end) {
    case End::kWhole:
      ::fremovexattr(m_fd.Get(), kValidatorAttribute);
      ok = ::fsync(m_fd.Get()) == 0 && ok;
      m_fd.Reset();
      return ok && ::rename(m_part.c_str(), m_final.c_str()) == 0;
    case End::kBroken:
      if (m_size == 0) return Finish(End::kDropped);
      // What came is kept for the next try, on the disk, whatever ends the program next.
      ok = ::fdatasync(m_fd.Get()) == 0 && ok;
      m_fd.Reset();
      return ok;
    case End::kDropped:
      m_fd.Reset();
      ::unlink(m_part.c_str());
      return ok;
  }
  return ok;
}

std::string ValidatorOf(const std::string& etag, const std::string& lastModified) {
  if (!etag.empty() && !etag.starts_with("W/")) return etag;
  return lastModified;
}

long long RangeStart(const std::string& contentRange) {
  constexpr std::string_view kUnit = "bytes ";
  if (!contentRange.starts_with(kUnit)) return -1;
  long long first = -1;
  const char* begin = contentRange.data() + kUnit.size();
  const char* end = contentRange.data() + contentRange.size();
  const auto [next, error] = std::from_chars(begin, end, first);
  if (error != std::errc() || next == end || *next != '-') return -1;
  return first;
}

}  // namespace net
