// What a run's source names (a web address or a folder), and folders made absolute.
#include "base/locations.h"

#include "base/file_system.h"
#include "base/text.h"
#include "base/tools.h"

namespace base {

bool IsWebAddress(std::string_view source) { return StartsWithIgnoringCase(source, "HTTP"); }

std::string AbsoluteFolder(const std::string& folder) {
  if (!folder.empty() && folder.front() == kPathSeparator) return folder;
  const std::string current = GetCurrentDirectory();
  if (current.empty()) return folder;
  return WithTrailingSeparator(current) + folder;
}

}  // namespace base
