// Saving a settings file in place: through its symbolic links, with its mode and owner kept.
#include "settings/file_in_place.h"

#include "base/file_system.h"

namespace settings {

bool SaveFileInPlace(std::string_view path, std::string_view bytes) {
  // The atomic writer follows links, keeps mode and owner and refuses what may not be written.
  return base::WriteFileAtomically(path, bytes);
}

}  // namespace settings
