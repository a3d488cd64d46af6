// Lines over a pipe, read without blocking: the worker pool and its workers talk this way.
#pragma once

#include <optional>
#include <string>

namespace cli {

class LineChannel {
 public:
  LineChannel() = default;
  LineChannel(int readFd, int writeFd) : m_read(readFd), m_write(writeFd) {}

  int ReadFd() const { return m_read; }
  // Writes one line (a newline is added); false when the other end is gone.
  bool Send(const std::string& line);
  // Reads what is there without waiting; false when the other end has closed and every line
  // was taken.
  bool Fill();
  // The next complete line, if one has come.
  std::optional<std::string> Take();
  // Closes both ends.
  void Close();

 private:
  int m_read = -1;
  int m_write = -1;
  std::string m_buffer;
};

}  // namespace cli
