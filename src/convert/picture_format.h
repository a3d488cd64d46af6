// The file formats a page picture can be written in: one interface, one file per format, and the
// one registry that chooses among them by name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "convert/device_bitmap.h"
#include "convert/run_record.h"

namespace convert {

// Why a picture file was not written.
enum class PictureFailure {
  kTooLarge,     // the bitmap exceeds what the format can hold
  kWriteFailed,  // the file could not be written (the old file, if any, untouched)
};

// What writing a picture came to: the files' size, or why there are none.
struct PictureWrite {
  std::optional<long long> bytes;                         // every part together
  PictureFailure failure = PictureFailure::kWriteFailed;  // when `bytes` is empty
  std::string detail;              // why a picture was too large, in the report's words
  std::vector<PicturePart> parts;  // the files of a split picture, top first
};

// What a run asks of the writer beyond the pixels.
struct PictureOptions {
  // The compression level of a format that has one (PNG: 0 none … 9 smallest); -1: the
  // format's own default.
  int compression = -1;
  // --- quality, split and transparency of the pictures ---
  // The quality of a lossy format, 1-100 (WebP: 100 is lossless).
  int quality = 85;
  // A picture taller than this many rows is written as parts of at most this height, each
  // repeating the last `splitOverlap` rows of the one before; 0: one picture, whatever its size.
  int splitHeight = 0;
  int splitOverlap = 0;
  // The page's own background is written transparent (formats that keep transparency only).
  bool transparent = false;
  // --- end of quality, split and transparency ---
};

// A band of rows of a page bitmap: a whole picture, or one part of a split one.
struct PictureRows {
  const DeviceBitmap& bitmap;
  int top = 0;
  int height = 0;
  int Width() const { return bitmap.Width(); }
  // Row `y` of the band, counted from its top.
  const std::uint8_t* Row(int y) const { return bitmap.Row(top + y); }
};

// Where a format's encoder puts its bytes: the file of one picture, which takes its place only
// when every part of the page has been encoded.
class PictureSink {
 public:
  virtual ~PictureSink() = default;
  // False once a write failed; the encoder then gives up.
  virtual bool Write(const void* data, std::size_t size) = 0;
};

// One file format of the pictures. Implementations live in one file each and are listed once in
// the registry (picture_format.cpp).
class PictureFormat {
 public:
  virtual ~PictureFormat() = default;
  // The name `--format` and the render workers know it by ("bmp", "png").
  virtual std::string_view Name() const = 0;
  // The output file's extension, without the dot.
  virtual std::string_view Extension() const = 0;
  // The widest and the tallest picture the format holds, in pixels.
  virtual int LargestSide() const = 0;
  // Whether the format keeps transparent pixels (--transparent).
  virtual bool KeepsTransparency() const = 0;
  // Encodes `rows` (24 or 32 bits a pixel) into `sink`; false when encoding or writing failed.
  virtual bool Encode(PictureSink& sink, const PictureRows& rows,
                      const PictureOptions& options) const = 0;
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
