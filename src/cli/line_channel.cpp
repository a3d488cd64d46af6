// Lines over a pipe, read without blocking.
#include "cli/line_channel.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace cli {

LineChannel::LineChannel(base::UniqueFd readFd, base::UniqueFd writeFd)
    : m_read(std::move(readFd)), m_write(std::move(writeFd)) {
  if (m_read.Valid()) {
    const int flags = fcntl(m_read.Get(), F_GETFL);
    fcntl(m_read.Get(), F_SETFL, flags | O_NONBLOCK);
  }
}

bool LineChannel::Send(const std::string& line) {
  if (!m_write.Valid()) return false;
  // A write to a pipe whose reader has ended raises SIGPIPE, which would end this program with
  // it; the signal is held back during the write and taken if it came, so that Send just fails.
  sigset_t pipeSignal, previous;
  sigemptyset(&pipeSignal);
  sigaddset(&pipeSignal, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
  const std::string text = line + '\n';
  std::size_t written = 0;
  bool sent = true;
  while (written < text.size()) {
    const ssize_t done = write(m_write.Get(), text.data() + written, text.size() - written);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) {
      if (errno == EPIPE) {
        const timespec now{};
        sigtimedwait(&pipeSignal, nullptr, &now);
      }
      sent = false;
      break;
    }
    written += static_cast<std::size_t>(done);
  }
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  return sent;
}

bool LineChannel::Fill() {
  if (!m_read.Valid()) return false;
  // Lines handed out are dropped before more is read, so the buffer holds at most one line in
  // progress and one call's worth of bytes.
  m_buffer.erase(0, m_taken);
  m_taken = 0;
  char buffer[65536];
  std::size_t filled = 0;
  while (filled < kFillLimit) {
    const ssize_t got = read(m_read.Get(), buffer, sizeof buffer);
    if (got > 0) {
      m_buffer.append(buffer, static_cast<std::size_t>(got));
      filled += static_cast<std::size_t>(got);
      continue;
    }
    if (got < 0 && errno == EINTR) continue;
    if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
    return false;  // end of file or a broken pipe
  }
  const std::size_t lastEnd = m_buffer.rfind('\n');
  const std::size_t open =
      lastEnd == std::string::npos ? m_buffer.size() : m_buffer.size() - lastEnd - 1;
  return open <= kLineLimit;
}

std::optional<std::string> LineChannel::Take() {
  const std::size_t end = m_buffer.find('\n', m_taken);
  if (end == std::string::npos) return std::nullopt;
  std::string line = m_buffer.substr(m_taken, end - m_taken);
  m_taken = end + 1;
  return line;
}

void LineChannel::Close() {
  m_read.Reset();
  m_write.Reset();
}

}  // namespace cli
