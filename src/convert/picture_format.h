// The file formats a page picture can be written in: one interface, one file per format, and the
// one registry that chooses among them by name.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "convert/device_bitmap.h"

namespace convert {

// Why a picture file was not written.
enum class PictureFailure {
  kTooLarge,     // the bitmap exceeds what the format can hold
  kWriteFailed,  // the file could not be written (the old file, if any, untouched)
};

// What writing a picture came to: the file's size, or why there is none.
struct PictureWrite {
  std::optional<long long> bytes;
  PictureFailure failure = PictureFailure::kWriteFailed;  // when `bytes` is empty
};

// One file format of the pictures. Implementations live in one file each and are listed once in
// the registry (picture_format.cpp).
// What a run asks of the writer beyond the pixels.
struct PictureOptions {
  // The compression level of a format that has one (PNG: 0 none … 9 smallest); -1: the
  // format's own default.
  int compression = -1;
};

class PictureFormat {
 public:
  virtual ~PictureFormat() = default;
  // The name `--format` and the render workers know it by ("bmp", "png").
  virtual std::string_view Name() const = 0;
  // The output file's extension, without the dot.
  virtual std::string_view Extension() const = 0;
  // Writes the finished page bitmap to `path` through a temporary file renamed into place, so
  // that a failed write never leaves a truncated file under the final name.
  virtual PictureWrite Write(const std::string& path, DeviceBitmap&& bitmap,
                             const PictureOptions& options = {}) const = 0;
};

// Every format, the window's (the default) first.
const std::vector<const PictureFormat*>& PictureFormats();
// The format the window writes, and the command line's default.
const PictureFormat& DefaultPictureFormat();
// The format called `name`; nullptr when there is none.
const PictureFormat* FindPictureFormat(std::string_view name);
// The names of every format joined by `separator` ("bmp|png"), for help and error texts.
std::string PictureFormatNames(std::string_view separator);

}  // namespace convert
