// Saving a settings file in place: through its symbolic links, with its mode and owner kept.
#pragma once

#include <string_view>

namespace settings {

// Replaces the content of the file `path` (code page 932) with `bytes` atomically (temporary
// file in the file's own folder, then rename), so that a failed or killed save never leaves a
// truncated file. A symbolic link is followed to the real file, which is replaced while every
// link stays a link; an existing file keeps its permission bits, owner and group. A file that
// the user may not write (no write permission, or none for anybody), a path that is not a
// regular file, and a loop of links are refused: false, and nothing is changed.
bool SaveFileInPlace(std::string_view path, std::string_view bytes);

}  // namespace settings
