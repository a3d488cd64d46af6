// Lines over a pipe, read without blocking.
#include "cli/line_channel.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace cli {

bool LineChannel::Send(const std::string& line) {
  const std::string text = line + '\n';
  std::size_t written = 0;
  while (written < text.size()) {
    const ssize_t done = write(m_write, text.data() + written, text.size() - written);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    written += static_cast<std::size_t>(done);
  }
  return true;
}

bool LineChannel::Fill() {
  if (m_read < 0) return false;
  const int flags = fcntl(m_read, F_GETFL);
  if (!(flags & O_NONBLOCK)) fcntl(m_read, F_SETFL, flags | O_NONBLOCK);
  char buffer[65536];
  for (;;) {
    const ssize_t got = read(m_read, buffer, sizeof buffer);
    if (got > 0) {
      m_buffer.append(buffer, static_cast<std::size_t>(got));
      continue;
    }
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
    return false;  // end of file or a broken pipe
  }
}

std::optional<std::string> LineChannel::Take() {
  const std::size_t end = m_buffer.find('\n');
  if (end == std::string::npos) return std::nullopt;
  std::string line = m_buffer.substr(0, end);
  m_buffer.erase(0, end + 1);
  return line;
}

void LineChannel::Close() {
  if (m_read >= 0) close(m_read);
  if (m_write >= 0 && m_write != m_read) close(m_write);
  m_read = m_write = -1;
}

}  // namespace cli
