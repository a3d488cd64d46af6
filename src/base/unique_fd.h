// A file descriptor owned like a C library handle: closed by its holder, moved and never copied.
#pragma once

#include <unistd.h>

#include <utility>

namespace base {

class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : m_fd(fd) {}
  ~UniqueFd() { Reset(); }
  UniqueFd(UniqueFd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.m_fd, -1));
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int Get() const { return m_fd; }
  bool Valid() const { return m_fd >= 0; }
  // Gives the descriptor up without closing it.
  int Release() { return std::exchange(m_fd, -1); }
  // Closes the held descriptor and holds `fd` instead.
  void Reset(int fd = -1) {
    if (m_fd >= 0) close(m_fd);
    m_fd = fd;
  }

 private:
  int m_fd = -1;
};

// Both ends of a new pipe, closed on exec; false when the system has no descriptors left.
bool MakePipe(UniqueFd& readEnd, UniqueFd& writeEnd);

}  // namespace base
