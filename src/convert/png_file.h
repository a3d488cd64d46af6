// Writing a page bitmap as a PNG file.
#pragma once

#include <optional>
#include <string>

#include "convert/device_bitmap.h"

namespace convert {

// Writes `bitmap` (24 or 32 bits a pixel) to `path` as an 8-bit RGB PNG, row by row, through a
// temporary file renamed over `path`; the file's size, or nullopt when it could not be written
// (the old file untouched). `level` is zlib's compression level (0-9; -1: 6); the fast levels
// (1-3) filter every row the same cheap way instead of choosing a filter per row.
std::optional<long long> WritePng(const std::string& path, const DeviceBitmap& bitmap,
                                  int level = -1);

}  // namespace convert
