// The local file a download writes: empty under its final name until the transfer succeeds.
#pragma once

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>

#include "base/file_system.h"

namespace net {

// Open creates (or empties) the file under its final name before any network activity, so that
// a refused or failed download leaves it there, empty. The body goes to a temporary file beside
// it, which replaces it only when Finish is told to keep it: an interrupted, over-limit or
// failed transfer never leaves part of a body under the final name. A final name that is no
// regular file (a device, say) cannot be replaced and gets the body directly.
class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // False when the file (or its temporary) cannot be created.
  bool Open(const std::string& cp932Path);
  bool Write(const char* data, std::size_t size);
  // Puts the body under the final name when `keep`, else drops it; false when a write, the
  // close or the rename failed.
  bool Finish(bool keep);

 private:
  std::optional<base::AtomicFile> m_body;  // the body, for a regular file
  std::FILE* m_direct = nullptr;           // the body, for a file that is no regular one
  bool m_failed = false;
};

}  // namespace net
