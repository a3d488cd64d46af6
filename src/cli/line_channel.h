// Lines over a pipe, read without blocking: the worker pool and its workers talk this way.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "base/unique_fd.h"

namespace cli {

class LineChannel {
 public:
  LineChannel() = default;
  // Takes both descriptors over; they are closed with the channel.
  LineChannel(base::UniqueFd readFd, base::UniqueFd writeFd);

  int ReadFd() const { return m_read.Get(); }
  // Writes one line (a newline is added); false when the other end is gone.
  bool Send(const std::string& line);
  // Reads what is there without waiting, at most kFillLimit bytes a call, so that a writer that
  // never stops cannot keep the reader in here; false when the other end has closed and every
  // line was taken, or when it sent a line longer than kLineLimit (it is not speaking lines).
  bool Fill();
  // The next complete line, if one has come.
  std::optional<std::string> Take();
  // Closes both ends.
  void Close();

  static constexpr std::size_t kFillLimit = std::size_t{1} << 20;
  static constexpr std::size_t kLineLimit = std::size_t{16} << 20;

 private:
  base::UniqueFd m_read;
  base::UniqueFd m_write;
  std::string m_buffer;
  std::size_t m_taken = 0;  // bytes of m_buffer already handed out as lines
};

}  // namespace cli
