// The local file a download writes, replaced whole or left empty.
#include "net/output_file.h"

#include <sys/stat.h>

#include <utility>

namespace net {

OutputFile::~OutputFile() {
  if (m_direct) std::fclose(m_direct);
}

bool OutputFile::Open(const std::string& cp932Path) {
  const auto native = base::ToNativePath(cp932Path);
  if (!native || native->empty()) return false;
  std::FILE* file = std::fopen(native->c_str(), "wb");
  if (!file) return false;
  struct stat status {};
  if (::fstat(::fileno(file), &status) == 0 && !S_ISREG(status.st_mode)) {
    m_direct = file;
    return true;
  }
  // The final name now holds an empty file; the body waits beside it.
  std::fclose(file);
  return m_body.emplace().Open(cp932Path);
}

bool OutputFile::Write(const char* data, std::size_t size) {
  const bool written =
      m_direct ? std::fwrite(data, 1, size, m_direct) == size : m_body && m_body->Write(data, size);
  if (!written) m_failed = true;
  return written;
}

bool OutputFile::Finish(bool keep) {
  if (m_direct) {
    const bool closed = std::fclose(std::exchange(m_direct, nullptr)) == 0;
    return closed && !m_failed;
  }
  if (!keep || !m_body) {
    // Dropped: the temporary goes with its holder, the final name stays empty.
    m_body.reset();
    return !m_failed;
  }
  return m_body->Commit() && !m_failed;
}

}  // namespace net
