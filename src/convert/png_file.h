// Writing a page bitmap as a PNG file.
#pragma once

#include <optional>
#include <string>

#include "convert/device_bitmap.h"

namespace convert {

// Writes `bitmap` (24 or 32 bits a pixel) to `path` as an 8-bit RGB PNG, row by row, through a
// temporary file renamed over `path`; the file's size, or nullopt when it could not be written
// (the old file untouched).
std::optional<long long> WritePng(const std::string& path, const DeviceBitmap& bitmap);

}  // namespace convert
