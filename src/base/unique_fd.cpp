// A file descriptor owned like a C library handle.
#include "base/unique_fd.h"

#include <fcntl.h>

namespace base {

bool MakePipe(UniqueFd& readEnd, UniqueFd& writeEnd) {
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) return false;
  readEnd.Reset(ends[0]);
  writeEnd.Reset(ends[1]);
  return true;
}

}  // namespace base
