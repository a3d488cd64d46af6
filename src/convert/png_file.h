// Writing a page bitmap as a PNG file.
#pragma once

#include <optional>
#include <string>

#include "convert/device_bitmap.h"
#include "convert/picture_format.h"

namespace convert {

// Encodes `rows` (24 or 32 bits a pixel) as an 8-bit RGB PNG into `sink`, row by row. `level` is
// zlib's compression level (0-9; -1: 6); the fast levels (1-3) filter every row the same cheap
// way instead of choosing a filter per row. With `alpha` a 32-bit bitmap's fourth byte is each
// pixel's opacity (RGBA); else it is unused.
bool EncodePng(PictureSink& sink, const PictureRows& rows, int level, bool alpha = false);

// Writes `bitmap` to `path` as a PNG through a temporary file renamed over `path`; the file's
// size, or nullopt when it could not be written (the old file untouched).
std::optional<long long> WritePng(const std::string& path, const DeviceBitmap& bitmap,
                                  int level = -1);

}  // namespace convert
