// A download that can be continued: its body grows in NAME.part and takes NAME only when whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "base/unique_fd.h"

namespace net {

// NAME is created empty before any network activity, as for every download; the body goes to
// NAME.part beside it and replaces NAME when the transfer is whole. A broken transfer leaves
// NAME.part with the validator the server gave its file (a strong ETag, else Last-Modified),
// kept in the part's extended attribute, so that the next try asks for the rest only if the
// server's file is still the same (Range with If-Range). A part without a validator (a file
// system without extended attributes, a server that names none) cannot be checked and is
// started over.
class PartFile {
 public:
  // How a transfer ended for the part.
  enum class End {
    kWhole,    // the body is complete: NAME.part becomes NAME
    kBroken,   // cut off (a lost connection, a timeout, Stop): NAME.part stays for the next try
    kDropped,  // no body worth keeping (an error status, a cap): NAME.part is removed
  };

  // Creates NAME empty and opens NAME.part, keeping what it holds. False when either cannot be
  // made.
  bool Open(const std::string& cp932Path);
  // Where a continuation starts: the part's size when it has a validator, else 0.
  std::uint64_t ContinueFrom() const { return m_validator.empty() ? 0 : m_size; }
  const std::string& Validator() const { return m_validator; }
  // The answer's body starts at byte `offset` of the file (0: from the start, the part is
  // emptied); `validator` is what the answer says of the file ("" when it names none).
  bool StartAt(std::uint64_t offset, const std::string& validator);
  bool Write(const char* data, std::size_t size);
  // False when a write, the close or the rename failed.
  bool Finish(End end);

 private:
  std::filesystem::path m_final;
  std::filesystem::path m_part;
  base::UniqueFd m_fd;
  std::uint64_t m_size = 0;
  std::string m_validator;
  bool m_failed = false;
};

// The validator of an answer from its ETag and Last-Modified headers: the ETag when it is a
// strong one (If-Range takes no weak one), else the date, else "".
std::string ValidatorOf(const std::string& etag, const std::string& lastModified);

// The first byte of a 206 answer's "Content-Range: bytes FIRST-LAST/TOTAL"; -1 when it does not
// read.
long long RangeStart(const std::string& contentRange);

}  // namespace net
